// Debug-output receiver with its worker thread.
#include "common/debug_receiver.h"

#include <QDateTime>
#include <QUdpSocket>
#include <QVariant>

#include <algorithm>
#include <vector>

namespace kyvo {

class DebugReceiverWorker : public QObject
{
    Q_OBJECT
public:
    explicit DebugReceiverWorker(DebugReceiver *owner)
        : m_owner(owner), m_buffer(std::size_t(std::max<qsizetype>(1, owner->options().maxDatagram)))
    {
        m_clock = owner->options().wallClock;
        if (!m_clock) m_clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
    }

    void open()
    {
        const DebugReceiver::Options &o = m_owner->options();
        m_socket = new QUdpSocket(this);
        if (!m_socket->bind(o.address, o.port, QUdpSocket::DontShareAddress)) {
            const QString reason = m_socket->errorString();
            delete m_socket;
            m_socket = nullptr;
            Q_EMIT failed(reason);
            return;
        }
        // A busy device sends in bursts; room in the system keeps them until
        // the worker runs again.
        m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(8 * 1024 * 1024));
        connect(m_socket, &QUdpSocket::readyRead, this, &DebugReceiverWorker::drain);
        m_owner->m_localPort = m_socket->localPort();
        Q_EMIT bound(m_socket->localPort());
        drain();
    }

Q_SIGNALS:
    void bound(quint16 port);
    void failed(const QString &reason);

private:
    static constexpr int kPushEvery = 512;

    void drain()
    {
        QList<DebugDatagram> got;
        while (m_socket->hasPendingDatagrams()) {
            QHostAddress from;
            quint16 port = 0;
            const qint64 n = m_socket->readDatagram(m_buffer.data(), qint64(m_buffer.size()), &from, &port);
            if (n < 0) break;
            bool ipv4 = false;
            const quint32 sender = from.toIPv4Address(&ipv4);
            got.append({QByteArray(m_buffer.data(), qsizetype(n)), ipv4 ? sender : 0, port, m_clock()});
            if (got.size() >= kPushEvery) m_owner->push(got);
        }
        if (!got.isEmpty()) m_owner->push(got);
    }

    DebugReceiver *m_owner;
    QUdpSocket *m_socket = nullptr;
    std::vector<char> m_buffer;
    std::function<qint64()> m_clock;
};

DebugReceiver::DebugReceiver(Options options, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_worker(new DebugReceiverWorker(this))
{
    m_options.queueCapacity = std::max<std::size_t>(1, m_options.queueCapacity);
    m_options.batchLimit = std::max<std::size_t>(1, m_options.batchLimit);
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &DebugReceiverWorker::bound, this, &DebugReceiver::listening);
    connect(m_worker, &DebugReceiverWorker::failed, this, &DebugReceiver::bindFailed);
    m_thread.setObjectName(QStringLiteral("debug-receive"));
    m_thread.start();
}

DebugReceiver::~DebugReceiver()
{
    m_thread.quit();
    m_thread.wait();
}

void DebugReceiver::start()
{
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker] { w->open(); }, Qt::QueuedConnection);
}

void DebugReceiver::push(QList<DebugDatagram> &incoming)
{
    m_received.fetch_add(quint64(incoming.size()));
    bool post = false;
    {
        std::lock_guard lock(m_mutex);
        for (DebugDatagram &d : incoming) {
            if (m_queue.size() >= m_options.queueCapacity) {
                m_queue.pop_front();
                m_dropped.fetch_add(1);
            }
            m_queue.push_back(std::move(d));
        }
        post = !m_handOverPosted;
        m_handOverPosted = true;
    }
    incoming.clear();
    if (post) QMetaObject::invokeMethod(this, &DebugReceiver::handOver, Qt::QueuedConnection);
}

void DebugReceiver::scheduleHandOver()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_handOverPosted) return;
        m_handOverPosted = true;
    }
    QMetaObject::invokeMethod(this, &DebugReceiver::handOver, Qt::QueuedConnection);
}

void DebugReceiver::handOver()
{
    QList<DebugDatagram> batch;
    bool more = false;
    {
        std::lock_guard lock(m_mutex);
        m_handOverPosted = false;
        if (m_held) return;
        const std::size_t n = std::min(m_options.batchLimit, m_queue.size());
        batch.reserve(qsizetype(n));
        for (std::size_t i = 0; i < n; ++i) {
            batch.append(std::move(m_queue.front()));
            m_queue.pop_front();
        }
        more = !m_queue.empty();
        m_handOverPosted = more;
    }
    if (more) QMetaObject::invokeMethod(this, &DebugReceiver::handOver, Qt::QueuedConnection);
    if (!batch.isEmpty()) Q_EMIT datagramsArrived(batch);
}

void DebugReceiver::setHeld(bool held)
{
    m_held = held;
    if (!held) scheduleHandOver();
}

QString portTakenText(quint16 port, bool english)
{
    return english
               ? QStringLiteral("Port %1 is in use by another program: no debug output can arrive.").arg(port)
               : QStringLiteral("端口 %1 已被其他程序占用，收不到调试信息。").arg(port);
}

} // namespace kyvo

#include "debug_receiver.moc"
