// Rules of the main window's fields.
#include "pelmar/ui/field_rules.h"

#include "common/decimal.h"
#include "common/hex_text.h"
#include "pelmar/model/conversions.h"

#include <cstdio>

namespace pelmar {

std::optional<std::uint32_t> checkNumber(std::string_view text, std::uint32_t max)
{
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + std::uint64_t(c - '0');
        if (value > max) return std::nullopt;
    }
    return std::uint32_t(value);
}

std::uint16_t typedU16(std::string_view text)
{
    return std::uint16_t(kyvo::parseDecimal32(text));
}

std::optional<std::size_t> duplicateLocalPort(const DeviceEntry &e, std::size_t port, std::uint16_t value)
{
    const std::size_t ports = usablePortCount(e);
    for (std::size_t k = 0; k < ports; ++k)
        if (k != port && e.ports[k].localPort == value) return k;
    return std::nullopt;
}

std::optional<Bytes> typedRegisterData(std::string_view text, bool hex)
{
    if (hex) return kyvo::parseHexText(text, kRegisterDataSize);
    return Bytes(text.begin(), text.begin() + std::ptrdiff_t(std::min(text.size(), kRegisterDataSize)));
}

void storeRegisterData(PortSettings &p, const Bytes &data)
{
    const std::size_t n = std::min(data.size(), kRegisterDataSize);
    p.registerData.fill(0);
    std::copy_n(data.begin(), n, p.registerData.begin());
    p.registerLength = std::uint8_t(n);
}

std::string macAsRegisterText(const Mac &m)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02x %02x %02x %02x %02x %02x", m[0], m[1], m[2], m[3], m[4], m[5]);
    return text;
}

std::optional<int> portListSize(char c)
{
    switch (c) {
    case '1':
    case 'B':
        return 2;
    case '4':
        return 4;
    case '6':
        return 6;
    case '8':
        return 8;
    case 'M':
        return 16;
    case 'N':
        return 24;
    default:
        return std::nullopt;
    }
}

WorkModeRule workModeRule(int workMode)
{
    WorkModeRule r;
    const bool tcpClient = workMode == 2;
    r.target = tcpClient || workMode == 4;
    r.heartbeat = tcpClient;
    r.registerMode = tcpClient;
    r.registerDataOff = !tcpClient;
    return r;
}

ModbusRule modbusRule(bool ticked, int workMode)
{
    ModbusRule r;
    r.timeout = ticked;
    r.marker = ticked;
    r.hideAddressRow = !ticked;
    r.cacheButton = ticked && workMode == 1;
    return r;
}

WifiModeRule wifiModeRule(int modeIndex)
{
    WifiModeRule r;
    r.ap = modeIndex == 0 || modeIndex == 2;
    r.sta = modeIndex == 1 || modeIndex == 2;
    r.scan = r.sta;
    r.warn = modeIndex == 2;
    return r;
}

} // namespace pelmar
