// The gateway core against simulated gateways on loopback: searches, the
// device list, and a save that changes the device.
#include "vorlet/core/gateway_core.h"
#include "vorlet/core/inventory_rows.h"

#include "common/fixed_field.h"
#include "common/gbk_text.h"
#include "devsim/core/sim_host.h"
#include "devsim/gateway/gateway_sim.h"
#include "vorlet/record/save_request.h"
#include "tests/support/loopback.h"
#include "tests/support/test_support.h"

#include <QSignalSpy>

#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

using namespace vorlet;
using testsupport::loopback;
using testsupport::waitFor;

namespace {

devsim::GatewayProfile profile(int last, bool can = false, bool wifi = false, int poll = 3)
{
    devsim::GatewayProfile p;
    p.address = loopback(last);
    p.mac = devsim::Mac{0x00, 0x4B, 0x59, 0x7F, 0x00, std::uint8_t(last)};
    p.canPort = can;
    p.wifi = wifi;
    p.pollEntries = poll;
    p.name = kyvo::toGbk(QStringLiteral("网关%1").arg(last));
    return p;
}

struct Bench {
    quint16 port = testsupport::freeUdpPort();
    std::unique_ptr<devsim::SimHost> sim;
    std::unique_ptr<GatewayCore> core;

    explicit Bench(std::vector<devsim::GatewayProfile> gateways, int hub = 1)
    {
        devsim::SimNetwork::Options o;
        o.hubAddress = QHostAddress(loopback(hub));
        o.portMap[1111] = port;
        o.rateBitsPerSecond = 0;
        sim = std::make_unique<devsim::SimHost>(o);
        for (auto &g : gateways) sim->add(std::make_unique<devsim::GatewaySim>(g));
        QString error;
        EXPECT_TRUE(sim->start(&error)) << error.toStdString();
        GatewayCore::Options c;
        c.broadcastAddress = loopback(hub);
        c.devicePort = port;
        c.searchDelayMs = 50;
        core = std::make_unique<GatewayCore>(c);
        QSignalSpy opened(&core->endpoint(), &GatewayEndpoint::opened);
        core->endpoint().open(QStringLiteral("127.0.0.1"));
        EXPECT_TRUE(waitFor([&] { return opened.count() == 1; }));
    }

    devsim::GatewaySim &device(int i)
    {
        return static_cast<devsim::GatewaySim &>(sim->network().device(std::size_t(i)));
    }
    // Device items are read in the simulator's thread.
    QByteArray item(int device, const char *path)
    {
        return sim->get<QByteArray>([&](devsim::SimNetwork &n) { return *n.device(std::size_t(device)).query(QString::fromLatin1(path)); });
    }
};

} // namespace

TEST(GatewayCore, ALocalSearchListsEveryGatewayOnceSortedByAddress)
{
    Bench b({profile(9), profile(3, true), profile(5, false, true, 40), profile(7)});
    b.sim->call([](devsim::SimNetwork &n) {
        n.device(3).knobs.duplicateRate = 1.0; // every datagram twice
        n.device(0).knobs.delayMs = 30;
    });
    QSignalSpy added(b.core.get(), &GatewayCore::deviceAdded);
    QSignalSpy cleared(b.core.get(), &GatewayCore::listCleared);
    b.core->startLocalSearch();
    EXPECT_EQ(cleared.count(), 1);
    ASSERT_TRUE(waitFor([&] { return b.core->devices().count() == 4; }));
    QTest::qWait(200); // late and repeated answers must not add rows
    ASSERT_EQ(b.core->devices().count(), 4u);
    EXPECT_EQ(added.count(), 4);
    const int expected[] = {3, 5, 7, 9};
    for (int i = 0; i < 4; ++i) {
        const ParameterRecord &r = b.core->devices().at(std::size_t(i));
        EXPECT_EQ(seenAddress(r), loopback(expected[i]));
        EXPECT_EQ(r.mac[5], expected[i]);
        EXPECT_EQ(kyvo::fromGbk(QByteArray(kyvo::fieldText(r.deviceName).c_str())), QStringLiteral("网关%1").arg(expected[i]));
    }
    const ParameterRecord &can = b.core->devices().at(0);
    EXPECT_TRUE(hasCanPort(can));
    EXPECT_EQ(can.poll.can.bitRateIndex, 9);
    EXPECT_EQ(can.canReceived.get(), 1234u);
    const ParameterRecord &wifi = b.core->devices().at(1);
    EXPECT_TRUE(hasWifi(wifi));
    EXPECT_EQ(kyvo::fieldText(wifi.ssidList), "Workshop-AP");
    EXPECT_EQ(wifi.poll.entryCount.get(), 40); // a record of several fragments
    EXPECT_EQ(std::int8_t(wifi.wifiSignal), -55);
}

TEST(GatewayCore, ASaveRequestReachesTheGatewayAndChangesIt)
{
    Bench b({profile(4)});
    b.core->startLocalSearch();
    ASSERT_TRUE(waitFor([&] { return b.core->devices().count() == 1; }));
    ParameterRecord &r = b.core->devices().at(0);
    kyvo::setFieldText(r.deviceName, kyvo::toGbk(QStringLiteral("新名字")).toStdString());
    r.ipType = 1;
    r.serial.baudIndex = 3;
    r.channels[1].workMode = 6;
    QSignalSpy results(b.core.get(), &GatewayCore::commandResult);
    b.core->sendToDevice(buildSaveRequest(r, b.core->scope()), r);
    ASSERT_TRUE(waitFor([&] { return results.count() == 1; }));
    EXPECT_EQ(results[0][0].toInt(), 0x84);
    EXPECT_EQ(results[0][1].toInt(), 0);
    EXPECT_EQ(b.item(0, "1A"), kyvo::toGbk(QStringLiteral("新名字")));
    EXPECT_EQ(b.item(0, "11"), QByteArray("\x01", 1));
    EXPECT_EQ(b.item(0, "40.01").at(0), 3);
    EXPECT_EQ(b.item(0, "41.1.02"), QByteArray("\x06", 1));
    EXPECT_EQ(b.sim->get<long long>([](devsim::SimNetwork &n) { return n.device(0).counters[QStringLiteral("saves")]; }), 1);
}

TEST(GatewayCore, ACrossRouterSearchFindsGatewaysOnTheirOwnAddresses)
{
    Bench b({profile(12), profile(14)}, /*hub*/ 250);
    b.core->setScope(1);
    QSignalSpy finished(b.core.get(), &GatewayCore::sweepFinished);
    ASSERT_TRUE(b.core->startCrossRouterSearch({{loopback(10), loopback(16)}}));
    EXPECT_TRUE(b.core->sweepRunning());
    ASSERT_TRUE(waitFor([&] { return finished.count() == 1; }));
    EXPECT_EQ(b.core->sweep()->done(), 7u);
    EXPECT_EQ(b.core->sweep()->currentAddress(), "127.0.0.16");
    ASSERT_TRUE(waitFor([&] { return b.core->devices().count() == 2; }));
    EXPECT_EQ(seenAddress(b.core->devices().at(0)), loopback(12));
    // In scope 1 commands go to the address each device was first seen from.
    EXPECT_EQ(b.core->destinationFor(b.core->devices().at(1)).address, loopback(14));
}

TEST(GatewayCore, ACrossRouterSearchWithoutRangesSendsNothing)
{
    Bench b({profile(2)});
    EXPECT_FALSE(b.core->startCrossRouterSearch({}));
    QTest::qWait(100);
    EXPECT_EQ(b.sim->get<long long>([](devsim::SimNetwork &n) { return n.device(0).counters[QStringLiteral("searches")]; }), 0);
}

TEST(GatewayCore, StoppingASweepKeepsTheGatewaysFoundSoFar)
{
    Bench b({profile(2), profile(200)}, 250);
    b.core->setScope(1);
    QSignalSpy finished(b.core.get(), &GatewayCore::sweepFinished);
    b.core->startCrossRouterSearch({{loopback(1), loopback(240)}});
    ASSERT_TRUE(waitFor([&] { return b.core->devices().count() == 1; }));
    b.core->stopCrossRouterSearch();
    ASSERT_TRUE(waitFor([&] { return finished.count() == 1; }));
    EXPECT_LT(b.core->sweep()->done(), 200u);
    EXPECT_EQ(b.core->devices().count(), 1u);
}

TEST(GatewayCore, AnAnswerThatLostAFragmentAddsNoRow)
{
    Bench b({profile(3, false, false, 60), profile(4, false, false, 60)});
    b.sim->call([](devsim::SimNetwork &n) { n.device(0).knobs.dropEvery = 2; });
    b.core->startLocalSearch();
    ASSERT_TRUE(waitFor([&] { return b.core->devices().count() == 1; }));
    QTest::qWait(200);
    ASSERT_EQ(b.core->devices().count(), 1u);
    EXPECT_EQ(b.core->devices().at(0).mac[5], 4);
    EXPECT_GT(b.sim->get<long long>([](devsim::SimNetwork &n) { return n.device(0).counters[QStringLiteral("dropped")]; }), 0);
}

// "全部网卡" on loopback: two adapters, 127.0.0.1/24 and 127.0.1.1/24 (the whole
// of 127/8 is this machine's), with a gateway in each subnet.
struct TwoAdapters : Bench
{
    explicit TwoAdapters(int hub) : Bench({profile(12), profileOn(0x010D)}, hub)
    {
        core->openAllAdapters({{QStringLiteral("127.0.0.1"), QStringLiteral("a"), 24},
                               {QStringLiteral("127.0.1.1"), QStringLiteral("b"), 24}});
        EXPECT_EQ(core->endpointCount(), 2);
        EXPECT_TRUE(waitFor([&] {
            return core->endpointAt(0).localAddress() == loopback(1) &&
                   core->endpointAt(1).localAddress() == loopback(0x0101);
        }));
    }
    static devsim::GatewayProfile profileOn(int address)
    {
        devsim::GatewayProfile p = profile(address & 0xFF);
        p.address = loopback(address);
        return p;
    }
    std::uint32_t lastSender(int device)
    {
        return sim->get<std::uint32_t>(
            [&](devsim::SimNetwork &n) { return n.device(std::size_t(device)).lastSender.address; });
    }
};

TEST(GatewayCoreAllAdapters, ASearchOutOfEveryAdapterListsEachGatewayOnce)
{
    TwoAdapters b(0x02FA); // the stand-in for 255.255.255.255 is in neither subnet
    b.core->startLocalSearch();
    ASSERT_TRUE(waitFor([&] { return b.core->devices().count() == 2; }));
    QTest::qWait(200); // each gateway answered on both adapters
    EXPECT_EQ(b.core->devices().count(), 2u);
    EXPECT_EQ(seenAddress(b.core->devices().at(1)), loopback(0x010D));
}

TEST(GatewayCoreAllAdapters, EachGatewayIsReachedThroughTheAdapterItWasSeenOn)
{
    TwoAdapters b(250); // the broadcast stand-in is in the first adapter's subnet
    b.core->setScope(1);
    QSignalSpy finished(b.core.get(), &GatewayCore::sweepFinished);
    ASSERT_TRUE(
        b.core->startCrossRouterSearch({{loopback(12), loopback(12)}, {loopback(0x010D), loopback(0x010D)}}));
    ASSERT_TRUE(waitFor([&] { return finished.count() == 1 && b.core->devices().count() == 2; }));
    // The sweep asked each address from the adapter whose subnet holds it.
    EXPECT_EQ(b.lastSender(0), loopback(1));
    EXPECT_EQ(b.lastSender(1), loopback(0x0101));
    const auto rows = inventoryRows(*b.core);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].adapter, "127.0.0.1");
    EXPECT_EQ(rows[1].adapter, "127.0.1.1");

    // By broadcast now, to an address of the first adapter's subnet: each save
    // still leaves through the adapter its gateway was seen on.
    b.core->setScope(0);
    for (int i : {1, 0}) {
        ParameterRecord &r = b.core->devices().at(std::size_t(i));
        b.core->sendToDevice(buildSaveRequest(r, 0), r);
        ASSERT_TRUE(waitFor([&] {
            return b.sim->get<long long>([&](devsim::SimNetwork &n) {
                return n.device(std::size_t(i)).counters[QStringLiteral("saves")];
            }) == 1;
        }));
        EXPECT_EQ(b.lastSender(i), i == 0 ? loopback(1) : loopback(0x0101));
    }
}

TEST(GatewayInventory, RowsCarryTheListsTextsWithGbkNamesInUtf8)
{
    DeviceList list;
    const auto index = list.add(Mac{0x00, 0x4B, 0x59, 0x0A, 0x4D, 0x07}, 0xC0A80105);
    ASSERT_TRUE(index);
    ParameterRecord &r = list.at(*index);
    const QByteArray name = kyvo::toGbk(QStringLiteral("泵房二号"));
    std::copy(name.begin(), name.end(), r.deviceName);
    std::fill(std::begin(r.model), std::end(r.model), 'M'); // a full-width field has no terminator
    std::memcpy(r.versionText, "V10112", 6);

    const auto rows = inventoryRows(list, 0xC0A80164);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].address, "192.168.1.5");
    EXPECT_EQ(rows[0].mac, "00-4B-59-0A-4D-07");
    EXPECT_EQ(rows[0].model, std::string(64, 'M'));
    EXPECT_EQ(rows[0].firmware, "V10112");
    EXPECT_EQ(rows[0].name, "泵房二号");
    EXPECT_EQ(rows[0].adapter, "192.168.1.100");
    EXPECT_EQ(inventoryRows(list, 0)[0].adapter, "0.0.0.0");
}
