// The sub-dialogs' "h:" frames: a TLV body between a 6-byte header and the
// device's full MAC, with the reply check and the body walk.
#pragma once

#include "pelmar/link/command_frame.h"

#include <functional>
#include <optional>
#include <string_view>

namespace pelmar {

inline constexpr std::size_t kTlvFrameOverhead = 14; // header 6, MAC 6, "E."
inline constexpr std::uint8_t kTlvPortType = 0x10;   // a port: 16-bit length, index, nested TLVs
inline constexpr std::uint8_t kTlvReplyCode = 0x83;
inline constexpr std::uint8_t kTlvReadCode = 0x03;
inline constexpr std::uint8_t kTlvWriteCode = 0x04;

Bytes buildTlvFrame(std::uint8_t code, ByteView body, const Mac &mac);

// Body builders. A value longer than 255 bytes is cut to 255; a port item
// longer than 65535 bytes is cut likewise.
void appendTlv(Bytes &body, std::uint8_t type, ByteView value);
void appendPortTlv(Bytes &body, std::uint8_t portIndex, ByteView nested);

enum class TlvCheck { Ok, TooShort, BadHeader, BadTail };

// In this order: 9 bytes or fewer, not "h:" first, not "E." last.
TlvCheck checkTlvReply(ByteView frame);
// The sub-dialog's message for a failed check ("长度太短", ...; UTF-8), empty for Ok.
std::string_view tlvCheckText(TlvCheck check);

struct TlvFrame {
    std::uint8_t code = 0;
    std::uint16_t declaredLength = 0; // N of bytes 4..5
    Mac mac{};                        // bytes n-8 .. n-3
};
// The header fields of a frame that passes the check.
std::optional<TlvFrame> parseTlvFrame(ByteView frame);
// True when the reply belongs to the device: a frame that passes the check
// must carry its MAC. A malformed frame cannot tell and counts as its.
bool replyIsFrom(ByteView reply, const Mac &mac);

// One TLV of a reply body: port = -1 for a device item, else the index byte
// of the port TLV it sits in.
struct TlvEntry {
    int port = -1;
    std::uint8_t type = 0;
    ByteView value;
};

// Walks the body from byte 6 over N bytes (never past the bytes before the
// MAC): device TLVs, and the nested TLVs of each port TLV. A TLV whose
// length runs past its enclosing body ends that walk.
void walkTlvBody(ByteView frame, const std::function<void(const TlvEntry &)> &visit);

} // namespace pelmar
