// The batch's rows: one single-server session each.
#include "pelmar/core/server_batch.h"

#include "pelmar/lang/english_supplement.h"
#include "pelmar/ui/one_click_save.h"
#include "pelmar/ui/server_commands.h"

#include <algorithm>
#include <utility>

namespace pelmar {

namespace {

const char *const kNotListedText = "设备已不在列表中，请重新搜索";
const char *const kInvalidHostText = "无效的网址！";

// The captions of the four buttons.
int captionSlot(ServerBatch::Operation operation)
{
    switch (operation) {
    case ServerBatch::Operation::Restart:
        return 64; // "重启设备"
    case ServerBatch::Operation::FactoryReset:
        return 68; // "恢复出厂"
    case ServerBatch::Operation::OneClick:
        return 288; // "一键配置"
    case ServerBatch::Operation::Upgrade:
        return 72; // "固件升级"
    }
    return 64;
}

} // namespace

// One row's operation. It reports through the batch and is let go once it ended.
class ServerBatch::Job : public QObject
{
public:
    Job(ServerBatch &batch, std::size_t row, kyvo::BatchRunner &runner)
        : m_batch(batch), m_row(row), m_runner(runner)
    {}
    virtual void start() = 0;
    virtual void poll() = 0;

protected:
    ServerCore &core() { return m_batch.m_core; }
    std::size_t index() const { return m_batch.device(m_row); }
    const kyvo::Clock *clock() const { return m_batch.m_clock; }
    const Options &options() const { return m_batch.m_options; }
    const std::shared_ptr<const kyvo::Bytes> &firmware() const { return m_batch.m_firmware; }
    const QString &firmwareFault() const { return m_batch.m_firmwareFault; }
    QString own(const char *chinese) { return inLanguage(core().language().language(), chinese); }
    void progress(int percent, const QString &text) { m_runner.progress(m_row, percent, text.toStdString()); }
    void done(bool ok, const QString &text) { m_batch.end(m_row, m_runner, ok, text); }

private:
    ServerBatch &m_batch;
    std::size_t m_row;
    kyvo::BatchRunner &m_runner;
};

// Restart and factory reset: never answered; done once the command left.
class ServerBatch::CommandJob final : public Job
{
public:
    CommandJob(ServerBatch &batch, std::size_t row, kyvo::BatchRunner &runner, bool reset)
        : Job(batch, row, runner), m_commands(core(), {clock()}), m_reset(reset)
    {
        connect(&m_commands, &ServerCommands::datagramSent, this, [this] {
            done(true,
                 core().language().text(captionSlot(m_reset ? Operation::FactoryReset : Operation::Restart)));
        });
    }
    void start() override { m_reset ? m_commands.factoryReset(index()) : m_commands.restart(index()); }
    void poll() override { m_commands.poll(); }

private:
    ServerCommands m_commands;
    bool m_reset;
};

// One-click configuration: the device save, 600 ms, the port save, and this server's answers.
class ServerBatch::OneClickJob final : public Job
{
public:
    OneClickJob(ServerBatch &batch, std::size_t row, kyvo::BatchRunner &runner)
        : Job(batch, row, runner), m_save(core(), {clock()})
    {
        connect(&m_save, &OneClickSave::saveStarted, this, [this](int which) {
            progress(which == 0 ? 10 : 55, core().language().text(slot::kSending));
        });
        connect(&m_save, &OneClickSave::invalidHost, this, [this](int port) { m_invalidPort = port; });
        connect(&m_save, &OneClickSave::finished, this, [this](bool ok) { done(ok, outcome()); });
    }
    void start() override
    {
        const auto refusal = m_save.start(index(), options().imported);
        if (refusal != OneClickSave::Refusal::None) done(false, m_save.refusalText(refusal));
    }
    void poll() override { m_save.poll(); }

private:
    QString outcome()
    {
        for (int which : {0, 1})
            if (m_save.save(which).refused) return m_save.outcomeText(which);
        if (m_invalidPort >= 0)
            return QStringLiteral("PORT%1: ").arg(m_invalidPort + 1) + own(kInvalidHostText);
        for (int which : {0, 1})
            if (m_save.save(which).started && m_save.outcomeText(which).isEmpty())
                return m_save.noAnswerText();
        return m_save.outcomeText(m_save.lastSave());
    }

    OneClickSave m_save;
    int m_invalidPort = -1;
};

// The firmware upgrade: 'W' 0x16 to the server, then its TFTP transfer,
// bound to its address and the port of its first answer.
class ServerBatch::UpgradeJob final : public Job, private UpgradeView
{
public:
    UpgradeJob(ServerBatch &batch, std::size_t row, kyvo::BatchRunner &runner)
        : Job(batch, row, runner), m_commands(core(), {clock()}),
          m_upgrade(core(), core().language(), options().prober ? options().prober() : systemProber(),
                    clock())
    {
        m_upgrade.setTftpPortForTesting(options().tftpPort);
        m_upgrade.attach(this);
        connect(&m_upgrade, &FirmwareUpgrade::ended, this, [this](bool ok, const QString &text) {
            m_ended = true;
            done(ok, text);
        });
    }
    void start() override
    {
        if (!firmware()) return done(false, firmwareFault());
        m_upgrade.start(options().firmwarePath, firmware(),
                        QString::fromStdString(core().devices().at(index()).addressText));
        // A file the transfer refuses at once leaves the server out of upgrade mode.
        if (!m_ended) m_commands.enterUpgrade(index());
    }
    void poll() override
    {
        m_commands.poll();
        m_upgrade.poll();
    }

private:
    void showStatus(const QString &text) override
    {
        if (!text.isEmpty()) progress(m_percent, text);
    }
    void showBlockCounter(const QString &text) override
    {
        if (!text.isEmpty()) progress(m_percent, text);
    }
    void showProgress(bool visible, int maximum, int position) override
    {
        if (visible && maximum > 0) m_percent = int(qint64(position) * 100 / maximum);
    }
    void paintBar(TransferSink::Bar) override {}
    void setStartEnabled(bool) override {}
    void message(const QString &, const QString &) override {} // the end names it

    ServerCommands m_commands;
    FirmwareUpgrade m_upgrade;
    int m_percent = 0;
    bool m_ended = false;
};

ServerBatch::ServerBatch(ServerCore &core, Operation operation, std::vector<std::size_t> devices,
                         Options options, QObject *parent)
    : QObject(parent), m_core(core), m_operation(operation), m_options(std::move(options)),
      m_clock(m_options.clock), m_jobs(devices.size()),
      m_runner(devices.size(), m_options.parallel, [this](std::size_t row) { startRow(row, m_runner); })
{
    if (!m_clock) {
        m_ownClock = std::make_unique<kyvo::SteadyClock>();
        m_clock = m_ownClock.get();
    }
    if (m_operation == Operation::Upgrade) readFirmware();
    for (std::size_t index : devices)
        m_devices.push_back(
            {index, index < DeviceTable::kSlots ? core.devices().at(index).macTail : MacTail{}});
    m_runner.setOnChanged([this](std::size_t row) {
        Q_EMIT rowChanged(int(row));
        noteFinished();
    });
}

void ServerBatch::run()
{
    m_runner.run();
    noteFinished();
}

void ServerBatch::cancel()
{
    m_runner.cancel();
    for (const Held &h : std::exchange(m_held, {}))
        h.runner->cancelHeld(h.row);
    noteFinished();
}

void ServerBatch::noteFinished()
{
    if (m_finished || !m_runner.finished()) return;
    m_finished = true;
    Q_EMIT finished();
}

void ServerBatch::readFirmware()
{
    const QString &path = m_options.firmwarePath;
    if (const auto fault = firmwareFileFault(path, m_core.language())) {
        m_firmwareFault = *fault;
        return;
    }
    m_firmware = readFirmwareFile(path);
    if (!m_firmware) m_firmwareFault = firmwareFileFault(path, m_core.language()).value_or(QString());
}

ServerBatch::~ServerBatch() = default;

QString ServerBatch::operationName(Operation operation, const LanguageTable &language)
{
    return language.text(captionSlot(operation));
}

void ServerBatch::startRow(std::size_t row, kyvo::BatchRunner &runner)
{
    // Answers are told apart by address and port only (a write's answer has
    // no MAC), so two servers found at one address take turns.
    if (addressBusy(row)) return m_held.push_back({row, &runner});
    begin(row, runner);
}

void ServerBatch::begin(std::size_t row, kyvo::BatchRunner &runner)
{
    const Device &d = m_devices[row];
    // A search since the batch was made may have given the slot to another server, or none.
    if (d.index >= DeviceTable::kSlots || !m_core.devices().at(d.index).present ||
        m_core.devices().at(d.index).macTail != d.tail)
        return end(row, runner, false, inLanguage(m_core.language().language(), kNotListedText));
    m_jobs[row] = makeJob(row, runner);
    m_jobs[row]->start();
}

bool ServerBatch::addressBusy(std::size_t row) const
{
    const std::size_t index = m_devices[row].index;
    if (index >= DeviceTable::kSlots) return false;
    const std::string &address = m_core.devices().at(index).addressText;
    for (std::size_t other = 0; other < m_jobs.size(); ++other)
        if (m_jobs[other] && m_core.devices().at(m_devices[other].index).addressText == address) return true;
    return false;
}

void ServerBatch::startHeld()
{
    for (;;) {
        const auto it =
            std::find_if(m_held.begin(), m_held.end(), [this](const Held &h) { return !addressBusy(h.row); });
        if (it == m_held.end()) return;
        const Held h = *it;
        m_held.erase(it);
        begin(h.row, *h.runner);
    }
}

std::unique_ptr<ServerBatch::Job> ServerBatch::makeJob(std::size_t row, kyvo::BatchRunner &runner)
{
    switch (m_operation) {
    case Operation::Restart:
        return std::make_unique<CommandJob>(*this, row, runner, false);
    case Operation::FactoryReset:
        return std::make_unique<CommandJob>(*this, row, runner, true);
    case Operation::OneClick:
        return std::make_unique<OneClickJob>(*this, row, runner);
    case Operation::Upgrade:
        break;
    }
    return std::make_unique<UpgradeJob>(*this, row, runner);
}

void ServerBatch::end(std::size_t row, kyvo::BatchRunner &runner, bool ok, const QString &text)
{
    // The job may be inside its own call: it goes once control is back in the event loop.
    if (m_jobs[row]) m_jobs[row].release()->deleteLater();
    startHeld(); // a row held for this one's address goes first
    runner.finish(row, ok, text.toStdString());
}

void ServerBatch::poll()
{
    for (std::size_t row = 0; row < m_jobs.size(); ++row)
        if (m_jobs[row]) m_jobs[row]->poll();
}

} // namespace pelmar
