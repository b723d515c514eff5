// Maintenance messages, the image collector and the report texts.
#include "vorlet/maintenance/maintenance_messages.h"

#include "common/fixed_field.h"
#include "vorlet/link/device_message.h"

#include <algorithm>
#include <cstdio>

namespace vorlet {

namespace {

constexpr std::uint8_t kCustomMark = 0x88;
constexpr std::size_t kCustomTimeOffset = 8;

template <typename... Args> std::string format(const char *f, Args... args)
{
    char text[256];
    const int n = std::snprintf(text, sizeof text, f, args...);
    return std::string(text, std::size_t(std::clamp(n, 0, int(sizeof text) - 1)));
}

int signedValue(std::uint32_t v)
{
    return int(std::int32_t(v));
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(
            text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

// Plain decimal conversion: leading digits (after blanks and a sign), else 0.
int decimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && v < 1000000000; ++i)
        v = v * 10 + (text[i] - '0');
    return int(negative ? -v : v);
}

} // namespace

Bytes itemQueryMessage(std::uint8_t scope, const Mac &mac, std::uint8_t tag)
{
    const std::uint8_t body[] = {tag};
    return buildDeviceMessage(scope, command::kQuery, body, mac);
}

std::string customTimeText(int year, int month, int day, int hour, int minute, int second)
{
    return format("%4d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
}

Bytes customDefaultsMessage(std::uint8_t scope, const Mac &mac, bool save, std::string_view timeText)
{
    // The first body byte repeats the operation.
    Bytes body{std::uint8_t(save ? 1 : 0), item::kCustomDefaults, 0x00, std::uint8_t(kCustomBlockSize)};
    std::uint8_t block[kCustomBlockSize] = {kCustomMark, std::uint8_t(save ? 1 : 0)};
    kyvo::setField(block + kCustomTimeOffset, kCustomBlockSize - kCustomTimeOffset,
                   ByteView(reinterpret_cast<const std::uint8_t *>(timeText.data()), timeText.size()),
                   kCustomBlockSize - kCustomTimeOffset - 1);
    kyvo::putBytes(body, block);
    return buildDeviceMessage(scope, command::kWrite, body, mac);
}

LastCustomOperation lastCustomOperation(const ParameterRecord &record)
{
    const std::uint8_t *block = record.customDefaults;
    const std::string time(
        reinterpret_cast<const char *>(block + kCustomTimeOffset),
        kyvo::fieldTextLength(block + kCustomTimeOffset, kCustomBlockSize - kCustomTimeOffset));
    switch (block[1]) {
    case 1:
        return {LastCustomOperation::Saved, time};
    case 0:
        return {LastCustomOperation::Cleared, time};
    case 0xFF:
        return {LastCustomOperation::None, {}};
    default:
        return {LastCustomOperation::Unknown, {}};
    }
}

ImageCollector::Take ImageCollector::take(ByteView datagram)
{
    if (datagram.size() != kDatagramSize) return Take::Ignored;
    const std::size_t block = datagram[0];
    if (block >= kMaxBlocks) {
        ++m_dropped;
        return Take::Dropped;
    }
    std::copy(datagram.begin() + 1, datagram.end(), m_data.begin() + std::ptrdiff_t(block * kBlockSize));
    if (!m_have[block]) ++m_kept;
    m_have[block] = true;
    m_extent = std::max(m_extent, block + 1);
    return Take::Stored;
}

Bytes ImageCollector::image() const
{
    return Bytes(m_data.begin(), m_data.begin() + std::ptrdiff_t(m_extent * kBlockSize));
}

const char *resetReasonName(std::uint8_t reason)
{
    static const char *const names[] = {"UNKNOWN", "POWERON",  "EXT",       "SW",       "PANIC",
                                        "INT_WDT", "TASK_WDT", "DEEPSLEEP", "BROWNOUT", "SDIO"};
    return reason < std::size(names) ? names[reason] : nullptr;
}

DeviceInfoLines deviceInfoLines(const ParameterRecord &r)
{
    DeviceInfoLines lines;
    const std::uint32_t total = r.totalMemory.get(), free = r.freeMemory.get(), up = r.uptimeS.get();
    lines.memory = format("Total Memery:%d kb Free Memery:%d kb(%d)", signedValue(total) / 1024,
                          signedValue(free) / 1024, signedValue(free));
    const char *reason = resetReasonName(r.resetReason);
    lines.uptime = format(" up %ddays %02d:%02d:%02d         last  reset code:%s", int(up / 86400),
                          int(up / 3600 % 24), int(up / 60 % 60), int(up % 60), reason ? reason : "UNKNOWN");
    lines.identity = "Device ID:" + identityDigits(r);
    switch (r.partition) {
    case 0:
        lines.partition = "FM-info:0";
        break;
    case 16:
        lines.partition = "FM-info:1";
        break;
    case 17:
        lines.partition = "FM-info:2";
        break;
    default:
        lines.partition = format("FM-info:Unknown code%d", int(r.partition));
        break;
    }
    static const char *const speeds[] = {"Speed:10M;", "Speed:100M;", "Speed:Max;"};
    static const char *const duplexes[] = {"Duplex:Half", "Duplex:Full"};
    lines.link = std::string(r.ethernetSpeed < 3 ? speeds[r.ethernetSpeed] : "Speed:Unknow;") +
                 (r.duplex < 2 ? duplexes[r.duplex] : "Duplex:Unknow") +
                 (r.ethernetPhy == 1 ? "   phy:yt8522" : "   phy:ip101");
    const auto c = [&r](int i) { return signedValue(r.netCounters[i].get()); };
    // Stored as total, filter, arp, rarp, ip, udp, tcp, broadcast, rexmit.
    lines.counters = format("Total:%d arp:%d rarp:%d ip:%d udp:%d tcp:%d broadcast:%d filter:%d rexmit:%d",
                            c(0), c(2), c(3), c(4), c(5), c(6), c(7), c(1), c(8));
    return lines;
}

std::string identityDigits(const ParameterRecord &r)
{
    std::string digits;
    for (std::uint8_t b : r.identity)
        digits += format("%02x", int(b));
    return digits;
}

const char *authenticationName(int mode)
{
    static const char *const names[] = {
        "WIFI_AUTH_OPEN",     "WIFI_AUTH_WEP",           "WIFI_AUTH_WPA_PSK",
        "WIFI_AUTH_WPA2_PSK", "WIFI_AUTH_WPA_WPA2_PSK",  "WIFI_AUTH_WPA2_ENTERPRISE",
        "WIFI_AUTH_WPA3_PSK", "WIFI_AUTH_WPA2_WPA3_PSK", "WIFI_AUTH_WAPI_PSK"};
    return mode >= 0 && std::size_t(mode) < std::size(names) ? names[mode] : "UNKNOW";
}

std::vector<ScanRow> parseScanResult(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    std::vector<ScanRow> rows;
    for (std::string_view entry : split(text, ';')) {
        const auto fields = split(entry, '`');
        if (fields.size() != 4) continue;
        rows.push_back({std::string(fields[0]), std::string(fields[1]), std::string(fields[2]),
                        authenticationName(decimal(fields[3]))});
    }
    return rows;
}

std::string appendSsid(std::string_view list, std::string_view ssid)
{
    std::string joined(list);
    if (!joined.empty()) joined += ';';
    joined += ssid;
    joined.erase(std::remove(joined.begin(), joined.end(), ' '), joined.end());
    return joined;
}

} // namespace vorlet
