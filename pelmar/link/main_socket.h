// The serial-server tool's main socket: UDP on local port 4601, re-created
// for each adapter choice. The socket lives in a thread of its own so it is
// drained while the window is busy; datagrams reach the owner's thread in
// the order they arrived, with their source address and port.
#pragma once

#include "common/bytes.h"
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

Q_SIGNALS:
    void datagramReceived(const QByteArray &data, const QString &sourceAddress, quint16 sourcePort);
    void opened(quint16 localPort);
    void bindFailed(const QString &localAddress, quint16 localPort);

private:
    friend class MainSocketWorker;
    QThread m_thread;
    MainSocketWorker *m_worker;
    std::atomic<quint16> m_localPort{0};
    std::atomic<quint64> m_oversized{0};
};

} // namespace pelmar
