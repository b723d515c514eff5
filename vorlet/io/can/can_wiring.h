// Puts the CAN panel into the serial group of the main window's options.
#pragma once

#include "vorlet/ui/main_window.h"

namespace vorlet {

void addCanPanel(CvorletDlg::Options &options);

} // namespace vorlet
