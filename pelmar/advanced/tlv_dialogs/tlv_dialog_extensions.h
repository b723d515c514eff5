// The MQTT, MODBUS-cache and heartbeat dialogs as extensions of the main
// window: "MQTT设置", "MODBUS缓存数据", the ">" beside "心跳包数据" and the
// two "？" beside the buttons.
#pragma once

#include "pelmar/advanced/tlv_dialogs/sub_dialog.h"
#include "pelmar/ui/server_config_dialog.h"

namespace pelmar {

inline constexpr int kMqttHelp = control::kFirstHelp + 1;
inline constexpr int kModbusCacheHelp = control::kFirstHelp + 2;

QString mqttHelpText(Language language);
QString modbusCacheHelpText(Language language);

// What a dialog opened from the window edits: the shown device and port.
SubDialogTarget subDialogTarget(ServerConfigDialog &window, const DeviceEntry &entry);

// dialogs: the options every dialog opens with (tests point them at
// loopback; openDebugView is the hook for the servers' debug view).
void addPortTlvDialogs(ServerConfigDialog::Options &options, SubDialogOptions dialogs = {});

} // namespace pelmar
