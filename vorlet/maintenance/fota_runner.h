// Runs a firmware upgrade session on its own UDP socket and a Qt timer,
// without windows: the upgrade dialog and vorlet-cli both drive it.
#pragma once

#include "common/clock.h"
#include "vorlet/maintenance/fota_session.h"

#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>
#include <utility>

class QUdpSocket;

namespace vorlet {

class FotaRunner : public QObject
{
    Q_OBJECT
public:
    // sink receives the session's effects; sendDatagram is handled here.
    FotaRunner(Mac mac, const std::string &versionText, FotaSink &sink, const kyvo::Clock *clock = nullptr,
               QObject *parent = nullptr);
    ~FotaRunner() override;

    // Binds the upgrade socket (empty or "0.0.0.0": any address); false when
    // the address cannot be bound (the socket is then bound to any address).
    bool open(const QString &localAddress);
    // Only this device's answers are taken: from its address, and after the
    // first one only from the port that one came from. A broadcast address
    // takes the first answering host instead. Each start
    // takes the peer again.
    void setDevice(const QHostAddress &address, quint16 port);

    void start(FirmwareFile image, bool factoryReset);
    void poll();
    const FotaSession &session() const { return m_session; }
    quint16 localPort() const;

private:
    class Forwarder;
    void readAnswers();
    bool fromDevice(const QHostAddress &sender, quint16 senderPort);
    void arm();

    std::unique_ptr<kyvo::SteadyClock> m_ownClock;
    const kyvo::Clock *m_clock;
    std::unique_ptr<Forwarder> m_forwarder;
    FotaSession m_session;
    QUdpSocket *m_socket;
    QHostAddress m_device;
    quint16 m_port = 1111;
    std::optional<std::pair<QHostAddress, quint16>> m_answering; // the peer of the first answer
    QTimer m_timer;
};

} // namespace vorlet
