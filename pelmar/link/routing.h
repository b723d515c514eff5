// Which handlers a datagram received on the main socket goes to. The rules
// are tested one after the other, so one datagram may match several.
#pragma once

#include "common/inbound.h"
#include "pelmar/link/command_frame.h"

#include <optional>
#include <string>

namespace pelmar {

enum class RecordFormat : std::uint8_t {
    RecordWifi362,   // 'P', 372 bytes
    RecordWifi292,   // 'P', 302 bytes
    RecordMulti1284, // 'P', 1294 or 684 bytes
    RecordMulti2326, // 'P', 2336, 1582 or 828 bytes
    NativeRecord,    // 0x01, 250 .. 760 bytes
};

inline constexpr std::size_t kAlertLength = 4096;   // a datagram of this length is a message for the user
inline constexpr std::size_t kScanAlertLength = 372; // with code 0x9F: the scan's message

// The record family of a record reply ("H:R", then the code and length rules), if any.
std::optional<RecordFormat> recordFormatOf(ByteView datagram);

// The record of a reply: bytes 4 .. n-7 (between the header and MacTail).
ByteView recordOf(ByteView datagram);

struct Route {
    bool alert = false;          // 4096 bytes: stop the broadcast, show "%s %s" of the text at byte 4
    bool wifiScanList = false;   // "H:R" 0x9F: to the WiFi scan list
    bool scanAlert = false;      // 372 bytes with code 0x9F: stop the broadcast, show the text at byte 4
    std::optional<RecordFormat> record;
    bool shortDiscovery = false; // 26 bytes with code 'P'
    bool shortItem = false;      // 26 bytes that pass checkShortReply
    bool tftp = false;           // byte 0 is 0x00
    bool any() const { return alert || wifiScanList || scanAlert || record || shortDiscovery || shortItem || tftp; }
};

// The routing of one received datagram (an empty one matches nothing).
Route routeDatagram(ByteView datagram);

// How the receive thread hands a datagram on: a record, a short-frame
// discovery answer or a short-frame item reply (all of them the search's
// answers or a reading's) is an answer; one any other rule takes (a message
// for the user, a scan list, TFTP) is another datagram; one no rule takes is
// junk, which the window thread would do nothing with.
kyvo::Inbound classifyDatagram(ByteView datagram);

// The text that starts at byte 4, up to its terminating zero or the end of
// the datagram (GBK bytes).
std::string textAtByte4(ByteView datagram);

} // namespace pelmar
