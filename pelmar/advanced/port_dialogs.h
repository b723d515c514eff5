// The main window's extensions for the one-to-many addresses ("地址设置")
// and the cloud pass-through ("云透传"): each opens its dialog over the
// shown device and stores the dialog's values into it on "确定"; they reach
// the server with the next port save.
#pragma once

#include "pelmar/ui/server_config_dialog.h"

namespace pelmar {

void addOneToManyDialog(ServerConfigDialog::Options &options);
void addCloudDialog(ServerConfigDialog::Options &options);

} // namespace pelmar
