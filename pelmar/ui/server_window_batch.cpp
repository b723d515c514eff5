// A device command on many selected servers: one question naming how many
// servers and which command, then a ServerBatch shown in a batch window.
#include "pelmar/ui/server_config_dialog.h"

#include "common/gbk_text.h"
#include "pelmar/model/conversions.h"

#include <algorithm>

namespace pelmar {

namespace {

const char *const kBatchQuestionText = "确定要对 %1 台设备执行“%2”吗？";
const char *const kFirmwareFilter = "固件 (*.bin);;所有文件(*.*)";

} // namespace

void ServerConfigDialog::confirmBatch(ServerBatch::Operation operation)
{
    const std::vector<std::size_t> devices = selectedDevices();
    const QString text = ownText(kBatchQuestionText)
                             .arg(devices.size())
                             .arg(ServerBatch::operationName(operation, m_language));
    m_options.question(this, text, m_language.text(slot::kInfoCaption), m_language,
                       [this, operation, devices](bool ok) {
                           // Asked for these servers: a search since then ends the question.
                           if (!ok || selectedDevices() != devices) return;
                           if (operation != ServerBatch::Operation::Upgrade)
                               return startBatch(operation, devices, {});
                           FileRequest request;
                           request.filter = ownText(kFirmwareFilter);
                           m_options.chooseFile(this, request, [this, devices](const QString &path) {
                               if (path.isEmpty() || selectedDevices() != devices) return;
                               // One message for a file no server could take; nothing is sent.
                               if (const auto fault = firmwareFileFault(path, m_language))
                                   return message(*fault);
                               startBatch(ServerBatch::Operation::Upgrade, devices, path);
                           });
                       });
}

void ServerConfigDialog::startBatch(ServerBatch::Operation operation, const std::vector<std::size_t> &devices,
                                    const QString &firmwarePath)
{
    ServerBatch::Options options = m_options.batch;
    options.imported = m_imported;
    options.firmwarePath = firmwarePath;
    if (!options.clock) options.clock = m_options.commands.clock;
    // The batch outlives its window until its running servers have ended.
    auto *batch = new ServerBatch(m_core, operation, devices, std::move(options), this);
    QList<kyvo::BatchRowLabels> rows;
    for (std::size_t index : devices) {
        const DeviceEntry &e = m_core.devices().at(index);
        rows.append({QString::fromStdString(e.addressText), QString::fromStdString(macText(e)),
                     kyvo::fromGbk(QByteArray::fromStdString(e.hardwareVersion.text()))});
        if (operation == ServerBatch::Operation::OneClick)
            for (auto it = m_longHosts.begin(); it != m_longHosts.end();)
                it = it->first.first == int(index) ? m_longHosts.erase(it) : std::next(it);
    }
    auto *view = new kyvo::BatchWindow(batch->runner(), ServerBatch::operationName(operation, m_language),
                                       rows, m_language.language() == Language::English, this);
    view->setAttribute(Qt::WA_DeleteOnClose);
    connect(batch, &ServerBatch::rowChanged, view, &kyvo::BatchWindow::rowChanged);
    connect(view, &kyvo::BatchWindow::cancelRequested, batch, &ServerBatch::cancel);
    connect(view, &QObject::destroyed, batch, [batch] {
        if (batch->runner().finished())
            batch->deleteLater();
        else
            connect(batch, &ServerBatch::finished, batch, &QObject::deleteLater);
    });
    // The file's settings went into the entries: the shown server's controls follow them.
    connect(batch, &ServerBatch::finished, this, [this, devices] {
        if (m_shown >= 0 && std::count(devices.begin(), devices.end(), std::size_t(m_shown)) && shownEntry())
            showDevice(m_shown);
    });
    m_batchWindow = view;
    view->open();
    batch->run();
}

} // namespace pelmar
