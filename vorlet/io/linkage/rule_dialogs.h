// Opening the I/O rule dialogs from the I/O module dialog: "输入设置",
// "ADC设置", "执行动作", "定时" and "自动上传" each open one. A dialog opens
// over its parent without a nested event loop, deletes itself when closed,
// and writes into the record only when its "确定" is pressed.
#pragma once

#include "vorlet/lang/language.h"
#include "vorlet/record/parameter_record.h"

class QDialog;
class QWidget;

namespace vorlet {

enum class RuleDialog { InputLinkage, AdcLinkage, PowerOn, Timers, Upload };

// The record must outlive the dialog (the parent's record).
QDialog *newRuleDialog(RuleDialog which, ParameterRecord &record, const Language &language, QWidget *parent);
QDialog *openRuleDialog(RuleDialog which, ParameterRecord &record, const Language &language, QWidget *parent);

} // namespace vorlet
