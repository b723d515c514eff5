// The receiver of the devices' debug output (UDP 1112 on the PC), shared by
// both tools' monitors: a worker thread drains the socket into a bounded
// queue, and the owner's thread takes what waits there in batches.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QThread>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

namespace kyvo {

struct DebugDatagram
{
    QByteArray data;    // cut to the receiver's longest datagram
    quint32 sender = 0; // IPv4, most significant octet first
    quint16 senderPort = 0;
    qint64 arrivalMs = 0; // milliseconds since the epoch, by the receiver's wall clock
};

class DebugReceiverWorker;

inline constexpr quint16 kDebugPort = 1112;

struct DebugReceiverOptions
{
    quint16 port = kDebugPort; // 0: any free port (tests)
    QHostAddress address = QHostAddress(QHostAddress::AnyIPv4);
    qsizetype maxDatagram = 8091;       // longer datagrams are cut to this
    std::size_t queueCapacity = 262144; // waiting datagrams; the oldest give way
    std::size_t batchLimit = 2048;
    // Milliseconds since the epoch; called in the worker thread. The
    // system's clock when empty.
    std::function<qint64()> wallClock;
};

// The socket is bound without sharing its port, so a port that another
// program holds is reported (bindFailed) instead of leaving a monitor that
// silently receives nothing. Batches reach the owner's thread in arrival
// order; at most `batchLimit` datagrams per hand-over, so one hand-over never
// keeps the owner's event loop long, and further hand-overs follow at once.
class DebugReceiver : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = kDebugPort;

    using Options = DebugReceiverOptions;

    explicit DebugReceiver(Options options = {}, QObject *parent = nullptr);
    ~DebugReceiver() override;

    // Binds in the worker thread; listening() or bindFailed() follows.
    void start();

    bool isListening() const { return m_localPort.load() != 0; }
    quint16 localPort() const { return m_localPort.load(); }
    const Options &options() const { return m_options; }

    // While held, datagrams keep arriving into the (bounded) queue and wait
    // there; releasing hands them over in order.
    void setHeld(bool held);
    bool isHeld() const { return m_held; }

    quint64 receivedCount() const { return m_received.load(); }
    quint64 droppedCount() const { return m_dropped.load(); } // given away by a full queue

Q_SIGNALS:
    void listening(quint16 port);
    void bindFailed(const QString &reason);
    void datagramsArrived(const QList<kyvo::DebugDatagram> &batch);

private:
    friend class DebugReceiverWorker;
    void push(QList<DebugDatagram> &incoming); // worker thread
    void handOver();                           // owner's thread
    void scheduleHandOver();

    Options m_options;
    QThread m_thread;
    DebugReceiverWorker *m_worker;
    std::mutex m_mutex;
    std::deque<DebugDatagram> m_queue; // guarded by m_mutex
    bool m_handOverPosted = false;     // guarded by m_mutex
    bool m_held = false;               // owner's thread only
    std::atomic<quint16> m_localPort{0};
    std::atomic<quint64> m_received{0};
    std::atomic<quint64> m_dropped{0};
};

// What a monitor shows when its port is held by another program.
QString portTakenText(quint16 port, bool english);

} // namespace kyvo
