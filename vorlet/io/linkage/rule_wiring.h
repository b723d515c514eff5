// The rule dialogs behind the I/O module dialog's links ("输入设置",
// "ADC设置", "定时", "自动上传") and its button "执行动作".
#pragma once

#include "vorlet/io/module/rtu_dialog.h"

namespace vorlet {

// Each opens its dialog over the I/O module dialog in the main window's
// language (Chinese outside a main window).
ModuleRuleDialogs moduleRuleDialogs();

} // namespace vorlet
