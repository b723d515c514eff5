// One-click configuration of one server as a session of its own: the
// imported file's settings onto the server's entry, the device save, 600 ms,
// the port save, and the answers of that server alone. Many run side by side
// on the main socket; time is injected.
#pragma once

#include "pelmar/ui/server_commands.h"

#include <QObject>
#include <QTimer>

#include <array>

namespace pelmar {

class OneClickSave : public QObject
{
    Q_OBJECT
public:
    // A save's answers come within this of its last datagram, or never.
    static constexpr kyvo::Millis kAnswerWait{3000};
    // Once every save has an answer, later answers come within this.
    static constexpr kyvo::Millis kAnswerSettle{300};

    enum class Refusal { None, PortsDiffer, CannotWrite };
    struct Save
    {
        bool started = false;
        int accepted = 0, refused = 0;
        QString refusal; // the status text of the last refusal
    };

    OneClickSave(ServerCore &core, ServerCommands::Options options, QObject *parent = nullptr);
    ~OneClickSave() override;

    // Nothing is sent when the file does not fit the server (PortsDiffer) or
    // the server's record form cannot be written (CannotWrite).
    Refusal start(std::size_t index, const DeviceEntry &imported);
    // Runs what is due now; tests on a manual clock call it after advancing.
    void poll();

    bool running() const { return m_running; }
    bool succeeded() const;
    const Save &save(int which) const { return m_saves[std::size_t(which)]; }
    // The save reported last: the port save once it started, else the device save.
    int lastSave() const { return m_saves[1].started ? 1 : 0; }
    // What a save came to: the refusal, the accepted text, or none when unanswered.
    QString outcomeText(int which) const;
    QString noAnswerText() const;
    // The language's text of a refusal.
    QString refusalText(Refusal refusal) const;

Q_SIGNALS:
    void saveStarted(int which); // 0: the device save, 1: the port save; its first datagram left
    void invalidHost(int port);  // 0-based: "无效的网址！" stopped the port save
    void finished(bool ok);

private:
    void onSent();
    void onAnswer(bool accepted);
    Save &current() { return m_saves[m_sent > m_deviceDatagrams ? 1 : 0]; }
    bool everySaveAnswered() const;
    std::optional<kyvo::Millis> deadline() const;
    void check();
    void arm();

    ServerCore &m_core;
    std::unique_ptr<kyvo::SteadyClock> m_ownClock;
    const kyvo::Clock *m_clock;
    ServerCommands m_commands;
    QTimer m_timer;
    std::array<Save, 2> m_saves;
    std::size_t m_deviceDatagrams = 0, m_sent = 0;
    kyvo::Millis m_lastSend{0}, m_lastAnswer{0};
    bool m_running = false, m_invalidHost = false;
};

// Datagrams a save plan sends (its pauses aside).
std::size_t datagramCount(const SavePlan &plan);

} // namespace pelmar
