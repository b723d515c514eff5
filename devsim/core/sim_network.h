// The simulated wire: the devices' sockets, the routing of datagrams to
// devices, the fault knobs, and an aggregate send rate like a real link.
#pragma once

#include "devsim/core/sim_device.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>

#include <memory>
#include <random>

namespace devsim {

class SimNetwork : public QObject
{
    Q_OBJECT
public:
    struct Options {
        // Inside the lab: one socket per port on every address, receiving
        // broadcasts too; each device answers from its own address.
        bool bindAny = false;
        // Outside the lab (loopback only): datagrams sent to the hub address
        // reach every device, as a broadcast would; each device also has its
        // own socket on its 127.x address.
        QHostAddress hubAddress = QHostAddress(QStringLiteral("127.0.0.1"));
        // Aggregate rate of all answers, bits per second (0: unlimited).
        double rateBitsPerSecond = 100e6;
        std::uint32_t seed = 1;
        // Where answers go when a device answers by broadcast. Devices of the
        // lab have no interface of their own, so the lab names its subnet's
        // broadcast address here.
        std::uint32_t answerBroadcast = kyvo::kBroadcastAddress;
        // Port overrides for tests outside the lab (device port -> port bound).
        std::map<std::uint16_t, std::uint16_t> portMap;
    };

    explicit SimNetwork(Options options, QObject *parent = nullptr);
    ~SimNetwork() override;

    SimDevice &add(std::unique_ptr<SimDevice> device);
    // Binds every socket; the error names what could not be bound.
    bool start(QString *error = nullptr);

    std::size_t size() const { return m_devices.size(); }
    SimDevice &device(std::size_t i) { return *m_devices[i]; }
    SimDevice *findByMac(const Mac &mac);
    SimDevice *findByAddress(std::uint32_t address);
    std::uint16_t boundPort(std::uint16_t devicePort) const;

    // A datagram the device sends of its own accord (not as an answer).
    void sendUnasked(SimDevice &device, Bytes datagram, kyvo::Ipv4Endpoint to, std::uint16_t fromPort);

    quint64 datagramsSent() const { return m_datagramsSent; }
    quint64 bytesSent() const { return m_bytesSent; }

private:
    struct Pending {
        SimDevice *device;
        Bytes datagram;
        kyvo::Ipv4Endpoint to;
        std::uint16_t fromPort;
    };
    class ReplyOutbox;

    void bindSocket(QUdpSocket *socket, const QHostAddress &address, std::uint16_t port, QString *error);
    void readSocket(QUdpSocket *socket, SimDevice *only, std::uint16_t devicePort);
    void deliver(SimDevice &device, const Incoming &in);
    void enqueue(Pending pending, qint64 earliestNs);
    void pump();
    void transmit(const Pending &p);
    QUdpSocket *socketFor(SimDevice *device, std::uint16_t port);

    Options m_options;
    std::vector<std::unique_ptr<SimDevice>> m_devices;
    std::map<std::uint16_t, QUdpSocket *> m_shared;                        // per port
    std::map<std::pair<SimDevice *, std::uint16_t>, QUdpSocket *> m_own;   // per device and port
    std::multimap<qint64, Pending> m_queue;
    QElapsedTimer m_clock;
    qint64 m_wireFreeAtNs = 0;
    QTimer m_pumpTimer;
    std::mt19937 m_random;
    std::map<SimDevice *, quint64> m_sentByDevice;
    quint64 m_datagramsSent = 0;
    quint64 m_bytesSent = 0;
};

} // namespace devsim
