// What the program puts into its main window: the dialogs behind its
// buttons and menu items, as ServerConfigDialog::Extension entries keyed by
// the control that opens them (for example ServerConfigDialog::kUpgradeDialog
// for the firmware upgrade).
#pragma once

#include "pelmar/advanced/debug_view/debug_view_dialog.h"
#include "pelmar/ui/server_config_dialog.h"

#include <functional>

namespace pelmar {

// The product selection page behind its menu item.
extern const char *const kProductSelectionPage;

// The firmware upgrade behind "固件升级" and the menu item.
void addFirmwareUpgrade(ServerConfigDialog::Options &options);

// Opens the servers' debug view after a debug run, in the language of the
// main window the asking dialog belongs to; closed() runs once it is closed.
std::function<void(QWidget *parent, std::function<void()> closed)>
debugViewOpener(DebugViewOptions view = {});

// Every part the program has, as the program starts its window.
ServerConfigDialog::Options programOptions();

} // namespace pelmar
