// The I/O module's device messages: status query, relay switching, counter
// clearing, module firmware download and the ADC calibration request.
#pragma once

#include "vorlet/io/relay_word.h"
#include "vorlet/link/link_frame.h"

#include <array>

namespace vorlet {

inline constexpr std::size_t kModuleRelays = 16;
inline constexpr std::size_t kModuleFirmwareLimit = 8192;

// One code per relay Y1..Y16 (RelayCode, RelayCodes of the relay action word).
static_assert(kModuleRelays == std::size_t(kRelayCount));

// BA 3A S 03 00 01 90 M "E" "." (15 bytes).
Bytes moduleStatusQuery(std::uint8_t scope, const Mac &mac);
// A write of item 0x90 with the sixteen codes (34 bytes).
Bytes relaySwitchMessage(std::uint8_t scope, const Mac &mac, const RelayCodes &codes);
// A write of item 0x91 with one byte 00 (19 bytes).
Bytes counterClearMessage(std::uint8_t scope, const Mac &mac);
// A write of item 0x8F carrying the image (n + 18 bytes); the caller keeps
// the image within kModuleFirmwareLimit.
Bytes moduleFirmwareMessage(std::uint8_t scope, const Mac &mac, ByteView image);
// BA 3A S 03 00 01 8F M "E" "." (15 bytes).
Bytes adcCalibrationQuery(std::uint8_t scope, const Mac &mac);

} // namespace vorlet
