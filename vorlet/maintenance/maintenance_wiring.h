// The maintenance dialogs in the main window: "定制恢复出厂参数" (vip),
// "设备信息" (devinfo) and the WiFi "搜索" link (wifisouch).
#pragma once

#include "vorlet/maintenance/vip_dialog.h"
#include "vorlet/ui/device_dialog.h"
#include "vorlet/ui/main_window.h"

namespace vorlet {

inline constexpr int kCustomDefaultsMenu = 32779;
inline constexpr int kDeviceInfoButton = 1004;
inline constexpr int kWifiScanLink = 1054;

// base: what the window does not give (clock, prompts, clipboard); the
// window gives the language, the scope, the sending and the acknowledgement.
// image: the image port and backup file; the device's address comes from the record.
void addMaintenanceDialogs(CvorletDlg::Options &options, DeviceDialogEnvironment base = {},
                           VipOptions image = {});

} // namespace vorlet
