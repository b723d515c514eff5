// "RTU设置" in the main window: the I/O module dialog for the selected gateway.
#pragma once

#include "vorlet/io/module/rtu_dialog.h"
#include "vorlet/ui/main_window.h"

namespace vorlet {

inline constexpr int kIoModuleButton = 1078;

// base: what the window does not give (clock, rule dialogs, file and message
// prompts); the window gives the language, the scope, the sending and the
// write acknowledgement.
void addIoModulePanel(CvorletDlg::Options &options, RtuEnvironment base = {});

} // namespace vorlet
