// The gateway batch: the runner decides when each device starts, the device
// operations do the work.
#include "vorlet/ui/gateway_batch.h"

#include "common/fixed_field.h"
#include "vorlet/lang/language.h"
#include "vorlet/record/device_list.h"
#include "vorlet/ui/device_commands.h"

namespace vorlet {

namespace {
constexpr int kUpgradeDialog = 132; // the upgrade dialog's language table

PendingOperation pendingOperation(GatewayBatch::Operation operation)
{
    switch (operation) {
    case GatewayBatch::Operation::Restart:
        return PendingOperation::Restart;
    case GatewayBatch::Operation::FactoryReset:
        return PendingOperation::FactoryReset;
    case GatewayBatch::Operation::DeepFactoryReset:
        return PendingOperation::DeepFactoryReset;
    case GatewayBatch::Operation::QuickSet:
        return PendingOperation::Save;
    case GatewayBatch::Operation::Upgrade:
        break;
    }
    return PendingOperation::None;
}
} // namespace

GatewayBatch::GatewayBatch(GatewayCore &core, Operation operation, const std::vector<std::size_t> &rows,
                           Options options, QObject *parent)
    : QObject(parent), m_core(core), m_operation(operation), m_options(std::move(options)),
      m_running(rows.size()),
      m_runner(rows.size(), m_options.parallel, [this](std::size_t row) { startRow(row, m_runner); })
{
    m_records.reserve(rows.size());
    for (const std::size_t index : rows)
        m_records.push_back(std::make_unique<ParameterRecord>(core.devices().at(index)));
    m_runner.setOnChanged([this](std::size_t row) {
        Q_EMIT rowChanged(int(row));
        signalIfFinished();
    });
}

GatewayBatch::~GatewayBatch() = default;

void GatewayBatch::start()
{
    m_runner.run();
    signalIfFinished(); // no rows
}

void GatewayBatch::cancel()
{
    m_runner.cancel();
    signalIfFinished();
}

void GatewayBatch::signalIfFinished()
{
    if (!m_runner.finished() || m_finishedSignalled) return;
    m_finishedSignalled = true;
    // Queued, so that an owner that deletes the batch when it ends never
    // deletes an operation that is still reporting.
    QMetaObject::invokeMethod(this, &GatewayBatch::finished, Qt::QueuedConnection);
}

QString GatewayBatch::text(int dialog, const char *chinese) const
{
    return m_options.language ? m_options.language->translate(dialog, chinese) : QString::fromUtf8(chinese);
}

void GatewayBatch::startRow(std::size_t row, kyvo::BatchRunner &runner)
{
    QString refusal;
    std::unique_ptr<DeviceOperation> made = makeOperation(row, &refusal);
    if (!made) {
        runner.finish(row, false, refusal.toStdString());
        return;
    }
    DeviceOperation *operation = made.release();
    operation->setParent(this);
    m_running[row] = operation;
    connect(operation, &DeviceOperation::progress, this, [row, &runner](int percent, const QString &text) {
        runner.progress(row, percent, text.toStdString());
    });
    connect(operation, &DeviceOperation::finished, this,
            [this, row, operation, &runner](bool ok, const QString &text) {
                m_running[row] = nullptr;
                operation->deleteLater(); // it is still reporting
                runner.finish(row, ok, text.toStdString());
            });
    operation->start();
}

std::unique_ptr<DeviceOperation> GatewayBatch::makeOperation(std::size_t row, QString *refusal)
{
    const ParameterRecord &device = *m_records[row];
    if (m_operation == Operation::Upgrade) {
        UpgradeOperation::Target target;
        target.mac = recordMac(device.mac);
        target.versionText = kyvo::fieldText(device.versionText);
        target.address = QHostAddress(seenAddress(device));
        target.port = m_core.options().devicePort;
        // Under "全部网卡" each gateway's transfer binds to the adapter it answered on.
        target.localAddress = m_core.allAdapters()
                                  ? QString::fromStdString(kyvo::ipv4Text(m_core.adapterOf(device)))
                                  : m_options.localAddress;
        return std::make_unique<UpgradeOperation>(
            std::move(target), m_options.firmware, m_options.factoryReset,
            [this](const char *chinese) { return text(kUpgradeDialog, chinese); }, m_options.clock);
    }
    std::unique_ptr<ParameterRecord> record;
    if (m_operation == Operation::QuickSet) {
        const QByteArray &file = m_options.configFile;
        auto applied = quickSetRecord(device,
                                      kyvo::ByteView(reinterpret_cast<const std::uint8_t *>(file.constData()),
                                                     std::size_t(file.size())),
                                      m_options.language && m_options.language->isEnglish());
        if (auto *text = std::get_if<QString>(&applied)) {
            *refusal = *text;
            return nullptr;
        }
        record = std::move(std::get<std::unique_ptr<ParameterRecord>>(applied));
    } else {
        record = std::make_unique<ParameterRecord>(device);
    }
    return std::make_unique<CommandOperation>(
        m_core, pendingOperation(m_operation), std::move(record),
        [this](const char *chinese) { return text(kMainWindowDialog, chinese); }, m_options.clock, true);
}

bool GatewayBatch::owns(const Mac &mac) const
{
    for (const auto &operation : m_running)
        if (operation && operation->mac() == mac) return true;
    return false;
}

void GatewayBatch::poll()
{
    // A poll may end an operation and start the next: walk a snapshot.
    const std::vector<QPointer<DeviceOperation>> running = m_running;
    for (const auto &operation : running)
        if (operation && !operation->ended()) operation->poll();
}

DeviceOperation *GatewayBatch::operationOf(std::size_t row) const
{
    return row < m_running.size() ? m_running[row].data() : nullptr;
}

QString GatewayBatch::operationName(Operation operation, const Language *language)
{
    const char *chinese = "";
    switch (operation) {
    case Operation::Restart:
        chinese = "重启设备";
        break;
    case Operation::FactoryReset:
        chinese = "恢复出厂";
        break;
    case Operation::DeepFactoryReset:
        chinese = "深度恢复出厂";
        break;
    case Operation::QuickSet:
        chinese = "一键配置";
        break;
    case Operation::Upgrade:
        chinese = "固件升级";
        break;
    }
    return language ? language->tr102(chinese) : QString::fromUtf8(chinese);
}

} // namespace vorlet
