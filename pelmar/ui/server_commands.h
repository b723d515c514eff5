// The main window's saves and device commands without windows: builds each
// write path's plan for a device of the table, runs the save session on a
// Qt timer and sends through the core by the destination rule. The window
// takes its controls' values over into the entry before it calls a save.
#pragma once

#include "pelmar/core/server_core.h"
#include "pelmar/ui/save_session.h"

#include <QObject>
#include <QTimer>

#include <memory>

namespace pelmar {

class ServerCommands : public QObject, private SaveEffects
{
    Q_OBJECT
public:
    struct Options
    {
        const kyvo::Clock *clock = nullptr; // the session's time; a steady clock when null
    };

    ServerCommands(ServerCore &core, Options options, QObject *parent = nullptr);
    ~ServerCommands() override;

    // False, and nothing done, for an index that is not a present device.
    bool saveDevice(std::size_t index);
    // Item by item for short-frame devices (hostLengths: the typed host
    // texts' lengths), else the whole record as a device save.
    bool savePorts(std::size_t index, const HostLengths &hostLengths);
    bool savePorts(std::size_t index)
    {
        return index < DeviceTable::kSlots && savePorts(index, storedHostLengths(m_core.devices().at(index)));
    }
    // One-click configuration's saves: the device save, and 600 ms after
    // its last datagram left, the port save.
    bool saveDeviceThenPorts(std::size_t index, const HostLengths &hostLengths);
    bool restart(std::size_t index);
    bool factoryReset(std::size_t index);
    // 'W' 0x16 to the device's own address (not the broadcast address), port 1111.
    bool enterUpgrade(std::size_t index);

    bool buttonEnabled(SaveButton button) const { return m_session.buttonEnabled(button); }
    const SaveSession &session() const { return m_session; }

    // Runs what is due now; tests on a manual clock call it after advancing.
    void poll();

Q_SIGNALS:
    void saveButtonChanged(pelmar::SaveButton button, bool enabled);
    void statusText(int pane, const QString &text);
    void invalidHostReached(int port); // 0-based: "无效的网址！"
    // Every datagram handed to the main socket, with its destination.
    void datagramSent(const QByteArray &datagram, const QString &destination, quint16 port);
    // The answers of the device of the latest save (others are not this save's).
    void saveAccepted();
    void saveRefused();

private:
    void sendDatagram(const Bytes &datagram, const std::string &destination, std::uint16_t port) override;
    void setSaveButton(SaveButton button, bool enabled) override
    {
        Q_EMIT saveButtonChanged(button, enabled);
    }
    void invalidHost(std::size_t port) override { Q_EMIT invalidHostReached(int(port)); }
    bool savePortsAfter(std::size_t index, const HostLengths &hostLengths, Millis pause);
    bool present(std::size_t index) const;
    SaveSession::Target replyTarget(std::size_t index) const;
    void expectAnswersFrom(std::size_t index);
    bool fromSaveDevice(const QString &address, quint16 port) const;
    bool deviceCommand(std::size_t index, std::uint8_t code);
    void showSending();
    kyvo::Millis now() const { return m_clock->now(); }
    void arm();

    ServerCore &m_core;
    std::unique_ptr<kyvo::SteadyClock> m_ownClock;
    const kyvo::Clock *m_clock;
    SaveSession m_session;
    QTimer m_timer;
    // Where the latest save's device answers from: its address and reply port.
    std::string m_answerAddress;
    quint16 m_answerPort = 0;
};

} // namespace pelmar
