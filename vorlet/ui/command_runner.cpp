// Command runner on a Qt timer.
#include "vorlet/ui/command_runner.h"

#include "vorlet/record/parameter_record.h"
#include "vorlet/record/save_request.h"
#include "vorlet/ui/device_commands.h"

namespace vorlet {

CommandRunner::CommandRunner(GatewayCore &core, Options options, QObject *parent)
    : QObject(parent), m_core(core), m_clock(options.clock), m_localTime(std::move(options.localTime)),
      m_session(*this), m_timer(this), m_timeoutFromLeaving(options.timeoutFromLeaving)
{
    if (!m_clock) {
        m_ownClock = std::make_unique<kyvo::SteadyClock>();
        m_clock = m_ownClock.get();
    }
    if (!m_localTime) m_localTime = [] { return QDateTime::currentDateTime(); };
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CommandRunner::poll);
    connect(&m_core, &GatewayCore::sent, this, [this](quint64 token) {
        if (token != m_leaving) return;
        m_leaving.reset();
        m_session.requestLeft(now());
        arm();
    });
    connect(&m_core, &GatewayCore::composed, this,
            [this](quint64 token, const QByteArray &message, quint32 address, quint16 port) {
                if (m_composing.erase(token)) Q_EMIT messageSent(message, address, port);
            });
}

CommandRunner::~CommandRunner() = default;

void CommandRunner::save(const ParameterRecord &record)
{
    m_session.save(buildSaveRequest(record, m_core.scope()), m_core.destinationFor(record), now());
    arm();
}

void CommandRunner::restart(const ParameterRecord &record)
{
    m_session.deviceCommand(PendingOperation::Restart, restartMessage(m_core.scope(), recordMac(record.mac)),
                            m_core.destinationFor(record), now());
    arm();
}

void CommandRunner::factoryReset(const ParameterRecord &record, bool deep)
{
    m_session.deviceCommand(deep ? PendingOperation::DeepFactoryReset : PendingOperation::FactoryReset,
                            factoryResetMessage(m_core.scope(), recordMac(record.mac), deep),
                            m_core.destinationFor(record), now());
    arm();
}

void CommandRunner::setDebugOutput(const ParameterRecord &record)
{
    const bool on = record.debugOutput != 0;
    const std::uint8_t scope = m_core.scope();
    const Mac mac = recordMac(record.mac);
    m_composedFor = mac;
    m_session.debugOutput(
        on,
        [scope, mac, on](std::uint32_t local) {
            return debugMessage(scope, mac, on, debugAddressText(scope, local));
        },
        m_core.destinationFor(record), now());
    arm();
}

void CommandRunner::setClock(const ParameterRecord &record)
{
    const Mac mac = recordMac(record.mac);
    const std::uint8_t scope = m_core.scope();
    m_composedFor = mac;
    m_session.setClock(
        [this, mac, scope] {
            m_sentClock = {mac, deviceTime(m_localTime())};
            return clockMessage(scope, mac, m_sentClock->second);
        },
        m_core.destinationFor(record), now());
    arm();
}

void CommandRunner::pingTest(const ParameterRecord &record)
{
    sendMessage(pingMessage(m_core.scope(), recordMac(record.mac)), m_core.destinationFor(record));
}

void CommandRunner::commandResult(int code, const QByteArray &body)
{
    const bool clockSet = m_session.pending() == PendingOperation::SetClock && m_sentClock;
    m_session.commandResult(
        std::uint8_t(code),
        kyvo::ByteView(reinterpret_cast<const std::uint8_t *>(body.constData()), std::size_t(body.size())));
    arm();
    if (clockSet) Q_EMIT clockConfirmed(m_sentClock->first, m_sentClock->second);
}

void CommandRunner::poll()
{
    m_session.run(now());
    arm();
}

void CommandRunner::arm()
{
    const auto deadline = m_session.nextDeadline();
    if (!deadline) {
        m_timer.stop();
        return;
    }
    const auto wait = std::max<kyvo::Millis::rep>(0, (*deadline - now()).count());
    m_timer.start(int(std::min<kyvo::Millis::rep>(wait, 1 << 30)));
}

void CommandRunner::sendMessage(const kyvo::Bytes &message, const kyvo::Ipv4Endpoint &to)
{
    const quint64 token = m_core.sendMessage(message, to);
    if (m_timeoutFromLeaving) {
        m_leaving = token;
        m_session.requestQueued();
    }
    Q_EMIT messageSent(QByteArray(reinterpret_cast<const char *>(message.data()), qsizetype(message.size())),
                       to.address, to.port);
}

void CommandRunner::sendComposed(Compose compose, const kyvo::Ipv4Endpoint &to)
{
    m_composing.insert(m_core.endpointFor(m_composedFor).sendComposed(std::move(compose), to));
}

DeviceTime CommandRunner::deviceTime(const QDateTime &local)
{
    const QDate d = local.date();
    const QTime t = local.time();
    return {d.year() - 1900, d.month() - 1, d.day(), t.hour(), t.minute(), t.second(), d.dayOfWeek() % 7};
}

} // namespace vorlet
