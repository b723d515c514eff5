// Left Ctrl + B in the main window: the firmware repair of the shown server.
#pragma once

#include "common/clock.h"
#include "pelmar/ui/server_config_dialog.h"

namespace pelmar {

// For firmware that needs it: the notice, then RepairDialog sending the
// commit frames to the server (none to a server of port-count kind '1').
// The repair's timing runs on clock (a steady clock when null).
void addFirmwareRepair(ServerConfigDialog::Options &options, const kyvo::Clock *clock = nullptr);

} // namespace pelmar
