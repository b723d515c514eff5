// Simulated wire with pacing and fault knobs.
#include "devsim/core/sim_network.h"

#include <QNetworkDatagram>
#include <QVariant>

#include <cstring>

#include <set>

#ifdef Q_OS_LINUX
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace devsim {

class SimNetwork::ReplyOutbox final : public Outbox
{
public:
    ReplyOutbox(SimNetwork &net, SimDevice &device, qint64 baseNs) : m_net(net), m_device(device), m_baseNs(baseNs) {}
    void send(Bytes datagram, kyvo::Ipv4Endpoint to, std::uint16_t fromPort, int afterMs) override
    {
        const Knobs &k = m_device.knobs;
        const qint64 at = m_baseNs + qint64(afterMs) * 1000000 + qint64(m_count++) * k.fragmentGapMs * 1000000;
        m_net.enqueue(Pending{&m_device, std::move(datagram), to, fromPort}, at);
    }

private:
    SimNetwork &m_net;
    SimDevice &m_device;
    qint64 m_baseNs;
    int m_count = 0;
};

SimNetwork::SimNetwork(Options options, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_pumpTimer(this), m_random(m_options.seed)
{
    m_clock.start();
    m_pumpTimer.setSingleShot(true);
    m_pumpTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pumpTimer, &QTimer::timeout, this, &SimNetwork::pump);
}

SimNetwork::~SimNetwork() = default;

SimDevice &SimNetwork::add(std::unique_ptr<SimDevice> device)
{
    m_devices.push_back(std::move(device));
    return *m_devices.back();
}

SimDevice *SimNetwork::findByMac(const Mac &mac)
{
    for (auto &d : m_devices)
        if (d->mac() == mac) return d.get();
    return nullptr;
}

SimDevice *SimNetwork::findByAddress(std::uint32_t address)
{
    for (auto &d : m_devices)
        if (d->address() == address) return d.get();
    return nullptr;
}

std::uint16_t SimNetwork::boundPort(std::uint16_t devicePort) const
{
    const auto it = m_options.portMap.find(devicePort);
    return it == m_options.portMap.end() ? devicePort : it->second;
}

void SimNetwork::bindSocket(QUdpSocket *socket, const QHostAddress &address, std::uint16_t port, QString *error)
{
    if (!socket->bind(address, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint) && error &&
        error->isEmpty())
        *error = QStringLiteral("cannot bind %1:%2: %3").arg(address.toString()).arg(port).arg(socket->errorString());
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(4 * 1024 * 1024));
}

bool SimNetwork::start(QString *error)
{
    QString failure;
    std::set<std::uint16_t> ports;
    for (auto &d : m_devices)
        for (std::uint16_t p : d->ports()) ports.insert(p);
    for (std::uint16_t port : ports) {
        auto *shared = new QUdpSocket(this);
        bindSocket(shared, m_options.bindAny ? QHostAddress(QHostAddress::AnyIPv4) : m_options.hubAddress,
                   boundPort(port), &failure);
        connect(shared, &QUdpSocket::readyRead, this, [this, shared, port] { readSocket(shared, nullptr, port); });
        m_shared[port] = shared;
    }
    if (!m_options.bindAny) {
        for (auto &d : m_devices) {
            if (QHostAddress(d->address()) == m_options.hubAddress) continue;
            for (std::uint16_t port : d->ports()) {
                auto *own = new QUdpSocket(this);
                bindSocket(own, QHostAddress(d->address()), boundPort(port), &failure);
                SimDevice *device = d.get();
                connect(own, &QUdpSocket::readyRead, this,
                        [this, own, device, port] { readSocket(own, device, port); });
                m_own[{device, port}] = own;
            }
        }
    }
    if (error) *error = failure;
    return failure.isEmpty();
}

void SimNetwork::readSocket(QUdpSocket *socket, SimDevice *only, std::uint16_t devicePort)
{
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket->receiveDatagram(128 * 1024);
        if (!datagram.isValid()) continue;
        const QByteArray data = datagram.data();
        bool mapped = false;
        Incoming in;
        in.data = ByteView(reinterpret_cast<const std::uint8_t *>(data.constData()), std::size_t(data.size()));
        in.from = {datagram.senderAddress().toIPv4Address(&mapped), std::uint16_t(datagram.senderPort())};
        in.localPort = devicePort;
        if (only) {
            deliver(*only, in);
            continue;
        }
        std::uint32_t destination = datagram.destinationAddress().toIPv4Address();
        const bool toAll = !m_options.bindAny || destination == 0xFFFFFFFFu || (destination & 0xFF) == 0xFF ||
                           destination == 0;
        in.broadcast = toAll;
        if (toAll) {
            for (auto &d : m_devices) {
                const auto ports = d->ports();
                if (std::find(ports.begin(), ports.end(), devicePort) != ports.end()) deliver(*d, in);
            }
        } else if (SimDevice *d = findByAddress(destination)) {
            deliver(*d, in);
        }
    }
}

void SimNetwork::deliver(SimDevice &device, const Incoming &in)
{
    ++device.counters[QStringLiteral("datagrams-in")];
    device.lastSender = in.from;
    if (device.knobs.silent) {
        // Silent devices still take in what they are sent (a restart still
        // restarts); they only never answer.
        struct Sink final : Outbox {
            void send(Bytes, kyvo::Ipv4Endpoint, std::uint16_t, int) override {}
        } sink;
        device.receive(in, sink);
        return;
    }
    const Knobs &k = device.knobs;
    qint64 delayNs = qint64(k.delayMs) * 1000000;
    if (k.jitterMs > 0) delayNs += std::uniform_int_distribution<qint64>(0, qint64(k.jitterMs) * 1000000)(m_random);
    ReplyOutbox out(*this, device, m_clock.nsecsElapsed() + delayNs);
    device.receive(in, out);
}

void SimNetwork::sendUnasked(SimDevice &device, Bytes datagram, kyvo::Ipv4Endpoint to, std::uint16_t fromPort)
{
    if (device.knobs.silent) return;
    enqueue(Pending{&device, std::move(datagram), to, fromPort}, m_clock.nsecsElapsed());
}

void SimNetwork::enqueue(Pending pending, qint64 earliestNs)
{
    Knobs &k = pending.device->knobs;
    const quint64 n = ++m_sentByDevice[pending.device];
    std::uniform_real_distribution<double> chance(0, 1);
    if ((k.dropEvery > 0 && n % quint64(k.dropEvery) == 0) || (k.dropRate > 0 && chance(m_random) < k.dropRate)) {
        ++pending.device->counters[QStringLiteral("dropped")];
        return;
    }
    if (k.corruptRate > 0 && !pending.datagram.empty() && chance(m_random) < k.corruptRate) {
        const auto at = std::uniform_int_distribution<std::size_t>(0, pending.datagram.size() - 1)(m_random);
        pending.datagram[at] ^= std::uint8_t(1u << std::uniform_int_distribution<int>(0, 7)(m_random));
        ++pending.device->counters[QStringLiteral("corrupted")];
    }
    if (k.answerBroadcast && m_options.bindAny) pending.to.address = m_options.answerBroadcast;
    const bool twice = k.duplicateRate > 0 && chance(m_random) < k.duplicateRate;
    if (twice) m_queue.emplace(earliestNs, pending);
    m_queue.emplace(earliestNs, std::move(pending));
    pump();
}

void SimNetwork::pump()
{
    constexpr qint64 kSlackNs = 1000000; // sends that are due within 1 ms leave now
    const qint64 now = m_clock.nsecsElapsed();
    while (!m_queue.empty()) {
        auto head = m_queue.begin();
        const qint64 sendAt = std::max(head->first, m_wireFreeAtNs);
        if (sendAt > now + kSlackNs) {
            m_pumpTimer.start(int(std::max<qint64>(1, (sendAt - now) / 1000000)));
            return;
        }
        const Pending p = std::move(head->second);
        m_queue.erase(head);
        transmit(p);
        if (m_options.rateBitsPerSecond > 0) {
            // Ethernet, IP and UDP headers, preamble and gap: 66 bytes a frame.
            const double bits = double(p.datagram.size() + 66) * 8;
            m_wireFreeAtNs = sendAt + qint64(bits * 1e9 / m_options.rateBitsPerSecond);
        }
    }
}

QUdpSocket *SimNetwork::socketFor(SimDevice *device, std::uint16_t port)
{
    if (auto it = m_own.find({device, port}); it != m_own.end()) return it->second;
    if (auto it = m_shared.find(port); it != m_shared.end()) return it->second;
    return nullptr;
}

namespace {
// Sends from the shared socket with the device's own source address. The
// source goes in IP_PKTINFO's ipi_spec_dst, which is what the system reads
// on sending.
bool sendFrom(QUdpSocket *socket, std::uint32_t source, const kyvo::Ipv4Endpoint &to, const Bytes &data)
{
#ifdef Q_OS_LINUX
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(to.port);
    address.sin_addr.s_addr = htonl(to.address);
    iovec iov{const_cast<std::uint8_t *>(data.data()), data.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg{};
    msg.msg_name = &address;
    msg.msg_namelen = sizeof address;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr *c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst.s_addr = htonl(source);
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    return ::sendmsg(int(socket->socketDescriptor()), &msg, MSG_NOSIGNAL) >= 0;
#else
    Q_UNUSED(socket); Q_UNUSED(source); Q_UNUSED(to); Q_UNUSED(data);
    return false;
#endif
}
} // namespace

void SimNetwork::transmit(const Pending &p)
{
    QUdpSocket *socket = socketFor(p.device, p.fromPort);
    if (!socket) return;
    if (m_options.bindAny && sendFrom(socket, p.device->address(), p.to, p.datagram)) {
        ++m_datagramsSent;
        m_bytesSent += p.datagram.size();
        ++p.device->counters[QStringLiteral("datagrams-out")];
        return;
    }
    QNetworkDatagram datagram(QByteArray(reinterpret_cast<const char *>(p.datagram.data()), qsizetype(p.datagram.size())),
                              QHostAddress(p.to.address), p.to.port);
    if (m_options.bindAny) datagram.setSender(QHostAddress(p.device->address()), boundPort(p.fromPort));
    socket->writeDatagram(datagram);
    ++m_datagramsSent;
    m_bytesSent += p.datagram.size();
    ++p.device->counters[QStringLiteral("datagrams-out")];
}

} // namespace devsim
