// The program's main-window options.
#include "pelmar/app/app_options.h"

#include "pelmar/advanced/port_dialogs.h"
#include "pelmar/advanced/tlv_dialogs/tlv_dialog_extensions.h"
#include "pelmar/advanced/wifi_dialogs.h"
#include "pelmar/files/firmware_upgrade_dialog.h"
#include "pelmar/ui/repair_key.h"

#include <QPointer>

#include <memory>

namespace pelmar {

const char *const kProductSelectionPage = "https://example.com/pelmar/selection";

void addFirmwareUpgrade(ServerConfigDialog::Options &options)
{
    // One upgrade for the program's run: its state outlives the dialog.
    auto upgrade = std::make_shared<QPointer<FirmwareUpgrade>>();
    ServerConfigDialog::Extension extension;
    extension.needsDevice = false;
    extension.open = [upgrade](ServerConfigDialog &window, DeviceEntry *) {
        if (!*upgrade)
            *upgrade =
                new FirmwareUpgrade(window.core(), window.language(), systemProber(), nullptr, &window);
        auto *dialog = new FirmwareUpgradeDialog(**upgrade, window.language(), window.upgradeTarget(),
                                                 UpgradePrompts::standard(), &window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    };
    options.extensions[ServerConfigDialog::kUpgradeDialog] = std::move(extension);
}

std::function<void(QWidget *, std::function<void()>)> debugViewOpener(DebugViewOptions view)
{
    return [view](QWidget *parent, std::function<void()> closed) {
        QWidget *owner = parent;
        while (owner && !qobject_cast<ServerConfigDialog *>(owner))
            owner = owner->parentWidget();
        if (!owner) {
            if (closed) closed();
            return;
        }
        auto *dialog =
            new DebugViewDialog(static_cast<ServerConfigDialog *>(owner)->language(), view, parent);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(dialog, &QDialog::finished, parent, [closed] {
            if (closed) closed();
        });
        dialog->open(); // window-modal, no nested event loop
    };
}

ServerConfigDialog::Options programOptions()
{
    ServerConfigDialog::Options options;
    addFirmwareUpgrade(options);
    addOneToManyDialog(options);
    addCloudDialog(options);
    addWifiScan(options);
    addFirmwareRepair(options);
    options.productSelectionPage = QUrl(QString::fromLatin1(kProductSelectionPage));
    SubDialogOptions dialogs;
    dialogs.openDebugView = debugViewOpener();
    addPortTlvDialogs(options, std::move(dialogs));
    return options;
}

} // namespace pelmar
