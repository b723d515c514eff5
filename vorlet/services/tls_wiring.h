// The TLS dialog behind the main window's TLS "设置" link.
#pragma once

#include "vorlet/ui/device_dialog.h"
#include "vorlet/ui/main_window.h"

namespace vorlet {

inline constexpr int kTlsLink = 1057;

void addTlsDialog(CvorletDlg::Options &options, DeviceDialogEnvironment base = {});

} // namespace vorlet
