// Runs the command session for the main window: builds each command's
// message for the selected record, sends it through the gateway core by the
// destination rule, and keeps timer 3 and the waits on a Qt timer.
#pragma once

#include "vorlet/core/gateway_core.h"
#include "vorlet/ui/command_session.h"
#include "vorlet/ui/device_commands.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <utility>

namespace vorlet {

struct ParameterRecord;

class CommandRunner : public QObject, private CommandEffects
{
    Q_OBJECT
public:
    struct Options
    {
        const kyvo::Clock *clock = nullptr;   // monotonic; a steady clock when null
        std::function<QDateTime()> localTime; // the PC's local time; the current time when empty
        // Many runners share the endpoint's paced sender (a batch): a
        // command's time-out counts from when its message has left.
        bool timeoutFromLeaving = false;
    };
    CommandRunner(GatewayCore &core, Options options, QObject *parent = nullptr);
    ~CommandRunner() override;

    // The record must be collected from the controls first (save, debug).
    void save(const ParameterRecord &record);
    void restart(const ParameterRecord &record);
    void factoryReset(const ParameterRecord &record, bool deep);
    // On or off by the record's debug flag (offset 4530).
    void setDebugOutput(const ParameterRecord &record);
    void setClock(const ParameterRecord &record);
    // The query that asks the device to test its internet connection; its
    // answer arrives as GatewayCore::pingAnswer.
    void pingTest(const ParameterRecord &record);

    // Answers 0x84, 0x85, 0x86 (GatewayCore::commandResult).
    void commandResult(int code, const QByteArray &body);

    // Runs what is due now; tests on a manual clock call it after advancing.
    void poll();

    const CommandSession &session() const { return m_session; }
    // A message of this runner waits in the endpoint's queue.
    bool messageLeaving() const { return m_leaving.has_value(); }
    bool writeAcknowledged() const { return m_session.writeAcknowledged(); }
    void clearWriteAcknowledgement() { m_session.clearWriteAcknowledgement(); }

    static DeviceTime deviceTime(const QDateTime &local);

Q_SIGNALS:
    void statusText(const char *chinese);
    void buttonsChanged(vorlet::CommandEffects::Buttons buttons);
    void generated();
    // The device with this MAC confirmed the clock set to this time.
    void clockConfirmed(const vorlet::Mac &mac, const vorlet::DeviceTime &time);
    // Every message handed to the endpoint, with its destination.
    void messageSent(const QByteArray &message, quint32 address, quint16 port);

private:
    void sendMessage(const kyvo::Bytes &message, const kyvo::Ipv4Endpoint &to) override;
    void sendComposed(Compose compose, const kyvo::Ipv4Endpoint &to) override;
    void showStatus(const char *chinese) override { Q_EMIT statusText(chinese); }
    void setButtons(Buttons buttons) override { Q_EMIT buttonsChanged(buttons); }
    void showGenerated() override { Q_EMIT generated(); }
    kyvo::Millis now() const { return m_clock->now(); }
    void arm();

    GatewayCore &m_core;
    std::unique_ptr<kyvo::SteadyClock> m_ownClock;
    const kyvo::Clock *m_clock;
    std::function<QDateTime()> m_localTime;
    CommandSession m_session;
    QTimer m_timer;
    bool m_timeoutFromLeaving;
    std::optional<quint64> m_leaving; // the token of the last message sent, until it has left
    std::set<quint64> m_composing;    // tokens of composed messages not yet reported
    Mac m_composedFor{};              // the device of the last composed operation: its adapter sends it
    std::optional<std::pair<Mac, DeviceTime>> m_sentClock; // the last clock message sent
};

} // namespace vorlet
