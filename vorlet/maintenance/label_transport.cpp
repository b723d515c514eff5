// The print agent's datagrams and the enrolment connection.
#include "vorlet/maintenance/label_transport.h"

#include <QNetworkDatagram>
#include <QTcpSocket>
#include <QUdpSocket>

namespace vorlet::labels {

namespace {
const QHostAddress kAgentAddress{QHostAddress::LocalHost};
}

PrintAgent::PrintAgent(quint16 port, QObject *parent)
    : QObject(parent), m_port(port), m_socket(new QUdpSocket(this))
{
    m_wait.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, &PrintAgent::endWait);
    connect(m_socket, &QUdpSocket::readyRead, this, &PrintAgent::readAnswers);
}

PrintAgent::~PrintAgent() = default;

void PrintAgent::probe(kyvo::Millis wait)
{
    m_answered = false;
    m_listening = true;
    if (m_socket->state() != QAbstractSocket::BoundState) m_socket->bind(kAgentAddress, 0);
    m_socket->writeDatagram("test", 4, kAgentAddress, m_port);
    m_wait.start(int(wait.count()));
}

void PrintAgent::endWait()
{
    if (!m_listening) return;
    m_wait.stop();
    // An answer already waiting in the socket came in time, even when the
    // window was too busy starting up to read it before the wait ended.
    readAnswers();
    m_listening = false;
    if (!m_answered) Q_EMIT agentSilent();
}

void PrintAgent::readAnswers()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram d = m_socket->receiveDatagram(qint64(kAnswerLimit));
        const bool fromAgent = d.senderAddress().isEqual(kAgentAddress, QHostAddress::TolerantConversion) &&
                               d.senderPort() == m_port;
        if (!fromAgent || !m_listening || m_answered) continue;
        m_answered = true;
        m_listening = false;
        m_wait.stop();
        Q_EMIT agentAnswered();
    }
}

void PrintAgent::send(const Bytes &datagram)
{
    if (datagram.empty()) return;
    m_socket->writeDatagram(reinterpret_cast<const char *>(datagram.data()), qint64(datagram.size()),
                            kAgentAddress, m_port);
}

CloudEnroller::CloudEnroller(Options options, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_session(m_options.timeouts)
{
    if (!m_options.clock) {
        m_ownClock = std::make_unique<kyvo::SteadyClock>();
        m_options.clock = m_ownClock.get();
    }
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CloudEnroller::poll);
}

CloudEnroller::~CloudEnroller() = default;

bool CloudEnroller::busy() const
{
    return m_session.deadline().has_value();
}

void CloudEnroller::enrol(const std::array<std::uint8_t, 6> &mac)
{
    if (busy()) return;
    m_mac = mac;
    m_session.start(m_options.clock->now());
    if (m_options.server.isNull()) {
        m_session.closed();
        // Reported from the event loop, as every other outcome is.
        QTimer::singleShot(0, this, &CloudEnroller::settle);
        return;
    }
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        const Bytes request = m_session.connected(m_options.clock->now(), m_mac);
        m_socket->write(reinterpret_cast<const char *>(request.data()), qint64(request.size()));
        arm();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, [this] {
        const QByteArray data = m_socket->read(qint64(EnrolSession::kReplyLimit));
        m_session.received(
            ByteView(reinterpret_cast<const std::uint8_t *>(data.constData()), std::size_t(data.size())));
        settle();
    });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        m_session.closed();
        settle();
    });
    m_socket->connectToHost(m_options.server, m_options.port);
    arm();
}

void CloudEnroller::poll()
{
    m_session.due(m_options.clock->now());
    settle();
    if (busy()) arm();
}

void CloudEnroller::arm()
{
    if (const auto at = m_session.deadline())
        m_timer.start(int(std::max<qint64>(0, (*at - m_options.clock->now()).count())));
}

void CloudEnroller::settle()
{
    if (m_session.state() != EnrolSession::State::Done) return;
    m_timer.stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    const EnrolResult result = m_session.result();
    m_session = EnrolSession(m_options.timeouts); // idle again
    Q_EMIT finished(result);
}

} // namespace vorlet::labels
