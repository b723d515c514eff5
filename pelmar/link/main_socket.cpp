// Main socket with its receive thread.
#include "pelmar/link/main_socket.h"

#include "pelmar/link/command_frame.h"
#include "pelmar/link/routing.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QPointer>
#include <QUdpSocket>
#include <QVariant>

namespace pelmar {

class MainSocketWorker : public QObject
{
    Q_OBJECT
public:
    explicit MainSocketWorker(MainSocket *owner)
        : m_owner(owner), m_buffer(qsizetype(kReceiveBufferSize) + 1, 0)
    {}

    void open(const QString &localAddress, quint16 localPort)
    {
        delete m_socket;
        m_owner->m_localPort = 0;
        m_socket = new QUdpSocket(this);
        const QHostAddress address = localAddress.isEmpty() ? QHostAddress(QHostAddress::AnyIPv4)
                                                            : QHostAddress(localAddress);
        if (!m_socket->bind(address, localPort, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
            Q_EMIT bindFailed(localAddress, localPort);
            return;
        }
        // Hundreds of servers answer one search at once; give the system room to queue them.
        m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(8 * 1024 * 1024));
        connect(m_socket, &QUdpSocket::readyRead, this, &MainSocketWorker::drain);
        m_owner->m_localPort = m_socket->localPort();
        Q_EMIT opened(m_socket->localPort());
    }

    void send(const QByteArray &datagram, const QString &destination, quint16 port)
    {
        if (!m_socket) return;
        if (const auto address = kyvo::parseIpv4(destination.toStdString())) {
            m_socket->writeDatagram(datagram, QHostAddress(*address), port);
            return;
        }
        if (destination.isEmpty()) return;
        QHostInfo::lookupHost(destination, this, [this, datagram, port](const QHostInfo &info) {
            for (const QHostAddress &a : info.addresses()) {
                if (a.protocol() != QAbstractSocket::IPv4Protocol || !m_socket) continue;
                m_socket->writeDatagram(datagram, a, port);
                return;
            }
        });
    }

Q_SIGNALS:
    void opened(quint16 localPort);
    void bindFailed(const QString &localAddress, quint16 localPort);

private:
    void drain()
    {
        // A bounded batch per wake-up: under a flood the socket never runs
        // dry, and the sends, reopenings and the thread's end queued behind
        // this slot must still run. The socket signals again while
        // datagrams wait.
        for (int i = 0; i < kDrainBatch && m_socket->hasPendingDatagrams(); ++i) {
            QHostAddress from;
            quint16 fromPort = 0;
            // The buffer has a byte more than the receive buffer of the
            // design, so a datagram that does not fit reads as that long.
            const qint64 n =
                m_socket->readDatagram(m_buffer.data(), qint64(m_buffer.size()), &from, &fromPort);
            if (n <= 0) continue; // a receive error, or an empty datagram: nothing to route
            if (n > qint64(kReceiveBufferSize)) {
                m_owner->m_oversized.fetch_add(1);
                continue;
            }
            handOver(
                kyvo::ByteView(reinterpret_cast<const std::uint8_t *>(m_buffer.constData()), std::size_t(n)),
                from, fromPort);
        }
    }

    void handOver(kyvo::ByteView datagram, const QHostAddress &from, quint16 fromPort)
    {
        const kyvo::Inbound kind = classifyDatagram(datagram);
        if (kind == kyvo::Inbound::Junk) {
            m_owner->m_junk.fetch_add(1);
            return;
        }
        bool mapped = false;
        const quint32 v4 = from.toIPv4Address(&mapped);
        if (m_owner->m_inbox.push(
                {QByteArray(reinterpret_cast<const char *>(datagram.data()), qsizetype(datagram.size())),
                 mapped ? QHostAddress(v4).toString() : from.toString(), fromPort},
                datagram.size(), kind))
            QMetaObject::invokeMethod(
                m_owner, [o = m_owner] { o->deliverInbox(); }, Qt::QueuedConnection);
    }

    static constexpr int kDrainBatch = 256;
    MainSocket *m_owner;
    QUdpSocket *m_socket = nullptr;
    QByteArray m_buffer;
};

MainSocket::MainSocket(QObject *parent) : QObject(parent), m_worker(new MainSocketWorker(this))
{
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &MainSocketWorker::opened, this, &MainSocket::opened);
    connect(m_worker, &MainSocketWorker::bindFailed, this, &MainSocket::bindFailed);
    m_thread.setObjectName(QStringLiteral("server-socket"));
    m_thread.start();
}

MainSocket::~MainSocket()
{
    m_thread.quit();
    m_thread.wait();
}

void MainSocket::deliverInbox()
{
    // One batch per wake-up, so timers and painting run between batches.
    deliver(m_inbox.takeAll());
}

void MainSocket::deliverAnswers()
{
    deliver(m_inbox.takeAnswers());
}

void MainSocket::deliver(const std::vector<Inbound> &batch)
{
    m_dropReport.note(queueDrops());
    const QPointer<MainSocket> alive(this);
    for (const Inbound &d : batch) {
        Q_EMIT datagramReceived(d.data, d.sourceAddress, d.sourcePort);
        if (!alive) return;
    }
}

void MainSocket::open(const QString &localAddress, quint16 localPort)
{
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, localAddress, localPort] { w->open(localAddress, localPort); },
        Qt::QueuedConnection);
}

void MainSocket::send(const kyvo::Bytes &datagram, const QString &destination, quint16 port)
{
    QByteArray bytes(reinterpret_cast<const char *>(datagram.data()), qsizetype(datagram.size()));
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, bytes, destination, port] { w->send(bytes, destination, port); },
        Qt::QueuedConnection);
}

void MainSocket::send(const kyvo::Bytes &datagram, kyvo::Ipv4Endpoint destination)
{
    send(datagram, QString::fromStdString(kyvo::ipv4Text(destination.address)), destination.port);
}

void MainSocket::whenSent(std::function<void()> done)
{
    // Sends are queued to the worker in order, so this runs after them.
    QMetaObject::invokeMethod(m_worker, [done = std::move(done)] { done(); }, Qt::QueuedConnection);
}

} // namespace pelmar

#include "main_socket.moc"
