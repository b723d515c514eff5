// The I/O module dialog behind "RTU设置".
#include "vorlet/io/module/module_wiring.h"

namespace vorlet {

void addIoModulePanel(CvorletDlg::Options &options, RtuEnvironment base)
{
    CvorletDlg::Extension extension;
    extension.open = [base](CvorletDlg &window, ParameterRecord *record) {
        if (!record) return;
        RtuEnvironment env = base;
        env.language = &window.language();
        GatewayCore &core = window.core();
        CommandRunner &commands = window.commands();
        env.scope = [&core] { return core.scope(); };
        env.send = [&core, record](const Bytes &message) { core.sendToDevice(message, *record); };
        env.acknowledged = [&commands] { return commands.writeAcknowledged(); };
        env.clearAcknowledgement = [&commands] { commands.clearWriteAcknowledgement(); };
        auto *dialog = new rtu(*record, std::move(env), &window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    };
    options.extensions[kIoModuleButton] = std::move(extension);
}

} // namespace vorlet
