// What a simulated WiFi server sees around it when asked to scan, and which
// firmware versions need the repair of the old commit handling.
#pragma once

#include "devsim/serial/server_sim.h"

namespace devsim {

bool isWifiServer(ServerFamily family);

// The scan reply's text: each network's name (GBK) followed by '&'. The
// networks depend on the server's address, so neighbours see different ones.
Bytes scannedNetworks(std::uint32_t address);

// 'L' firmware whose third character is below '5' or fourth below '4'.
bool firmwareNeedsRepair(ByteView firmware);

} // namespace devsim
