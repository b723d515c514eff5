// What the program puts into its main window: the dialogs behind its
// buttons and menu items, as ServerConfigDialog::Extension entries keyed by
// the control that opens them (for example ServerConfigDialog::kUpgradeDialog
// for the firmware upgrade).
#pragma once

#include "pelmar/ui/server_config_dialog.h"

namespace pelmar {

// The product selection page behind its menu item.
extern const char *const kProductSelectionPage;

// The firmware upgrade behind "固件升级" and the menu item.
void addFirmwareUpgrade(ServerConfigDialog::Options &options);

// Every part the program has, as the program starts its window.
ServerConfigDialog::Options programOptions();

} // namespace pelmar
