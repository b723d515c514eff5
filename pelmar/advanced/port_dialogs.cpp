// Opening the one-to-many and cloud dialogs from the main window.
#include "pelmar/advanced/port_dialogs.h"

#include "pelmar/advanced/cloud_dialog.h"
#include "pelmar/advanced/entry_ref.h"
#include "pelmar/advanced/one_to_many_dialog.h"

#include <QComboBox>

namespace pelmar {

namespace {

// Opens a dialog window-modally without a nested loop; on "确定" it stores
// into the device it was opened for, if that device is still listed.
template <typename Dialog, typename Store>
void openOver(ServerConfigDialog &window, Dialog *dialog, Store store)
{
    const EntryRef target = EntryRef::of(window.core().devices(), std::size_t(window.shownDevice()));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::accepted, &window, [&window, dialog, target, store] {
        if (DeviceEntry *e = target.resolve(window.core().devices())) store(*dialog, *e);
    });
    dialog->open();
}

} // namespace

void addOneToManyDialog(ServerConfigDialog::Options &options)
{
    ServerConfigDialog::Extension extension;
    extension.open = [](ServerConfigDialog &window, DeviceEntry *entry) {
        auto *dialog = new OneToManyDialog(*entry, window.language(), &window);
        openOver(window, dialog, [](const OneToManyDialog &d, DeviceEntry &e) { d.storeInto(e); });
    };
    options.extensions[control::kAddressSet] = std::move(extension);
}

void addCloudDialog(ServerConfigDialog::Options &options)
{
    ServerConfigDialog::Extension extension;
    extension.open = [](ServerConfigDialog &window, DeviceEntry *entry) {
        const int port = window.shownPort();
        if (port < 0) return;
        auto *dialog = new CloudDialog(
            entry->ports[std::size_t(port)], port + 1, window.language(),
            [&window](QWidget *parent, const QString &text) { window.showMessage(parent, text); }, &window);
        // Below the port list, 100 pixels further left, keeping its own size.
        const QComboBox *list = window.controls().portSelect;
        dialog->adjustSize();
        dialog->move(list->mapToGlobal(QPoint(-100, list->height() + 10)));
        openOver(window, dialog,
                 [port](const CloudDialog &d, DeviceEntry &e) { d.storeInto(e.ports[std::size_t(port)]); });
    };
    options.extensions[control::kCloud] = std::move(extension);
}

} // namespace pelmar
