// The program's main-window options.
#include "vorlet/app/app_options.h"

#include "common/fixed_field.h"
#include "vorlet/io/can/can_wiring.h"
#include "vorlet/io/linkage/rule_wiring.h"
#include "vorlet/io/module/module_wiring.h"
#include "vorlet/io/monitor/dbg_extension.h"
#include "vorlet/io/poll/poll_wiring.h"
#include "vorlet/maintenance/fota_dialog.h"
#include "vorlet/maintenance/label_printing.h"
#include "vorlet/maintenance/maintenance_wiring.h"
#include "vorlet/record/parameter_record.h"
#include "vorlet/services/service_wiring.h"
#include "vorlet/services/tls_wiring.h"
#include "vorlet/ui/device_commands.h"
#include "vorlet/ui/record_texts.h"

namespace vorlet {

void addFirmwareUpgrade(CvorletDlg::Options &options)
{
    CvorletDlg::Extension fota;
    fota.open = [](CvorletDlg &window, ParameterRecord *record) {
        if (!record) return;
        FotaTarget target;
        target.deviceAddress = addressText(record->seenAddress);
        target.devicePort = window.core().options().devicePort;
        target.mac = recordMac(record->mac);
        target.versionText = kyvo::fieldText(record->versionText);
        target.localAddress = window.adapterAddressFor(*record);
        auto *dialog = new FotaDialog(target, window.language(), window.settings(), FotaPrompts::standard(),
                                      nullptr, &window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    };
    options.extensions[kFirmwareButton] = std::move(fota);
}

CvorletDlg::Options programOptions()
{
    CvorletDlg::Options options;
    addServicePanels(options);
    addCanPanel(options);
    addFirmwareUpgrade(options);
    RtuEnvironment module;
    module.rules = moduleRuleDialogs();
    addIoModulePanel(options, std::move(module));
    addPollDialog(options);
    addDebugMonitor(options);
    addMaintenanceDialogs(options);
    addTlsDialog(options);
    addLabelPrinting(options);
    return options;
}

} // namespace vorlet
