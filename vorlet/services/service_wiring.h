// Puts the network service settings into the main window's options: the
// channel panels in their places and the NTP dialog behind its "设置" (1058).
#pragma once

#include "vorlet/services/service_options.h"
#include "vorlet/ui/main_window.h"

namespace vorlet {

inline constexpr int kNtpLink = 1058;

void addServicePanels(CvorletDlg::Options &options, ServiceOptions serviceOptions = {});

} // namespace vorlet
