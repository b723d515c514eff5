// Opening the WiFi scan and the signal request from the main window.
#include "pelmar/advanced/wifi_dialogs.h"

#include "pelmar/advanced/scan_list_dialog.h"

#include <QLineEdit>
#include <QPointer>

#include <memory>

namespace pelmar {

namespace {

std::size_t shown(const ServerConfigDialog &window)
{
    return std::size_t(window.shownDevice());
}

// The window's one scan list, made at its first scan.
ScanListDialog *scanList(ServerConfigDialog &window, QPointer<ScanListDialog> &list, const kyvo::Clock *clock)
{
    if (list) return list;
    list = new ScanListDialog(window.language(), clock, &window);
    QObject::connect(&window.core(), &ServerCore::wifiScanData, list, &ScanListDialog::takeReply);
    ScanListDialog *dialog = list;
    QObject::connect(dialog, &QDialog::finished, &window, [&window, dialog] {
        // Only a network chosen in this scan replaces what the edit holds.
        if (dialog->choseThisTime()) window.controls().staSsid->setText(dialog->chosenNetwork());
    });
    return list;
}

} // namespace

void addWifiScan(ServerConfigDialog::Options &options, const kyvo::Clock *clock)
{
    auto list = std::make_shared<QPointer<ScanListDialog>>();
    ServerConfigDialog::Extension scan;
    scan.open = [list, clock](ServerConfigDialog &window, DeviceEntry *entry) {
        window.core().sendToDevice(shown(window), buildDeviceCommand(kWifiScanCode, entry->macTail),
                                   ServerCore::Port::Device);
        scanList(window, *list, clock)->startScan(entry->macTail);
    };
    options.extensions[control::kWifiScan] = std::move(scan);

    ServerConfigDialog::Extension signal;
    signal.open = [](ServerConfigDialog &window, DeviceEntry *entry) {
        window.core().sendToDevice(shown(window), buildDeviceCommand(kSignalCode, entry->macTail),
                                   ServerCore::Port::Device);
    };
    options.extensions[control::kSignalText] = std::move(signal);
}

} // namespace pelmar
