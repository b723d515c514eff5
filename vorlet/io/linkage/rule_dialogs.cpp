// Opening the I/O rule dialogs.
#include "vorlet/io/linkage/rule_dialogs.h"

#include "vorlet/io/linkage/poweron.h"
#include "vorlet/io/linkage/timer.h"
#include "vorlet/io/linkage/upload.h"
#include "vorlet/io/linkage/xya.h"

namespace vorlet {

QDialog *newRuleDialog(RuleDialog which, ParameterRecord &record, const Language &language, QWidget *parent)
{
    switch (which) {
    case RuleDialog::InputLinkage:
        return new xya(XyaMode::Digital, record, language, parent);
    case RuleDialog::AdcLinkage:
        return new xya(XyaMode::Analogue, record, language, parent);
    case RuleDialog::PowerOn:
        return new poweron(record, language, parent);
    case RuleDialog::Timers:
        return new timer(record, language, parent);
    case RuleDialog::Upload:
        return new upload(record, language, parent);
    }
    return nullptr;
}

QDialog *openRuleDialog(RuleDialog which, ParameterRecord &record, const Language &language, QWidget *parent)
{
    QDialog *dialog = newRuleDialog(which, record, language, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

} // namespace vorlet
