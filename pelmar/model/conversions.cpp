// Conversions of the device model.
#include "pelmar/model/conversions.h"

#include <cstdio>

namespace pelmar {

int portCount(char c)
{
    switch (c) {
    case 'N': return 24;
    case 'M': return 16;
    case '1':
    case 'B': return 2;
    default: return c - '0';
    }
}

int portCount(const DeviceEntry &entry) { return portCount(entry.portCountChar()); }

std::size_t usablePortCount(const DeviceEntry &entry)
{
    return std::size_t(std::clamp(portCount(entry), 0, int(kMaxPorts)));
}

std::uint32_t baudFromIndex(int index)
{
    if (index < 1 || index > int(kBaudTable.size())) return 0;
    return kBaudTable[std::size_t(index - 1)];
}

std::uint8_t indexFromBaud(std::uint32_t rate)
{
    for (std::size_t i = 0; i < kBaudTable.size(); ++i)
        if (kBaudTable[i] == rate) return std::uint8_t(i + 1);
    return 17;
}

std::string macText(const Mac &m)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", m[0], m[1], m[2], m[3], m[4], m[5]);
    return text;
}

std::string macText(const DeviceEntry &entry) { return macText(entry.mac); }

namespace {
int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

std::optional<Mac> parseMacText(std::string_view text)
{
    std::string digits;
    for (char c : text)
        if (c != '-') digits += c;
    Mac mac{};
    for (std::size_t i = 0; i < mac.size(); ++i) {
        if (digits.size() < 2 * i + 2) return std::nullopt;
        const int high = hexDigit(digits[2 * i]), low = hexDigit(digits[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        mac[i] = std::uint8_t(high << 4 | low);
    }
    return mac;
}

std::string signalText(const DeviceEntry &e)
{
    const int rssi = e.wifiRssi;
    const int percent = (rssi * 10 + 1000) / 7;
    std::string text = std::to_string(percent) + "% " + std::to_string(rssi);
    if (percent > 100) text = "100%";
    if (rssi >= 0) text = "0%";
    if (e.wifiMode == 1 || e.wifiMode == 3) text = "100%";
    return text;
}

SignalBar signalBar(const DeviceEntry &e) { return SignalBar{0, 70, e.wifiRssi + 100}; }

std::string registerText(const PortSettings &port, bool hex)
{
    const std::size_t n = std::min<std::size_t>(port.registerLength, kRegisterDataSize);
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = port.registerData[i];
        if (hex) {
            char pair[4];
            std::snprintf(pair, sizeof pair, "%02x ", b);
            text += pair;
        } else {
            text += (b < 32 || b == 127) ? '?' : char(b);
        }
    }
    return text;
}

int shownTimeout(std::uint8_t deviceKind, const PortSettings &port)
{
    return deviceKind == 1 ? port.timeout : port.serialType * 10;
}

void storeTypedTimeout(std::uint8_t deviceKind, PortSettings &port, std::uint32_t value)
{
    if (deviceKind == 1) port.timeout = std::uint16_t(value);
    else port.serialType = std::uint8_t(value / 10);
}

std::optional<int> shownSerialType(const DeviceEntry &entry, std::size_t portIndex)
{
    if (portIndex >= kMaxPorts) return std::nullopt;
    const std::uint8_t type = entry.ports[portIndex].serialType;
    if (entry.ports[0].serialType == 0 || type >= 4) return std::nullopt;
    return type - 1;
}

} // namespace pelmar
