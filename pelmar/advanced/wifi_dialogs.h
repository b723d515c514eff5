// The main window's WiFi extensions: "搜索" sends the scan request to the
// shown server and opens the window's scan list, whose chosen network goes
// into the STA SSID; a click on the signal value asks the server for a
// fresh record (its signal strength).
#pragma once

#include "common/clock.h"
#include "pelmar/ui/server_config_dialog.h"

namespace pelmar {

inline constexpr std::uint8_t kWifiScanCode = 0x41, kSignalCode = 0x42;

// The scan list's countdown runs on clock (a steady clock when null).
void addWifiScan(ServerConfigDialog::Options &options, const kyvo::Clock *clock = nullptr);

} // namespace pelmar
