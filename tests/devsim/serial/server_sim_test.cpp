// The simulated serial servers from the device's side, over literal bytes:
// what they answer, what they take from writes, and their fault knobs.
#include "devsim/serial/server_sim.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace devsim;
using testsupport::hex;
using testsupport::toHex;

namespace {

struct Capture final : Outbox {
    std::vector<Bytes> sent;
    void send(Bytes datagram, kyvo::Ipv4Endpoint, std::uint16_t, int) override { sent.push_back(std::move(datagram)); }
};

// A request frame as the tool sends it ("H:", direction, code, payload, tail, sum, "E.").
Bytes request(char direction, std::uint8_t code, const Bytes &payload, const Mac &mac, bool zeroTail = false)
{
    Bytes f(4 + payload.size(), 0);
    f[0] = 'H';
    f[1] = ':';
    f[2] = std::uint8_t(direction);
    f[3] = code;
    std::copy(payload.begin(), payload.end(), f.begin() + 4);
    for (int i = 3; i < 6; ++i) f.push_back(zeroTail ? 0 : mac[std::size_t(i)]);
    unsigned sum = 0;
    for (std::uint8_t b : f) sum += b;
    f.push_back(std::uint8_t(sum));
    f.push_back('E');
    f.push_back('.');
    return f;
}

std::vector<Bytes> deliver(ServerSim &sim, const Bytes &datagram)
{
    Capture out;
    Incoming in;
    in.data = datagram;
    in.from = {0x7F000001, 4601};
    in.localPort = 1111;
    sim.receive(in, out);
    return out.sent;
}

ServerSim server(ServerFamily family, int ports, bool registers = false, bool cloud2 = false)
{
    ServerProfile p;
    p.family = family;
    p.ports = ports;
    p.registers = registers;
    p.secondPortCloud = cloud2;
    p.address = 0x0A4D0107;
    p.mac = Mac{0x00, 0x4B, 0x5A, 0x4D, 0x01, 0x07};
    p.kind = 1;
    return ServerSim(p);
}

const Bytes kSearch = hex("48 3a 52 01 01 01 01 01 aa aa aa aa aa aa aa aa aa aa aa aa 00 00 00 d1 45 2e");

std::string queryHex(const ServerSim &sim, const QString &path)
{
    const auto v = sim.query(path);
    return v ? toHex(kyvo::ByteView(reinterpret_cast<const std::uint8_t *>(v->constData()), std::size_t(v->size())))
             : std::string("none");
}

} // namespace

TEST(ServerSim, ShortFrameServerAnswersTheSearchWithItsDiscoveryReply)
{
    ServerSim sim = server(ServerFamily::Short, 4);
    const auto replies = deliver(sim, kSearch);
    ASSERT_EQ(replies.size(), 1u);
    const Bytes &r = replies[0];
    ASSERT_EQ(r.size(), 26u);
    EXPECT_EQ(toHex(kyvo::ByteView(r).first(4)), "48 3a 52 50");
    EXPECT_EQ(std::string(r.begin() + 4, r.begin() + 12), "V043S410");
    EXPECT_EQ(r[12], 1);
    EXPECT_EQ(toHex(kyvo::ByteView(r).subspan(20, 3)), "4d 01 07");
    EXPECT_EQ(sim.counters[QStringLiteral("searches")], 1);
    Bytes bad = kSearch;
    bad[23] ^= 1;
    EXPECT_TRUE(deliver(sim, bad).empty());
    EXPECT_EQ(sim.counters[QStringLiteral("bad-frames")], 1);
}

TEST(ServerSim, RecordServersAnswerWithTheirRecordReply)
{
    ServerSim wifi = server(ServerFamily::Wifi362, 2, true);
    const Bytes r = deliver(wifi, kSearch).at(0);
    ASSERT_EQ(r.size(), 372u);
    EXPECT_EQ(r[3], 'P');
    EXPECT_EQ(toHex(kyvo::ByteView(r).subspan(4 + 114, 6)), "00 4b 5a 4d 01 07");
    EXPECT_EQ(r[4 + 294], 0xC9); // -55 dBm
    EXPECT_EQ(r[4 + 303], 0x80);
    EXPECT_EQ(toHex(kyvo::ByteView(r).subspan(4 + 160, 4)), "41 1f a1 0f"); // port 1: 8001, 4001 LE
    EXPECT_EQ(r[r.size() - 3], std::uint8_t([&] { unsigned s = 0; for (std::size_t i = 0; i + 3 < r.size(); ++i) s += r[i]; return s; }()));
    const std::pair<ServerSim, std::size_t> cases[] = {
        {server(ServerFamily::Wifi292, 1), 302},     {server(ServerFamily::Multi1284, 8), 684},
        {server(ServerFamily::Multi1284, 16), 1294}, {server(ServerFamily::Multi1284, 24), 1294},
        {server(ServerFamily::Multi2326, 8), 828},   {server(ServerFamily::Multi2326, 16), 1582},
        {server(ServerFamily::Multi2326, 24), 2336}, {server(ServerFamily::Native, 1), 250},
        {server(ServerFamily::Native, 2), 270},      {server(ServerFamily::Native, 2, true), 310},
        {server(ServerFamily::Native, 2, true, true), 390}, {server(ServerFamily::Native, 4), 470},
        {server(ServerFamily::Native, 4, true), 510}, {server(ServerFamily::Native, 6), 730},
        {server(ServerFamily::Native, 6, true), 760}};
    for (auto [sim, length] : cases) {
        const Bytes reply = deliver(sim, kSearch).at(0);
        EXPECT_EQ(reply.size(), length) << sim.kind().toStdString();
        EXPECT_EQ(reply[3], sim.profile().family == ServerFamily::Native ? 0x01 : 'P');
    }
    // A native record's first port: the rate as a number.
    ServerSim native = server(ServerFamily::Native, 2);
    EXPECT_EQ(toHex(kyvo::ByteView(deliver(native, kSearch).at(0)).subspan(4, 4)), "00 c2 01 00");
}

TEST(ServerSim, ItemReadsAnswerOnlyForTheirMacTail)
{
    ServerSim sim = server(ServerFamily::Short, 8);
    const Mac mac = sim.mac();
    const auto replies = deliver(sim, request('R', 0x05, Bytes(16, 0xAA), mac));
    ASSERT_EQ(replies.size(), 1u);
    // Port 2: baud 5, parity 3, 8, 1, TCP_CLIENT ... target 8002, local 4002 big-endian.
    EXPECT_EQ(toHex(replies[0]).substr(0, 11), "48 3a 52 54");
    EXPECT_EQ(toHex(kyvo::ByteView(replies[0]).subspan(4, 16)), "05 03 08 01 03 00 02 00 00 1f 42 0f a2 02 01 03");
    Mac other = mac;
    other[5] = 0x99;
    EXPECT_TRUE(deliver(sim, request('R', 0x05, Bytes(16, 0xAA), other)).empty());
    const auto host = deliver(sim, request('R', 0x13, Bytes(16, 0xAA), mac));
    EXPECT_EQ(std::string(host.at(0).begin() + 4, host.at(0).begin() + 20), std::string("xample.net\0\0\0\0\0\0", 16));
    EXPECT_TRUE(deliver(sim, request('R', 0x7E, Bytes(16, 0xAA), mac)).empty()); // no such item
}

TEST(ServerSim, ItemWritesAreAcceptedOrRefusedByTheKnob)
{
    ServerSim sim = server(ServerFamily::Short, 2);
    const Bytes item = hex("c0 a8 01 07 ff ff ff 00 c0 a8 01 01 08 08 08 08");
    auto replies = deliver(sim, request('W', 0x02, item, sim.mac()));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0][3], 0x10);
    EXPECT_EQ(queryHex(sim, QStringLiteral("ip")), "c0 a8 01 07");
    sim.knobs.refuse = true;
    replies = deliver(sim, request('W', 0x02, hex("0a 00 00 01 00 00 00 00 00 00 00 00 00 00 00 00"), sim.mac()));
    EXPECT_EQ(replies.at(0)[3], 0x11);
    EXPECT_EQ(queryHex(sim, QStringLiteral("ip")), "c0 a8 01 07");
    EXPECT_EQ(deliver(sim, request('W', 0x49, Bytes(16, 0x55), sim.mac())).at(0)[3], 0x11);
    EXPECT_EQ(sim.counters[QStringLiteral("commits")], 1);
    // The versions are read-only.
    sim.knobs.refuse = false;
    EXPECT_TRUE(deliver(sim, request('W', 0x06, Bytes(16, 0x41), sim.mac())).empty());
}

TEST(ServerSim, RecordWritesTakeTheFieldsAndASplitWriteIsJoined)
{
    ServerSim sim = server(ServerFamily::Multi2326, 24, true);
    const Bytes answer = deliver(sim, kSearch).at(0);
    Bytes record(answer.begin() + 4, answer.end() - 6);
    const char host[] = "new-host.example";
    std::copy(host, host + 16, record.begin() + 1572 + 68 * 7 + 17); // port 24's host
    record[1572 + 68 * 7 + 33] = 0;
    Bytes frame = request('W', 0x02, record, sim.mac());
    ASSERT_EQ(frame.size(), 2336u);
    frame[0] = 'y';
    EXPECT_TRUE(deliver(sim, Bytes(frame.begin(), frame.begin() + 1399)).empty());
    const auto replies = deliver(sim, Bytes(frame.begin() + 1399, frame.end()));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0][3], 0x10);
    EXPECT_EQ(sim.query(QStringLiteral("port24.host"))->left(17), QByteArray("new-host.example", 17));
    // A record write of the wrong length is refused.
    Bytes shortRecord(818, 0);
    EXPECT_EQ(deliver(sim, request('W', 0x02, Bytes(1000, 0), sim.mac())).at(0)[3], 0x11);
    EXPECT_EQ(deliver(sim, request('W', 0x02, shortRecord, sim.mac())).at(0)[3], 0x10);

    ServerSim native = server(ServerFamily::Native, 4, true);
    EXPECT_EQ(deliver(native, request('W', 0x44, Bytes(300, 0), native.mac())).at(0)[3], 0x11); // two-port form
    Bytes nativeRecord(500, 0);
    nativeRecord[0] = 0x80; // 9600
    nativeRecord[1] = 0x25;
    EXPECT_EQ(deliver(native, request('W', 0x44, nativeRecord, native.mac())).at(0)[3], 0x10);
    EXPECT_EQ(queryHex(native, QStringLiteral("port1.baud")), "05");
}

TEST(ServerSim, RestartAndFactoryResetAreCountedAndResetRestoresTheSettings)
{
    ServerSim sim = server(ServerFamily::Wifi292, 1);
    ASSERT_TRUE(sim.assign(QStringLiteral("user"), QByteArray("changed")));
    EXPECT_FALSE(sim.assign(QStringLiteral("port25.host"), QByteArray("x")));
    EXPECT_FALSE(sim.assign(QStringLiteral("nosuch"), QByteArray("x")));
    EXPECT_TRUE(deliver(sim, request('W', 0x08, Bytes(16, 0x55), sim.mac())).empty());
    EXPECT_EQ(sim.counters[QStringLiteral("restarts")], 1);
    EXPECT_EQ(sim.query(QStringLiteral("user"))->left(7), QByteArray("changed"));
    deliver(sim, request('W', 0x09, Bytes(16, 0x55), sim.mac()));
    EXPECT_EQ(sim.counters[QStringLiteral("resets")], 1);
    EXPECT_EQ(sim.query(QStringLiteral("user"))->left(6), QByteArray("admin\0", 6));
    EXPECT_EQ(queryHex(sim, QStringLiteral("reply-length")), "01 2e");
}

TEST(ServerSpecs, FamiliesAndPortCountsFromTheCommandLine)
{
    SimNetwork net(SimNetwork::Options{});
    std::uint32_t next = 0x7F000002;
    QString error;
    ASSERT_TRUE(addServers(net, QStringLiteral("family=all"), next, &error));
    EXPECT_EQ(net.size(), everyServerVariant().size());
    EXPECT_EQ(net.size(), 20u);
    ASSERT_TRUE(addServers(net, QStringLiteral("count=3,family=short,ports=6,kind=0,firmware=V042"), next, &error));
    auto &s = static_cast<ServerSim &>(net.device(net.size() - 1));
    EXPECT_EQ(s.profile().ports, 6);
    EXPECT_EQ(queryHex(s, QStringLiteral("firmware")), "56 30 34 32");
    EXPECT_EQ(queryHex(s, QStringLiteral("kind")), "00");
    EXPECT_EQ(s.mac(), (Mac{0x00, 0x4B, 0x5A, 0x00, 0x00, 0x18})); // unique tails from the address
    EXPECT_FALSE(addServers(net, QStringLiteral("family=short,ports=5"), next, &error));
    EXPECT_FALSE(addServers(net, QStringLiteral("family=multi2326,ports=4"), next, &error));
    EXPECT_FALSE(addServers(net, QStringLiteral("family=tape"), next, &error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(addServers(net, QStringLiteral("count=40,family=mix"), next, &error));
    EXPECT_EQ(net.size(), 20u + 3 + 40);
}
