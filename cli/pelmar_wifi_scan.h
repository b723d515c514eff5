// pelmar-cli wifi-scan: the networks a WiFi serial server sees.
#pragma once

#include "pelmar/core/server_core.h"

namespace cli {

// Sends the scan request to the server and prints the networks of its
// reply (one a line, or a JSON array). 1 when no reply came in the scan
// list's six seconds.
int pelmarWifiScan(pelmar::ServerCore &core, std::size_t index, bool json);

} // namespace cli
