// Maintenance dialogs behind the main window's controls.
#include "vorlet/maintenance/maintenance_wiring.h"

#include "vorlet/maintenance/devinfo_dialog.h"
#include "vorlet/maintenance/maintenance_messages.h"
#include "vorlet/maintenance/wifisouch_dialog.h"
#include "vorlet/record/parameter_record.h"
#include "vorlet/ui/device_list_model.h"
#include "vorlet/ui/record_texts.h"

#include <QLineEdit>

namespace vorlet {

namespace {

template <typename D> D *show(D *dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

} // namespace

void addMaintenanceDialogs(CvorletDlg::Options &options, DeviceDialogEnvironment base, VipOptions image)
{
    CvorletDlg::Extension custom;
    custom.open = [base, image](CvorletDlg &window, ParameterRecord *record) {
        if (!record) return;
        VipOptions o = image;
        o.deviceAddress = QHostAddress(addressText(record->seenAddress));
        if (o.bindAddress.isNull() && !window.adapterAddressFor(*record).isEmpty())
            o.bindAddress = QHostAddress(window.adapterAddressFor(*record));
        show(new vip(*record, windowEnvironment(window, *record, base), o, &window));
    };
    options.extensions[kCustomDefaultsMenu] = std::move(custom);

    CvorletDlg::Extension info;
    info.open = [base](CvorletDlg &window, ParameterRecord *record) {
        if (!record) return;
        auto *dialog = show(new devinfo(*record, windowEnvironment(window, *record, base), &window));
        // The name edited there shows in the device list.
        const int row = window.selectedRow();
        QObject::connect(dialog, &QDialog::accepted, &window, [&window, row] {
            if (row >= 0 && std::size_t(row) < window.core().devices().count())
                window.deviceModel().deviceUpdated(row);
        });
    };
    options.extensions[kDeviceInfoButton] = std::move(info);

    CvorletDlg::Extension scan;
    scan.open = [base](CvorletDlg &window, ParameterRecord *record) {
        if (!record) return;
        auto *dialog = show(new wifisouch(*record, windowEnvironment(window, *record, base), &window));
        QObject::connect(dialog, &QDialog::accepted, &window, [&window, dialog] {
            if (dialog->chosenSsid().isEmpty()) return;
            QLineEdit *ssid = window.controls().ssid;
            ssid->setText(QString::fromStdString(
                appendSsid(ssid->text().toStdString(), dialog->chosenSsid().toStdString())));
            window.controls().bssid->setText(dialog->chosenMac().remove(QLatin1Char(' ')));
        });
    };
    options.extensions[kWifiScanLink] = std::move(scan);
}

} // namespace vorlet
