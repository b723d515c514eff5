// The gateways' debug datagrams as the monitor reads them: the channel tag
// and direction prefix, the table of senders, the log line and file names.
#pragma once

#include "common/bytes.h"

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace vorlet {

// The filter a datagram falls under, by the text it starts with.
enum class DebugChannel : std::uint8_t { Uart, TcpA, TcpB, ModbusCache, ModbusPoll, Io, Other };
inline constexpr std::size_t kDebugChannelCount = 7;

struct DebugTags
{
    DebugChannel channel = DebugChannel::Other;
    std::size_t prefixLength = 0; // 8 for a direction prefix such as "uart tx:", else 0
};

inline constexpr std::size_t kDirectionPrefixLength = 8;

DebugTags classifyDebugDatagram(kyvo::ByteView datagram);

// The senders in the order they were first heard, 128 slots; the slot + 1 is
// the gateway's number. A sender that finds every slot taken by others is
// counted under the first. Never cleared.
class GatewaySlots
{
public:
    static constexpr std::size_t kSlots = 128;

    int number(std::uint32_t address);
    std::size_t count() const { return m_count; }
    std::uint32_t address(std::size_t slot) const { return m_addresses[slot]; }

private:
    std::array<std::uint32_t, kSlots> m_addresses{};
    std::size_t m_count = 0;
    std::unordered_map<std::uint32_t, int> m_numbers;
};

// Local time of a row, to the millisecond.
struct LocalStamp
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millis = 0;
};

// "%4d-%02d-%02d %02d:%02d:%02d %03d".
std::string debugTimeText(const LocalStamp &t);

enum class LogMode : int { OneFile = 0, Hourly = 1, Daily = 2 };

// "log.txt", "log-2024-03-07 14h.txt" or "log-2024-03-07.txt".
std::string logFileName(LogMode mode, const LocalStamp &t);

// The columns of a row that the list and the log share.
struct DebugRowText
{
    std::size_t length = 0; // data bytes after the prefix
    kyvo::ByteView prefix;  // the direction prefix or empty
    kyvo::ByteView ascii;   // the data up to its first NUL
    kyvo::ByteView data;    // the data after the prefix
};
DebugRowText debugRowText(kyvo::ByteView datagram, std::size_t prefixLength);

// " time address length prefix ascii hex\r\n", the hex text ending in a
// space; appended to `out`.
void appendLogLine(std::string &out, const std::string &timeText, std::uint32_t sender,
                   kyvo::ByteView datagram, std::size_t prefixLength);

} // namespace vorlet
