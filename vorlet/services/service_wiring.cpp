// Wiring the service panels into the main window.
#include "vorlet/services/service_wiring.h"

#include "vorlet/services/service_panels.h"
#include "vorlet/services/text_fields_dialog.h"

namespace vorlet {

void addServicePanels(CvorletDlg::Options &options, ServiceOptions serviceOptions)
{
    options.panels.channel = servicePanelFactories(serviceOptions).channel;
    CvorletDlg::Extension ntp;
    ntp.open = [serviceOptions](CvorletDlg &window, ParameterRecord *record) {
        if (record) runNtpDialog(*record, window.language(), &window, serviceOptions);
    };
    options.extensions[kNtpLink] = std::move(ntp);
}

} // namespace vorlet
