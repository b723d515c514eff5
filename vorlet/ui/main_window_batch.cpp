// The main window's device commands on many selected gateways: one
// confirmation naming how many and what, then a batch in the batch window.
#include "vorlet/ui/main_window.h"

#include "common/widgets/batch_window.h"
#include "vorlet/record/device_list.h"
#include "vorlet/ui/check_texts.h"
#include "vorlet/ui/file_filter.h"
#include "vorlet/ui/record_texts.h"

#include <QFile>
#include <QMessageBox>
#include <QTableView>

#include <algorithm>

namespace vorlet {

namespace {
constexpr int kUpgradeDialog = 132; // the upgrade dialog's language table
} // namespace

std::vector<std::size_t> CvorletDlg::selectedRows() const
{
    std::vector<std::size_t> rows;
    for (const QModelIndex &i : m_ui.deviceList->selectionModel()->selectedRows())
        if (std::size_t(i.row()) < m_core.devices().count()) rows.push_back(std::size_t(i.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool CvorletDlg::batchOwns(const Mac &mac) const
{
    const QList<GatewayBatch *> batches = findChildren<GatewayBatch *>();
    return std::any_of(batches.begin(), batches.end(), [&](const GatewayBatch *b) { return b->owns(mac); });
}

bool CvorletDlg::startsBatch(GatewayBatch::Operation operation)
{
    if (selectedRows().size() < 2) return false;
    GatewayBatch::Options options;
    QString note;
    if (operation == GatewayBatch::Operation::QuickSet && !readBatchConfigFile(options, note)) return true;
    if (operation == GatewayBatch::Operation::Upgrade && !readBatchFirmware(options)) return true;
    confirmBatch(operation, std::move(options), note);
    return true;
}

bool CvorletDlg::readBatchConfigFile(GatewayBatch::Options &options, QString &note)
{
    QFile file(m_quickSetPath);
    const QByteArray bytes = m_quickSetPath.isEmpty() || !file.open(QIODevice::ReadOnly)
                                 ? QByteArray()
                                 : file.read(qint64(kRecordSize));
    if (bytes.isEmpty()) {
        message(quickSetFileProblem());
        return false;
    }
    // A partial file is named in the one question the batch asks.
    if (std::uint64_t(file.size()) != kRecordSize)
        note = partialConfigText(m_quickSetPath, std::uint64_t(file.size()), m_language.isEnglish());
    options.configFile = bytes;
    return true;
}

bool CvorletDlg::readBatchFirmware(GatewayBatch::Options &options)
{
    const QString path = m_options.openFileName(
        this, qtFileFilter(m_language.translate(kUpgradeDialog, "(*.bin)|*.bin|所有文件(*.*)|*.*|")));
    if (path.isEmpty()) return false;
    auto loaded = loadFirmwareFile(QFile::encodeName(path).constData());
    if (const auto *error = std::get_if<FirmwareFileError>(&loaded)) {
        message(firmwareFileErrorText(*error, m_language.isEnglish()));
        return false;
    }
    options.firmware = std::make_shared<const FirmwareFile>(std::move(std::get<FirmwareFile>(loaded)));
    options.factoryReset = m_settings.factory != 0;
    return true;
}

void CvorletDlg::confirmBatch(GatewayBatch::Operation operation, GatewayBatch::Options options,
                              const QString &note)
{
    // The devices are named by MAC: the list may change while the question is open.
    std::vector<Mac> macs;
    for (const std::size_t row : selectedRows())
        macs.push_back(recordMac(m_core.devices().at(row).mac));
    const QString question = tr102("确定要对%1台设备执行“%2”吗？")
                                 .arg(macs.size())
                                 .arg(GatewayBatch::operationName(operation, &m_language));
    auto *box = new QMessageBox(QMessageBox::Question, QString(),
                                note.isEmpty() ? question : note + QLatin1Char('\n') + question,
                                QMessageBox::Yes | QMessageBox::No, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    connect(box, &QMessageBox::finished, this, [this, box, operation, options, macs](int) {
        if (box->standardButton(box->clickedButton()) == QMessageBox::Yes)
            startBatch(operation, options, macs);
    });
    box->open();
}

void CvorletDlg::startBatch(GatewayBatch::Operation operation, GatewayBatch::Options options,
                            const std::vector<Mac> &macs)
{
    std::vector<std::size_t> rows;
    for (const Mac &mac : macs)
        if (const std::size_t row = m_core.devices().findByMac(mac); row < m_core.devices().count())
            rows.push_back(row);
    if (rows.empty()) return;
    options.parallel = m_options.batch.parallel;
    options.clock = m_options.commands.clock;
    options.language = &m_language;
    options.localAddress = adapterAddress();
    auto *batch = new GatewayBatch(m_core, operation, rows, std::move(options), this);
    QList<kyvo::BatchRowLabels> labels;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const ParameterRecord &r = batch->record(row);
        labels.push_back({addressText(r.seenAddress), macText(r.mac), gbkFieldText(r.model)});
    }
    auto *window = new kyvo::BatchWindow(batch->runner(), GatewayBatch::operationName(operation, &m_language),
                                         labels, m_language.isEnglish(), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The window closes only once every device has ended; the batch goes with it.
    connect(window, &QDialog::finished, batch, &QObject::deleteLater);
    connect(batch, &GatewayBatch::rowChanged, window, &kyvo::BatchWindow::rowChanged);
    connect(window, &kyvo::BatchWindow::cancelRequested, batch, &GatewayBatch::cancel);
    window->open();
    batch->start();
}

} // namespace vorlet
