// Debug datagram tags, sender slots, log lines and log file names.
#include "vorlet/io/monitor/monitor_codec.h"

#include "common/ipv4.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace vorlet {

namespace {

bool startsWith(kyvo::ByteView data, std::string_view text)
{
    return data.size() >= text.size() &&
           std::equal(text.begin(), text.end(), data.begin(),
                      [](char c, std::uint8_t b) { return std::uint8_t(c) == b; });
}

constexpr std::pair<std::string_view, DebugChannel> kChannelTags[] = {
    {"uart", DebugChannel::Uart},
    {"tcpA", DebugChannel::TcpA},
    {"tcpB", DebugChannel::TcpB},
    {"Modbus cache", DebugChannel::ModbusCache},
    {"Modbus poll", DebugChannel::ModbusPoll},
    {"extio:", DebugChannel::Io},
};

constexpr std::string_view kDirectionPrefixes[] = {
    "uart tx:", "uart rx:", "tcpA rx:", "tcpA tx:", "tcpB rx:", "tcpB tx:", "mqtt rx:", "mqtt tx:"};

} // namespace

DebugTags classifyDebugDatagram(kyvo::ByteView datagram)
{
    DebugTags tags;
    for (const auto &[text, channel] : kChannelTags) {
        if (startsWith(datagram, text)) {
            tags.channel = channel;
            break;
        }
    }
    for (std::string_view prefix : kDirectionPrefixes) {
        if (startsWith(datagram, prefix)) {
            tags.prefixLength = kDirectionPrefixLength;
            break;
        }
    }
    return tags;
}

int GatewaySlots::number(std::uint32_t address)
{
    const auto it = m_numbers.find(address);
    if (it != m_numbers.end()) return it->second;
    if (m_count == kSlots) return 1;
    m_addresses[m_count] = address;
    const int number = int(++m_count);
    m_numbers.emplace(address, number);
    return number;
}

std::string debugTimeText(const LocalStamp &t)
{
    char text[64];
    std::snprintf(text, sizeof text, "%4d-%02d-%02d %02d:%02d:%02d %03d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, t.millis);
    return text;
}

std::string logFileName(LogMode mode, const LocalStamp &t)
{
    char text[64];
    switch (mode) {
    case LogMode::OneFile:
        return "log.txt";
    case LogMode::Hourly:
        std::snprintf(text, sizeof text, "log-%4d-%02d-%02d %02dh.txt", t.year, t.month, t.day, t.hour);
        return text;
    case LogMode::Daily:
        break;
    }
    std::snprintf(text, sizeof text, "log-%4d-%02d-%02d.txt", t.year, t.month, t.day);
    return text;
}

DebugRowText debugRowText(kyvo::ByteView datagram, std::size_t prefixLength)
{
    prefixLength = std::min(prefixLength, datagram.size());
    DebugRowText row;
    row.prefix = datagram.first(prefixLength);
    row.data = datagram.subspan(prefixLength);
    row.length = row.data.size();
    const auto nul = std::find(row.data.begin(), row.data.end(), std::uint8_t(0));
    row.ascii = row.data.first(std::size_t(nul - row.data.begin()));
    return row;
}

void appendLogLine(std::string &out, const std::string &timeText, std::uint32_t sender,
                   kyvo::ByteView datagram, std::size_t prefixLength)
{
    static const char digits[] = "0123456789abcdef";
    const DebugRowText row = debugRowText(datagram, prefixLength);
    out.reserve(out.size() + timeText.size() + 40 + datagram.size() * 4);
    out += ' ';
    out += timeText;
    out += ' ';
    out += kyvo::ipv4Text(sender);
    out += ' ';
    out += std::to_string(row.length);
    out += ' ';
    out.append(reinterpret_cast<const char *>(row.prefix.data()), row.prefix.size());
    out += ' ';
    out.append(reinterpret_cast<const char *>(row.ascii.data()), row.ascii.size());
    out += ' ';
    for (std::uint8_t b : row.data) {
        out += digits[b >> 4];
        out += digits[b & 15];
        out += ' ';
    }
    out += "\r\n";
}

} // namespace vorlet
