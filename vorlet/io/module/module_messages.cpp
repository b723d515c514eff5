// I/O module messages.
#include "vorlet/io/module/module_messages.h"

#include "vorlet/link/device_message.h"

#include <cassert>

namespace vorlet {

namespace {
constexpr std::uint8_t kWritePrefix = 0x00;
constexpr std::uint8_t kLiveItem = 0x90;
constexpr std::uint8_t kCounterItem = 0x91;
constexpr std::uint8_t kFirmwareItem = 0x8F;

Bytes writeItem(std::uint8_t scope, const Mac &mac, std::uint8_t tag, ByteView value)
{
    Bytes body{kWritePrefix, tag, std::uint8_t(value.size() >> 8), std::uint8_t(value.size())};
    body.insert(body.end(), value.begin(), value.end());
    return buildDeviceMessage(scope, command::kWrite, body, mac);
}
} // namespace

Bytes moduleStatusQuery(std::uint8_t scope, const Mac &mac)
{
    const std::uint8_t body[] = {kLiveItem};
    return buildDeviceMessage(scope, command::kQuery, body, mac);
}

Bytes relaySwitchMessage(std::uint8_t scope, const Mac &mac, const RelayCodes &codes)
{
    return writeItem(scope, mac, kLiveItem, codes);
}

Bytes counterClearMessage(std::uint8_t scope, const Mac &mac)
{
    const std::uint8_t value[] = {0x00};
    return writeItem(scope, mac, kCounterItem, value);
}

Bytes moduleFirmwareMessage(std::uint8_t scope, const Mac &mac, ByteView image)
{
    assert(image.size() <= kModuleFirmwareLimit);
    return writeItem(scope, mac, kFirmwareItem, image.first(std::min(image.size(), kModuleFirmwareLimit)));
}

Bytes adcCalibrationQuery(std::uint8_t scope, const Mac &mac)
{
    const std::uint8_t body[] = {kFirmwareItem};
    return buildDeviceMessage(scope, command::kQuery, body, mac);
}

} // namespace vorlet
