// The label print agent on this PC (UDP) and the cloud enrolment server
// (TCP): both run on the event loop and never hold up the window.
#pragma once

#include "vorlet/maintenance/label_codec.h"

#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <memory>

class QTcpSocket;
class QUdpSocket;

namespace vorlet::labels {

inline constexpr quint16 kAgentPort = 12345;
inline constexpr quint16 kEnrolPort = 8081;

class PrintAgent : public QObject
{
    Q_OBJECT
public:
    static constexpr std::size_t kAnswerLimit = 5;

    explicit PrintAgent(quint16 port = kAgentPort, QObject *parent = nullptr);
    ~PrintAgent() override;

    // Sends "test"; answered() follows when the agent answers within `wait`,
    // silent() otherwise. Only datagrams from the agent's own port count.
    void probe(kyvo::Millis wait = kyvo::Millis{500});
    bool answered() const { return m_answered; }
    // The end of the probe's wait, as its timer runs it.
    void endWait();
    // Passes one datagram to the printer; the agent reports nothing back.
    void send(const Bytes &datagram);

Q_SIGNALS:
    void agentAnswered();
    void agentSilent();

private:
    void readAnswers();

    quint16 m_port;
    QUdpSocket *m_socket;
    QTimer m_wait;
    bool m_listening = false;
    bool m_answered = false;
};

class CloudEnroller : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QHostAddress server; // null: no server, every enrolment fails at once
        quint16 port = kEnrolPort;
        EnrolTimeouts timeouts;
        const kyvo::Clock *clock = nullptr; // a steady clock when null
    };

    explicit CloudEnroller(Options options, QObject *parent = nullptr);
    ~CloudEnroller() override;

    // Starts one enrolment; finished() follows, also for a missing server.
    void enrol(const std::array<std::uint8_t, 6> &mac);
    bool busy() const;
    // Runs what is due on the clock (tests on a manual clock call it).
    void poll();

Q_SIGNALS:
    void finished(vorlet::labels::EnrolResult result);

private:
    void arm();
    void settle();

    Options m_options;
    std::unique_ptr<kyvo::SteadyClock> m_ownClock;
    EnrolSession m_session;
    std::array<std::uint8_t, 6> m_mac{};
    QTcpSocket *m_socket = nullptr;
    QTimer m_timer;
};

} // namespace vorlet::labels
