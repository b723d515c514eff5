// What the program puts into its main window: the channel panels, and the
// secondary dialogs behind their buttons and links.
#pragma once

#include "vorlet/ui/main_window.h"

namespace vorlet {

inline constexpr int kFirmwareButton = 1009;

// The firmware upgrade (button "固件升级") for the selected gateway.
void addFirmwareUpgrade(CvorletDlg::Options &options);

// Every part the program has, as the program starts its window.
CvorletDlg::Options programOptions();

} // namespace vorlet
