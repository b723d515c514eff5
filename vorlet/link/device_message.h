// The device message envelope shared by every command and answer:
// BA ':' scope command length(16 BE) body MAC "E" ".".
#pragma once

#include "common/inbound.h"
#include "vorlet/link/link_frame.h"

#include <unordered_set>

namespace vorlet {

namespace command {
inline constexpr std::uint8_t kSearch = 0x01;
inline constexpr std::uint8_t kQuery = 0x03;
inline constexpr std::uint8_t kWrite = 0x04;
inline constexpr std::uint8_t kFactoryReset = 0x05;
inline constexpr std::uint8_t kRestart = 0x06;
inline constexpr std::uint8_t kUpgrade = 0x07;
inline constexpr std::uint8_t kAnswer = 0x80; // the answer to c carries c + 0x80
} // namespace command

inline constexpr std::size_t kEnvelopeOverhead = 14; // 6 header + 6 MAC + 2 tail

Bytes buildDeviceMessage(std::uint8_t scope, std::uint8_t code, ByteView body, const Mac &mac);

struct DeviceMessageView {
    std::uint8_t scope = 0;
    std::uint8_t code = 0;
    // Bytes 4.. up to the MAC: the 2-byte body length and the body, which
    // is where the record parser starts.
    ByteView lengthAndBody;
    Mac mac{};
};

// Accepts a message when it is longer than 3 bytes, starts BA 3A and ends
// "E" "."; its MAC is bytes L-8..L-3. Shorter than the 14-byte envelope is
// refused too, as such a message has no MAC field.
std::optional<DeviceMessageView> checkEnvelope(ByteView message);

// Sorts the complete messages the receive worker hands to the window
// thread. A search answer (0x81) is an answer, and its device is remembered;
// a query answer (0x83) is an answer when its device answered a search, as
// only those are in the list, else another message; a command answer
// (0x84 .. 0x86) is another message; what the dispatch ignores whatever the
// list holds (a bad envelope, any other code) is junk.
class MessageSorter
{
public:
    // Four times the largest list; devices beyond it are not remembered.
    static constexpr std::size_t kRememberedDevices = 4096;
    kyvo::Inbound sort(ByteView message);

private:
    std::unordered_set<std::uint64_t> m_searchAnswered;
};

} // namespace vorlet
