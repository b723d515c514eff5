// Device command messages.
#include "vorlet/ui/device_commands.h"

#include "common/ipv4.h"
#include "vorlet/link/device_message.h"

#include <algorithm>

namespace vorlet {

namespace {
constexpr std::uint8_t kWritePrefix = 0x00; // the first body byte of a single-item write
constexpr std::uint8_t kDebugItem = 0x07;
constexpr std::uint8_t kClockItem = 0xB0;
constexpr std::uint8_t kPingItem = 0xB5;
constexpr std::size_t kMaxAddressText = 254; // the item length byte holds n + 1
} // namespace

Bytes restartMessage(std::uint8_t scope, const Mac &mac)
{
    return buildDeviceMessage(scope, command::kRestart, {}, mac);
}

Bytes factoryResetMessage(std::uint8_t scope, const Mac &mac, bool deep)
{
    const std::uint8_t body[] = {std::uint8_t(deep ? 1 : 0)};
    return buildDeviceMessage(scope, command::kFactoryReset, body, mac);
}

Bytes debugMessage(std::uint8_t scope, const Mac &mac, bool on, std::string_view address)
{
    address = address.substr(0, std::min(address.size(), kMaxAddressText));
    Bytes body{kWritePrefix, kDebugItem, 0x00, std::uint8_t(address.size() + 1), std::uint8_t(on ? 1 : 0)};
    body.insert(body.end(), address.begin(), address.end());
    return buildDeviceMessage(scope, command::kWrite, body, mac);
}

Bytes pingMessage(std::uint8_t scope, const Mac &mac)
{
    const std::uint8_t body[] = {kPingItem};
    return buildDeviceMessage(scope, command::kQuery, body, mac);
}

Bytes clockMessage(std::uint8_t scope, const Mac &mac, const DeviceTime &t)
{
    const Bytes body{kWritePrefix,
                     kClockItem,
                     0x00,
                     0x08,
                     std::uint8_t(t.yearSince1900),
                     std::uint8_t(t.month),
                     std::uint8_t(t.day),
                     std::uint8_t(t.hour),
                     std::uint8_t(t.minute),
                     std::uint8_t(t.second),
                     std::uint8_t(t.weekday),
                     0x00};
    return buildDeviceMessage(scope, command::kWrite, body, mac);
}

std::string debugAddressText(std::uint8_t scope, std::uint32_t localAddress)
{
    if (scope == 0 || localAddress == 0) return "255.255.255.255";
    return kyvo::ipv4Text(localAddress);
}

Mac recordMac(const std::uint8_t (&mac)[6])
{
    Mac m{};
    std::copy(std::begin(mac), std::end(mac), m.begin());
    return m;
}

} // namespace vorlet
