// Saves and device commands on the core's main socket.
#include "pelmar/ui/server_commands.h"

namespace pelmar {

ServerCommands::ServerCommands(ServerCore &core, Options options, QObject *parent)
    : QObject(parent), m_core(core), m_clock(options.clock), m_session(*this), m_timer(this)
{
    if (!m_clock) {
        m_ownClock = std::make_unique<kyvo::SteadyClock>();
        m_clock = m_ownClock.get();
    }
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ServerCommands::poll);
    connect(&m_core, &ServerCore::writeAccepted, this, [this](const QString &address, quint16 port) {
        if (!fromSaveDevice(address, port)) return;
        m_session.writeAccepted();
        arm();
        Q_EMIT saveAccepted();
    });
    connect(&m_core, &ServerCore::writeRefused, this, [this](const QString &address, quint16 port) {
        if (fromSaveDevice(address, port)) Q_EMIT saveRefused();
    });
}

ServerCommands::~ServerCommands() = default;

bool ServerCommands::present(std::size_t index) const
{
    return index < DeviceTable::kSlots && m_core.devices().at(index).present;
}

SaveSession::Target ServerCommands::replyTarget(std::size_t index) const
{
    return {m_core.destinationFor(index).toStdString(), m_core.devices().at(index).replyPort};
}

void ServerCommands::expectAnswersFrom(std::size_t index)
{
    const DeviceEntry &e = m_core.devices().at(index);
    m_answerAddress = e.addressText;
    m_answerPort = e.replyPort;
}

bool ServerCommands::fromSaveDevice(const QString &address, quint16 port) const
{
    return port == m_answerPort && !m_answerAddress.empty() && address.toStdString() == m_answerAddress;
}

void ServerCommands::showSending()
{
    Q_EMIT statusText(ServerCore::SavePane, m_core.language().text(slot::kSending));
}

bool ServerCommands::saveDevice(std::size_t index)
{
    if (!present(index)) return false;
    expectAnswersFrom(index);
    showSending();
    m_session.saveDevice(deviceSavePlan(m_core.devices().at(index)), replyTarget(index), now());
    arm();
    return true;
}

bool ServerCommands::savePorts(std::size_t index, const HostLengths &hostLengths)
{
    return savePortsAfter(index, hostLengths, Millis{0});
}

bool ServerCommands::savePortsAfter(std::size_t index, const HostLengths &hostLengths, Millis pause)
{
    if (!present(index)) return false;
    const DeviceEntry &e = m_core.devices().at(index);
    const bool wholeRecord = portSaveWritesRecord(e);
    SavePlan plan = wholeRecord ? deviceSavePlan(e) : portItemsPlan(e, hostLengths);
    if (!plan.steps.empty()) plan.steps.front().delay += pause;
    expectAnswersFrom(index);
    showSending();
    m_session.savePorts(std::move(plan), replyTarget(index), wholeRecord, now());
    arm();
    return true;
}

bool ServerCommands::saveDeviceThenPorts(std::size_t index, const HostLengths &hostLengths)
{
    // The session runs one save after the other, so the pause counts from
    // the device save's last datagram.
    return saveDevice(index) && savePortsAfter(index, hostLengths, kOneClickPause);
}

bool ServerCommands::deviceCommand(std::size_t index, std::uint8_t code)
{
    if (!present(index)) return false;
    const DeviceEntry &e = m_core.devices().at(index);
    // Entering the upgrade goes to the device itself, the others by the destination rule.
    const QString destination =
        code == code::kEnterUpgrade ? QString::fromStdString(e.addressText) : m_core.destinationFor(index);
    m_session.command(buildDeviceCommand(code, e.macTail),
                      {destination.toStdString(), m_core.options().devicePort}, now());
    arm();
    return true;
}

bool ServerCommands::restart(std::size_t index)
{
    return deviceCommand(index, code::kRestart);
}
bool ServerCommands::factoryReset(std::size_t index)
{
    return deviceCommand(index, code::kFactoryReset);
}
bool ServerCommands::enterUpgrade(std::size_t index)
{
    return deviceCommand(index, code::kEnterUpgrade);
}

void ServerCommands::sendDatagram(const Bytes &datagram, const std::string &destination, std::uint16_t port)
{
    const QString to = QString::fromStdString(destination);
    m_core.sendCommand(datagram, to, port);
    Q_EMIT datagramSent(
        QByteArray(reinterpret_cast<const char *>(datagram.data()), qsizetype(datagram.size())), to, port);
}

void ServerCommands::poll()
{
    m_session.run(now());
    arm();
}

void ServerCommands::arm()
{
    const auto next = m_session.nextDeadline();
    if (!next) {
        m_timer.stop();
        return;
    }
    const auto wait = std::max<kyvo::Millis::rep>(0, (*next - now()).count());
    m_timer.start(int(std::min<kyvo::Millis::rep>(wait, 1 << 30)));
}

} // namespace pelmar
