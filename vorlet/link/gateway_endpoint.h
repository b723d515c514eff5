// The gateway tool's one UDP endpoint: a socket and its receive worker in a
// thread of their own, the paced sender, and the reassembly of answers.
#pragma once

#include "common/drop_oldest_queue.h"
#include "common/drop_report.h"
#include "common/ipv4.h"
#include "common/paced_queue.h"

#include <QByteArray>
#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>

namespace vorlet {

class EndpointWorker;

// Every socket operation runs in the worker thread, so the socket is drained
// while the window is busy; complete messages reach the owner's thread in
// the order they were completed (answers ahead of other messages), through a
// bounded queue: when the window falls behind a flood, the oldest messages
// are dropped and counted, and messages no handler takes never queue. Send
// errors are ignored: a missing answer shows as its operation's time-out.
class GatewayEndpoint : public QObject
{
    Q_OBJECT
public:
    explicit GatewayEndpoint(QObject *parent = nullptr);
    ~GatewayEndpoint() override;

    // (Re)opens the socket. An empty address leaves the choice of address to
    // the system (bound to any address); otherwise it is bound to that
    // address. The port is any free one unless given. Queued jobs are kept.
    void open(const QString &localAddress = {}, quint16 localPort = 0);

    // One device message, fragmented and paced; sent(token) follows when its
    // last step has run. Tokens are unique among all endpoints of the program.
    quint64 send(const kyvo::Bytes &message, kyvo::Ipv4Endpoint destination);
    // A message built in the receive thread from the local address of the
    // socket it goes out on (0 when bound to any address), so that it names
    // the socket of a reopen queued before it; composed() reports it.
    using Compose = std::function<kyvo::Bytes(quint32 localAddress)>;
    quint64 sendComposed(Compose compose, kyvo::Ipv4Endpoint destination);
    quint64 sendSteps(std::vector<kyvo::PacedStep> steps);
    void clearQueue();

    quint16 localPort() const { return m_localPort.load(); }
    // The IPv4 address the socket is bound to (most significant octet
    // first), 0 while it is bound to any address; readable from any thread.
    quint32 localAddress() const { return m_localAddress.load(); }
    quint64 droppedDatagrams() const { return m_dropped.load(); }
    quint64 receivedDatagrams() const { return m_received.load(); }
    // Complete messages dropped because the owner's thread fell behind: all
    // of them, and the answers (search answers, query answers of listed
    // devices) among them, which had a lane of their own.
    quint64 queueDrops() const { return m_inbox.droppedAnswers() + m_inbox.droppedOthers(); }
    quint64 answerDrops() const { return m_inbox.droppedAnswers(); }
    // Complete messages no handler would take, dropped in the receive thread.
    quint64 junkMessages() const { return m_junk.load(); }
    // A flood the window thread could not keep up with: 1024 answers are
    // twice a full 512-gateway search, 4096 other messages eight times.
    static constexpr std::size_t kInboxAnswers = 1024;
    static constexpr std::size_t kInboxMessages = 4096;
    static constexpr std::size_t kInboxBytes = 16 * 1024 * 1024; // each lane
    // When the last datagram arrived, in nanoseconds of std::chrono::steady_clock.
    qint64 lastDatagramNs() const { return m_lastDatagramNs.load(); }

    // Hands the queued answers (not the other messages) to messageReceived
    // now: a search that ends takes the answers that came in time, however
    // many other messages wait.
    void deliverAnswers();

Q_SIGNALS:
    void messageReceived(quint32 sender, const QByteArray &message);
    void sent(quint64 token);
    void composed(quint64 token, const QByteArray &message, quint32 address, quint16 port);
    void opened(quint16 localPort);
    void bindFailed(const QString &localAddress);

private:
    friend class EndpointWorker;
    struct Inbound
    {
        quint32 sender;
        QByteArray message;
    };
    void deliverInbox();
    void deliver(const std::vector<Inbound> &batch);
    QThread m_thread;
    EndpointWorker *m_worker;
    std::atomic<quint16> m_localPort{0};
    std::atomic<quint32> m_localAddress{0};
    std::atomic<quint64> m_dropped{0};
    std::atomic<quint64> m_received{0};
    std::atomic<quint64> m_junk{0};
    std::atomic<qint64> m_lastDatagramNs{0};
    kyvo::AnswerFirstQueue<Inbound> m_inbox{{kInboxAnswers, kInboxBytes}, {kInboxMessages, kInboxBytes}};
    kyvo::DropReport m_dropReport{"vorlet"};
};

} // namespace vorlet
