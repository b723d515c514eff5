// Simulated devices' debug output on loopback: a gateway after the window's
// debug command, and a serial server after a sub-dialog's debug run.
#include "common/debug_receiver.h"
#include "devsim/core/debug_stream.h"
#include "devsim/gateway/gateway_sim.h"
#include "devsim/serial/server_sim.h"
#include "vorlet/io/monitor/monitor_codec.h"
#include "vorlet/link/link_frame.h"
#include "vorlet/ui/device_commands.h"

#include "tests/support/loopback.h"
#include "tests/support/test_support.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <set>

using namespace testsupport;

namespace {

constexpr devsim::Mac kMac{0x00, 0x4B, 0x59, 0x4D, 0x01, 0x01};

struct Bench
{
    explicit Bench(std::unique_ptr<devsim::SimDevice> device)
    {
        devsim::SimNetwork::Options o;
        o.portMap[1111] = devicePort;
        o.rateBitsPerSecond = 0;
        network = std::make_unique<devsim::SimNetwork>(o);
        sim = &network->add(std::move(device));
        kyvo::DebugReceiver::Options r;
        r.port = 0;
        r.address = QHostAddress(QStringLiteral("127.0.0.1"));
        receiver = std::make_unique<kyvo::DebugReceiver>(r);
        QObject::connect(receiver.get(), &kyvo::DebugReceiver::datagramsArrived,
                         [this](const QList<kyvo::DebugDatagram> &b) { got += b; });
        receiver->start();
        EXPECT_TRUE(waitFor([&] { return receiver->isListening(); }));
        sim->knobs.extra[QStringLiteral("debug-port")] = receiver->localPort();
        sim->knobs.extra[QStringLiteral("debug-rate")] = 400;
        EXPECT_TRUE(network->start());
        stream = std::make_unique<devsim::DebugStream>(*network);
    }
    void send(const kyvo::Bytes &datagram)
    {
        socket.writeDatagram(reinterpret_cast<const char *>(datagram.data()), qint64(datagram.size()),
                             QHostAddress(QStringLiteral("127.0.0.1")), devicePort);
    }

    quint16 devicePort = freeUdpPort();
    std::unique_ptr<devsim::SimNetwork> network;
    devsim::SimDevice *sim = nullptr;
    std::unique_ptr<kyvo::DebugReceiver> receiver;
    std::unique_ptr<devsim::DebugStream> stream;
    QUdpSocket socket;
    QList<kyvo::DebugDatagram> got;
};

} // namespace

TEST(DevsimDebug, AGatewaySendsTaggedTrafficAfterTheDebugCommandUntilSwitchedOff)
{
    devsim::GatewayProfile p;
    p.address = 0x7F000001;
    p.mac = kMac;
    Bench b(std::make_unique<devsim::GatewaySim>(p));
    QCoreApplication::processEvents();
    EXPECT_TRUE(b.got.isEmpty());

    const auto on = vorlet::fragmentMessage(vorlet::debugMessage(0, kMac, true, "127.0.0.1"), {});
    b.send(on.front().datagram);
    ASSERT_TRUE(waitFor([&] { return b.got.size() >= 16; }));
    std::set<vorlet::DebugChannel> channels;
    for (const kyvo::DebugDatagram &d : b.got) {
        const auto bytes = reinterpret_cast<const std::uint8_t *>(d.data.constData());
        channels.insert(vorlet::classifyDebugDatagram({bytes, std::size_t(d.data.size())}).channel);
        EXPECT_EQ(d.sender, 0x7F000001u);
    }
    EXPECT_EQ(channels.size(), 6u); // uart, tcpA, tcpB, mqtt (other), Modbus poll and cache
    EXPECT_TRUE(b.got.front().data.startsWith("uart tx:"));

    b.send(vorlet::fragmentMessage(vorlet::debugMessage(0, kMac, false, "127.0.0.1"), {}).front().datagram);
    ASSERT_TRUE(waitFor([&] { return !b.sim->debug.on; }));
    const quint64 sent = b.network->datagramsSent();
    b.stream->tick(); // a switched-off gateway sends nothing more
    EXPECT_EQ(b.network->datagramsSent(), sent);
}

TEST(DevsimDebug, AServerSendsDebugTextAfterASubDialogsDebugRun)
{
    devsim::ServerProfile p;
    p.family = devsim::ServerFamily::Multi1284;
    p.address = 0x7F000001;
    p.mac = kMac;
    Bench b(std::make_unique<devsim::ServerSim>(p));
    QUdpSocket &s = b.socket;
    ASSERT_TRUE(s.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    kyvo::Bytes run = hex("68 3A 00 04 00 08 00 10 00 04 01 1B 01 01");
    run.insert(run.end(), kMac.begin(), kMac.end());
    run.push_back('E');
    run.push_back('.');
    b.send(run);
    ASSERT_TRUE(waitFor([&] { return s.hasPendingDatagrams(); }));
    EXPECT_TRUE(s.receiveDatagram().data().startsWith("h:"));
    ASSERT_TRUE(waitFor([&] { return b.got.size() >= 2; }));
    EXPECT_TRUE(b.got[0].data.startsWith("mqtt: "));
    EXPECT_TRUE(b.got[1].data.startsWith("modbus cache: "));
}
