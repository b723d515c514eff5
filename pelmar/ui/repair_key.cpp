// The firmware repair behind left Ctrl + B.
#include "pelmar/ui/repair_key.h"

#include "pelmar/files/repair_dialog.h"
#include "pelmar/lang/english_supplement.h"

#include <QPointer>

namespace pelmar {

namespace {

const char *const kRepairNotice = "此版本需要修复BUG,请点击确定 ，进行修复 ,大概需要8s";

// Sends one commit frame to the server the repair was started for, as long
// as it still holds its slot; a server of port-count kind '1' takes none.
std::function<void()> commitSender(ServerCore *core, std::size_t index, const DeviceEntry &entry)
{
    const MacTail tail = entry.macTail;
    const bool takesCommit = entry.portCountChar() != '1';
    return [core = QPointer<ServerCore>(core), index, tail, takesCommit] {
        if (!takesCommit || !core) return;
        const DeviceEntry &e = core->devices().at(index);
        if (e.present && e.macTail == tail)
            core->sendToDevice(index, buildDeviceCommand(code::kCommit, tail), ServerCore::Port::Reply);
    };
}

} // namespace

void addFirmwareRepair(ServerConfigDialog::Options &options, const kyvo::Clock *clock)
{
    ServerConfigDialog::Extension extension;
    extension.open = [clock](ServerConfigDialog &window, DeviceEntry *entry) {
        if (!firmwareNeedsRepair(entry->firmwareVersion)) return;
        auto send = commitSender(&window.core(), std::size_t(window.shownDevice()), *entry);
        QPointer<ServerConfigDialog> guard(&window);
        const Language language = window.language().language();
        window.showMessageThen(inLanguage(language, kRepairNotice), [guard, send, clock, language] {
            if (!guard) return;
            auto *dialog = new RepairDialog(send, clock, guard, RepairSession::kCountdown, language);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->start();
        });
    };
    options.extensions[control::kRepairKey] = std::move(extension);
}

} // namespace pelmar
