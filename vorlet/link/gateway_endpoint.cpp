// UDP endpoint with its receive worker thread.
#include "vorlet/link/gateway_endpoint.h"

#include "common/paced_sender.h"
#include "vorlet/link/device_message.h"
#include "vorlet/link/link_frame.h"
#include "vorlet/link/reassembly.h"

#include <QHostAddress>
#include <QPointer>
#include <QUdpSocket>
#include <QVariant>
#include <chrono>

namespace vorlet {

namespace {

// One count for every endpoint, so that a core with an endpoint per adapter
// tells their jobs apart by the token alone.
quint64 nextToken()
{
    static std::atomic<quint64> next{1};
    return next.fetch_add(1);
}

} // namespace

class EndpointWorker : public QObject
{
    Q_OBJECT
public:
    explicit EndpointWorker(GatewayEndpoint *owner)
        : m_owner(owner), m_buffer(Reassembler::kMaxDatagram + 1),
          m_sender([this](const kyvo::Ipv4Endpoint &to, const kyvo::Bytes &bytes) { sendDatagram(to, bytes); },
                   nullptr, this)
    {
        connect(&m_sender, &kyvo::PacedSender::jobDone, this, &EndpointWorker::jobDone);
    }

    void open(const QString &localAddress, quint16 localPort)
    {
        delete m_socket;
        m_reassembler.clear();
        m_socket = new QUdpSocket(this);
        const auto mode = QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint;
        bool bound = false;
        if (!localAddress.isEmpty()) {
            bound = m_socket->bind(QHostAddress(localAddress), localPort, mode);
            if (!bound) Q_EMIT bindFailed(localAddress);
        }
        if (!bound) m_socket->bind(QHostAddress::AnyIPv4, localAddress.isEmpty() ? localPort : 0, mode);
        // Many gateways answer at once; give the system room to queue them.
        m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(8 * 1024 * 1024));
        connect(m_socket, &QUdpSocket::readyRead, this, &EndpointWorker::drain);
        m_owner->m_localPort = m_socket->localPort();
        bool ipv4 = false;
        const quint32 local = m_socket->localAddress().toIPv4Address(&ipv4);
        m_owner->m_localAddress = ipv4 ? local : 0;
        Q_EMIT opened(m_socket->localPort());
    }

    void enqueue(std::vector<kyvo::PacedStep> steps, quint64 token) { m_sender.enqueue(std::move(steps), token); }
    void compose(const GatewayEndpoint::Compose &build, kyvo::Ipv4Endpoint to, quint64 token)
    {
        bool ipv4 = false;
        const quint32 local = m_socket ? m_socket->localAddress().toIPv4Address(&ipv4) : 0;
        const kyvo::Bytes message = build(ipv4 ? local : 0);
        Q_EMIT composed(token,
                        QByteArray(reinterpret_cast<const char *>(message.data()), qsizetype(message.size())),
                        to.address, to.port);
        enqueue(fragmentMessage(message, to), token);
    }
    void clearQueue() { m_sender.clear(); }

Q_SIGNALS:
    void jobDone(quint64 token);
    void composed(quint64 token, const QByteArray &message, quint32 address, quint16 port);
    void opened(quint16 localPort);
    void bindFailed(const QString &localAddress);

private:
    void sendDatagram(const kyvo::Ipv4Endpoint &to, const kyvo::Bytes &bytes)
    {
        if (!m_socket) return;
        m_socket->writeDatagram(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()),
                                QHostAddress(to.address), to.port);
    }

    void drain()
    {
        // A bounded batch per wake-up: under a flood the socket never runs
        // dry, and the sends, reopenings and the thread's end queued behind
        // this slot must still run. The socket signals again while
        // datagrams wait.
        for (int i = 0; i < kDrainBatch && m_socket->hasPendingDatagrams(); ++i) {
            QHostAddress from;
            // The buffer has a byte more than the largest datagram taken, so
            // one that does not fit reads as that long.
            const qint64 n = m_socket->readDatagram(reinterpret_cast<char *>(m_buffer.data()),
                                                    qint64(m_buffer.size()), &from, nullptr);
            if (n <= 0) continue;
            m_owner->m_received.fetch_add(1);
            m_owner->m_lastDatagramNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                            std::chrono::steady_clock::now().time_since_epoch())
                                            .count();
            if (n > qint64(Reassembler::kMaxDatagram)) {
                m_owner->m_dropped.fetch_add(1);
                continue;
            }
            bool mapped = false;
            const quint32 sender = from.toIPv4Address(&mapped);
            const auto complete = m_reassembler.accept(kyvo::ByteView(m_buffer.data(), std::size_t(n)));
            m_owner->m_dropped = m_reassembler.droppedDatagrams();
            if (complete) handOver(mapped ? sender : 0, complete->message);
        }
    }

    void handOver(quint32 sender, kyvo::ByteView complete)
    {
        const kyvo::Inbound kind = m_sorter.sort(complete);
        if (kind == kyvo::Inbound::Junk) {
            m_owner->m_junk.fetch_add(1);
            return;
        }
        QByteArray message(reinterpret_cast<const char *>(complete.data()), qsizetype(complete.size()));
        const std::size_t bytes = std::size_t(message.size());
        if (m_owner->m_inbox.push({sender, std::move(message)}, bytes, kind))
            QMetaObject::invokeMethod(
                m_owner, [o = m_owner] { o->deliverInbox(); }, Qt::QueuedConnection);
    }

    static constexpr int kDrainBatch = 256;
    GatewayEndpoint *m_owner;
    QUdpSocket *m_socket = nullptr;
    Reassembler m_reassembler;
    MessageSorter m_sorter;
    std::vector<std::uint8_t> m_buffer;
    kyvo::PacedSender m_sender;
};

GatewayEndpoint::GatewayEndpoint(QObject *parent) : QObject(parent), m_worker(new EndpointWorker(this))
{
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &EndpointWorker::jobDone, this, &GatewayEndpoint::sent);
    connect(m_worker, &EndpointWorker::opened, this, &GatewayEndpoint::opened);
    connect(m_worker, &EndpointWorker::composed, this, &GatewayEndpoint::composed);
    connect(m_worker, &EndpointWorker::bindFailed, this, &GatewayEndpoint::bindFailed);
    m_thread.setObjectName(QStringLiteral("gateway-receive"));
    m_thread.start();
}

GatewayEndpoint::~GatewayEndpoint()
{
    m_thread.quit();
    m_thread.wait();
}

void GatewayEndpoint::deliverInbox()
{
    // One batch per wake-up: what arrives meanwhile waits for the next one, so
    // timers and painting run between batches however fast a flood comes.
    deliver(m_inbox.takeAll());
}

void GatewayEndpoint::deliverAnswers()
{
    deliver(m_inbox.takeAnswers());
}

void GatewayEndpoint::deliver(const std::vector<Inbound> &batch)
{
    m_dropReport.note(queueDrops());
    const QPointer<GatewayEndpoint> alive(this);
    for (const Inbound &m : batch) {
        Q_EMIT messageReceived(m.sender, m.message);
        if (!alive) return;
    }
}

void GatewayEndpoint::open(const QString &localAddress, quint16 localPort)
{
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, localAddress, localPort] { w->open(localAddress, localPort); },
        Qt::QueuedConnection);
}

quint64 GatewayEndpoint::sendSteps(std::vector<kyvo::PacedStep> steps)
{
    const quint64 token = nextToken();
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, steps = std::move(steps), token]() mutable { w->enqueue(std::move(steps), token); },
        Qt::QueuedConnection);
    return token;
}

quint64 GatewayEndpoint::send(const kyvo::Bytes &message, kyvo::Ipv4Endpoint destination)
{
    return sendSteps(fragmentMessage(message, destination));
}

quint64 GatewayEndpoint::sendComposed(Compose compose, kyvo::Ipv4Endpoint destination)
{
    const quint64 token = nextToken();
    QMetaObject::invokeMethod(
        m_worker,
        [w = m_worker, compose = std::move(compose), destination, token] {
            w->compose(compose, destination, token);
        },
        Qt::QueuedConnection);
    return token;
}

void GatewayEndpoint::clearQueue()
{
    QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->clearQueue(); }, Qt::QueuedConnection);
}

} // namespace vorlet

#include "gateway_endpoint.moc"
