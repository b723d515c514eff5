// Serial-server firmware upgrade on the main socket.
#include "pelmar/files/firmware_upgrade.h"

#include "pelmar/core/server_core.h"
#include "pelmar/lang/language_table.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace pelmar {

namespace {

constexpr int kCannotOpenSlot = 204; // path + "无法打开文件"
constexpr int kFileTooBigSlot = 208; // "文件太大，请打开一个小于1M的文件"

// The system's own commands: one echo with a one-second wait, and (where an
// unprivileged one exists) the address-cache flush. Only the given target
// is probed.
class SystemProber final : public TargetProber
{
public:
    void flushAddressCache() override
    {
#ifdef Q_OS_WIN
        auto *arp = new QProcess(this);
        const auto done = [this, arp] {
            arp->deleteLater();
            Q_EMIT flushed();
        };
        connect(arp, &QProcess::finished, this, done);
        connect(arp, &QProcess::errorOccurred, this, [done](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart) done();
        });
        arp->start(QStringLiteral("arp"), {QStringLiteral("-d")});
#else
        // Elsewhere emptying the cache needs privileges; the echo below
        // resolves the target's address afresh when its entry is stale.
        QMetaObject::invokeMethod(this, &TargetProber::flushed, Qt::QueuedConnection);
#endif
    }
    void probe(const QString &target) override
    {
        auto *ping = new QProcess(this);
#ifdef Q_OS_WIN
        const QStringList args{QStringLiteral("-n"), QStringLiteral("1"), QStringLiteral("-w"),
                               QStringLiteral("1000"), target};
#else
        const QStringList args{QStringLiteral("-c"), QStringLiteral("1"), QStringLiteral("-W"),
                               QStringLiteral("1"), target};
#endif
        connect(ping, &QProcess::finished, this, [this, ping](int code, QProcess::ExitStatus status) {
#ifdef Q_OS_WIN
            const bool answered = QString::fromLocal8Bit(ping->readAll()).contains(QLatin1String("TTL"));
#else
            const bool answered = status == QProcess::NormalExit && code == 0;
#endif
            ping->deleteLater();
            Q_EMIT probed(answered);
        });
        connect(ping, &QProcess::errorOccurred, this, [this, ping](QProcess::ProcessError e) {
            if (e != QProcess::FailedToStart) return;
            ping->deleteLater();
            Q_EMIT probed(false);
        });
        ping->setProcessChannelMode(QProcess::MergedChannels);
        ping->start(QStringLiteral("ping"), args);
    }
};

} // namespace

std::unique_ptr<TargetProber> systemProber()
{
    return std::make_unique<SystemProber>();
}

std::optional<QString> firmwareFileFault(const QString &path, const LanguageTable &language)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return path + language.text(kCannotOpenSlot);
    if (FirmwareTransfer::fileTooLarge(std::uint64_t(file.size()))) return language.text(kFileTooBigSlot);
    if (std::uint64_t(file.size()) < kMinFirmwareFileSize)
        return QString::fromUtf8(language.language() == Language::English ? kImageTooSmallEnglish
                                                                          : kImageTooSmallText);
    return std::nullopt;
}

std::shared_ptr<const kyvo::Bytes> readFirmwareFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || FirmwareTransfer::fileTooLarge(std::uint64_t(file.size())))
        return nullptr;
    const QByteArray bytes = file.readAll();
    return std::make_shared<const kyvo::Bytes>(bytes.begin(), bytes.end());
}

FirmwareUpgrade::FirmwareUpgrade(ServerCore &core, const LanguageTable &language,
                                 std::unique_ptr<TargetProber> prober, const kyvo::Clock *clock,
                                 QObject *parent)
    : QObject(parent), m_core(core), m_language(language), m_prober(std::move(prober)), m_clock(clock),
      m_transfer(*this), m_timer(this)
{
    if (!m_clock) {
        m_ownClock = std::make_unique<kyvo::SteadyClock>();
        m_clock = m_ownClock.get();
    }
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FirmwareUpgrade::poll);
    connect(m_prober.get(), &TargetProber::flushed, this, [this] {
        m_transfer.onAddressCacheFlushed(m_clock->now());
        arm();
        checkEnded();
    });
    connect(m_prober.get(), &TargetProber::probed, this, [this](bool answered) {
        m_transfer.onProbeResult(answered, m_clock->now());
        arm();
        checkEnded();
    });
    connect(&m_core, &ServerCore::tftpDatagram, this,
            [this](const QByteArray &d, const QString &address, quint16 port) {
                const auto from = kyvo::parseIpv4(address.toStdString());
                m_transfer.onReply(kyvo::ByteView(reinterpret_cast<const std::uint8_t *>(d.constData()),
                                                  std::size_t(d.size())),
                                   {from.value_or(0), port}, m_clock->now());
                arm();
                checkEnded();
            });
}

FirmwareUpgrade::~FirmwareUpgrade() = default;

void FirmwareUpgrade::info(const QString &text)
{
    m_lastMessage = text;
    if (m_view) m_view->message(text, m_language.text(slot::kInfoCaption));
}

void FirmwareUpgrade::begin()
{
    m_started = true;
    m_lastStatus.clear();
    m_lastMessage.clear();
    paintBar(Bar::Blue);
}

void FirmwareUpgrade::start(const QString &path, const QString &target)
{
    begin();
    m_lastPath = path;
    if (path.isEmpty()) {
        info(m_language.text(200));
        return checkEnded();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        info(path + m_language.text(kCannotOpenSlot));
        return checkEnded();
    }
    if (FirmwareTransfer::fileTooLarge(std::uint64_t(file.size()))) {
        info(m_language.text(kFileTooBigSlot));
        return checkEnded();
    }
    const QByteArray bytes = file.readAll();
    send(std::make_shared<const kyvo::Bytes>(bytes.begin(), bytes.end()), target);
}

void FirmwareUpgrade::start(const QString &path, std::shared_ptr<const kyvo::Bytes> bytes,
                            const QString &target)
{
    begin();
    m_lastPath = path;
    send(std::move(bytes), target);
}

void FirmwareUpgrade::send(std::shared_ptr<const kyvo::Bytes> bytes, const QString &target)
{
    const QString &path = m_lastPath;
    m_transfer.start(QFile::encodeName(path).toStdString(),
                     QFile::encodeName(QFileInfo(path).fileName()).toStdString(), std::move(bytes),
                     target.trimmed().toStdString(), m_clock->now());
    arm();
    checkEnded();
}

void FirmwareUpgrade::poll()
{
    m_transfer.onTime(m_clock->now());
    arm();
    checkEnded();
}

void FirmwareUpgrade::checkEnded()
{
    const auto state = m_transfer.state();
    if (!m_started || (state != FirmwareTransfer::State::Idle && state != FirmwareTransfer::State::Halted))
        return;
    m_started = false;
    const bool ok = m_lastStatus == QLatin1String(kUpgradeSuccessText);
    Q_EMIT ended(ok, ok || m_lastMessage.isEmpty() ? m_lastStatus : m_lastMessage);
}

void FirmwareUpgrade::arm()
{
    const auto deadline = m_transfer.nextDeadline();
    if (!deadline) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(std::max<kyvo::Millis::rep>(0, (*deadline - m_clock->now()).count())));
}

void FirmwareUpgrade::sendDatagram(const kyvo::Bytes &datagram, kyvo::Ipv4Endpoint to)
{
    if (to.port == kTftpPort) to.port = m_tftpPort;
    m_core.sendDatagram(datagram, to);
}

void FirmwareUpgrade::showStatus(const std::string &text)
{
    m_lastStatus = QString::fromStdString(text);
    if (m_view) m_view->showStatus(m_lastStatus);
}
void FirmwareUpgrade::showBlockCounter(const std::string &text)
{
    if (m_view) m_view->showBlockCounter(QString::fromStdString(text));
}
void FirmwareUpgrade::showProgress(bool visible, int maximum, int position)
{
    if (m_view) m_view->showProgress(visible, maximum, position);
}
void FirmwareUpgrade::paintBar(Bar colour)
{
    if (m_view) m_view->paintBar(colour);
}
void FirmwareUpgrade::setStartEnabled(bool enabled)
{
    if (m_view) m_view->setStartEnabled(enabled);
}

void FirmwareUpgrade::message(const std::string &chinese, const std::string &english)
{
    const bool useEnglish = m_language.language() == Language::English && !english.empty();
    info(QString::fromStdString(useEnglish ? english : chinese));
}

void FirmwareUpgrade::flushAddressCache()
{
    m_prober->flushAddressCache();
}
void FirmwareUpgrade::probe(const std::string &target)
{
    m_prober->probe(QString::fromStdString(target));
}

} // namespace pelmar
