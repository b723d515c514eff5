// TLS dialog in the main window.
#include "vorlet/services/tls_wiring.h"

#include "vorlet/services/tls_dialog.h"

namespace vorlet {

void addTlsDialog(CvorletDlg::Options &options, DeviceDialogEnvironment base)
{
    CvorletDlg::Extension extension;
    extension.open = [base](CvorletDlg &window, ParameterRecord *record) {
        if (!record) return;
        auto *dialog = new tls(*record, windowEnvironment(window, *record, base), &window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    };
    options.extensions[kTlsLink] = std::move(extension);
}

} // namespace vorlet
