// The serial-server tool's main socket: UDP on local port 4601, re-created
// for each adapter choice. The socket lives in a thread of its own so it is
// drained while the window is busy; datagrams reach the owner's thread in
// the order they arrived (answers ahead of the others), with their source
// address and port, through a bounded queue that drops (and counts) the
// oldest when a flood outruns it; datagrams no rule takes never queue.
#pragma once

#include "common/bytes.h"
#include "common/drop_oldest_queue.h"
#include "common/drop_report.h"
#include "common/ipv4.h"

#include <QByteArray>
#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>

namespace pelmar {

class MainSocketWorker;

class MainSocket : public QObject
{
    Q_OBJECT
public:
    explicit MainSocket(QObject *parent = nullptr);
    ~MainSocket() override;

    // Closes the socket and creates it again bound to localPort on
    // localAddress (all addresses when empty), with broadcast and address
    // reuse. Port 0 takes any free port (tests).
    void open(const QString &localAddress, quint16 localPort);

    // One datagram. The destination is an address text; one that is not a
    // dotted address is looked up first. Send errors are not reported: a
    // missing answer is told by its time-out.
    void send(const kyvo::Bytes &datagram, const QString &destination, quint16 port);
    void send(const kyvo::Bytes &datagram, kyvo::Ipv4Endpoint destination);
    // Runs done in the socket's thread once every datagram handed over
    // before this call has gone to the system (a program that ends after
    // its last command waits for this).
    void whenSent(std::function<void()> done);

    // The bound port once opened() was signalled (0 before).
    quint16 localPort() const { return m_localPort.load(); }
    // Datagrams longer than the 5120-byte receive buffer, dropped.
    quint64 oversizedDatagrams() const { return m_oversized.load(); }
    // Datagrams dropped because the owner's thread fell behind: all of them,
    // and the answers (records, short-frame replies) among them, which had
    // a lane of their own.
    quint64 queueDrops() const { return m_inbox.droppedAnswers() + m_inbox.droppedOthers(); }
    quint64 answerDrops() const { return m_inbox.droppedAnswers(); }
    // Datagrams no routing rule takes, dropped in the receive thread.
    quint64 junkDatagrams() const { return m_junk.load(); }
    // More than the answers of a 256-server search, seven for each
    // short-frame server; the other lane holds twice that.
    static constexpr std::size_t kInboxAnswers = 2048;
    static constexpr std::size_t kInboxDatagrams = 4096;
    static constexpr std::size_t kInboxBytes = 8 * 1024 * 1024; // each lane

    // Hands the queued answers (not the other datagrams) to
    // datagramReceived now: a search that ends takes the answers that came
    // in time, however many other datagrams wait.
    void deliverAnswers();

Q_SIGNALS:
    void datagramReceived(const QByteArray &data, const QString &sourceAddress, quint16 sourcePort);
    void opened(quint16 localPort);
    void bindFailed(const QString &localAddress, quint16 localPort);

private:
    friend class MainSocketWorker;
    struct Inbound
    {
        QByteArray data;
        QString sourceAddress;
        quint16 sourcePort;
    };
    void deliverInbox();
    void deliver(const std::vector<Inbound> &batch);
    QThread m_thread;
    MainSocketWorker *m_worker;
    std::atomic<quint16> m_localPort{0};
    std::atomic<quint64> m_oversized{0};
    std::atomic<quint64> m_junk{0};
    kyvo::AnswerFirstQueue<Inbound> m_inbox{{kInboxAnswers, kInboxBytes}, {kInboxDatagrams, kInboxBytes}};
    kyvo::DropReport m_dropReport{"pelmar"};
};

} // namespace pelmar
