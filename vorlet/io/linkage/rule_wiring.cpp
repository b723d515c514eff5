// The rule dialogs of the I/O module dialog.
#include "vorlet/io/linkage/rule_wiring.h"

#include "vorlet/io/linkage/rule_dialogs.h"
#include "vorlet/ui/main_window.h"

namespace vorlet {

namespace {

// The language of the main window the dialog belongs to.
const Language &windowLanguage(QWidget *parent)
{
    for (QWidget *w = parent; w; w = w->parentWidget())
        if (auto *window = qobject_cast<CvorletDlg *>(w)) return window->language();
    static const Language chinese;
    return chinese;
}

ModuleRuleDialogs::Open opener(RuleDialog which)
{
    return [which](QWidget *parent, ParameterRecord &record) {
        openRuleDialog(which, record, windowLanguage(parent), parent);
    };
}

} // namespace

ModuleRuleDialogs moduleRuleDialogs()
{
    ModuleRuleDialogs rules;
    rules.inputs = opener(RuleDialog::InputLinkage);
    rules.analog = opener(RuleDialog::AdcLinkage);
    rules.timers = opener(RuleDialog::Timers);
    rules.upload = opener(RuleDialog::Upload);
    rules.actions = opener(RuleDialog::PowerOn);
    return rules;
}

} // namespace vorlet
