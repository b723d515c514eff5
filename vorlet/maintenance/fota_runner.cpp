// Upgrade socket and timer.
#include "vorlet/maintenance/fota_runner.h"

#include <QUdpSocket>

namespace vorlet {

// Sends the session's datagrams on the runner's socket and passes every
// other effect to the owner's sink.
class FotaRunner::Forwarder final : public FotaSink
{
public:
    Forwarder(FotaRunner &runner, FotaSink &sink) : m_runner(runner), m_sink(sink) {}
    void sendDatagram(const Bytes &d) override
    {
        m_runner.m_socket->writeDatagram(reinterpret_cast<const char *>(d.data()), qint64(d.size()),
                                         m_runner.m_device, m_runner.m_port);
    }
    void showStatus(const std::string &t, const std::string &s) override { m_sink.showStatus(t, s); }
    void showPartition(const std::string &t) override { m_sink.showPartition(t); }
    void showProgress(int m, int p) override { m_sink.showProgress(m, p); }
    void setStartEnabled(bool e) override { m_sink.setStartEnabled(e); }
    void showResult(bool v) override { m_sink.showResult(v); }
    void hideResult() override { m_sink.hideResult(); }

private:
    FotaRunner &m_runner;
    FotaSink &m_sink;
};

FotaRunner::FotaRunner(Mac mac, const std::string &versionText, FotaSink &sink, const kyvo::Clock *clock,
                       QObject *parent)
    : QObject(parent), m_clock(clock), m_forwarder(std::make_unique<Forwarder>(*this, sink)),
      m_session(mac, versionText, *m_forwarder), m_socket(new QUdpSocket(this)), m_timer(this)
{
    if (!m_clock) {
        m_ownClock = std::make_unique<kyvo::SteadyClock>();
        m_clock = m_ownClock.get();
    }
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FotaRunner::poll);
    connect(m_socket, &QUdpSocket::readyRead, this, &FotaRunner::readAnswers);
}

FotaRunner::~FotaRunner() = default;

bool FotaRunner::open(const QString &localAddress)
{
    const auto mode = QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint;
    const bool any = localAddress.isEmpty() || localAddress == QLatin1String("0.0.0.0");
    if (m_socket->bind(any ? QHostAddress(QHostAddress::AnyIPv4) : QHostAddress(localAddress), 0, mode))
        return true;
    m_socket->bind(QHostAddress::AnyIPv4, 0, mode);
    return false;
}

void FotaRunner::setDevice(const QHostAddress &address, quint16 port)
{
    m_device = address;
    m_port = port;
    m_answering.reset();
}

bool FotaRunner::fromDevice(const QHostAddress &sender, quint16 senderPort)
{
    const QHostAddress from(sender.toIPv4Address());
    if (m_answering) return m_answering->first == from && m_answering->second == senderPort;
    if (m_device != QHostAddress(QHostAddress::Broadcast) && from != QHostAddress(m_device.toIPv4Address()))
        return false;
    m_answering.emplace(from, senderPort);
    return true;
}

quint16 FotaRunner::localPort() const
{
    return m_socket->localPort();
}

void FotaRunner::start(FirmwareFile image, bool factoryReset)
{
    m_answering.reset(); // a device that restarted may answer from another port
    m_session.start(std::move(image), factoryReset, m_clock->now());
    arm();
}

void FotaRunner::readAnswers()
{
    while (m_socket->hasPendingDatagrams()) {
        QByteArray datagram(int(std::max<qint64>(0, m_socket->pendingDatagramSize())), Qt::Uninitialized);
        QHostAddress sender;
        quint16 senderPort = 0;
        const qint64 n = m_socket->readDatagram(datagram.data(), datagram.size(), &sender, &senderPort);
        if (n <= 0 || !fromDevice(sender, senderPort)) continue;
        m_session.onAnswer(
            ByteView(reinterpret_cast<const std::uint8_t *>(datagram.constData()), std::size_t(n)),
            m_clock->now());
    }
    arm();
}

void FotaRunner::poll()
{
    m_session.onTime(m_clock->now());
    arm();
}

void FotaRunner::arm()
{
    const auto deadline = m_session.nextDeadline();
    if (!deadline) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(std::max<kyvo::Millis::rep>(0, (*deadline - m_clock->now()).count())));
}

} // namespace vorlet
