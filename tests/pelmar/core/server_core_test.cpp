// The serial-server core against simulated servers on loopback: broadcast
// search and sweep, the model's values, item reading, writes and the
// routing of stray datagrams. Sessions that wait on time run on a manual clock.
#include "pelmar/core/server_core.h"
#include "pelmar/core/server_inventory.h"

#include "devsim/core/device_specs.h"
#include "devsim/core/sim_host.h"
#include "devsim/serial/server_sim.h"
#include "pelmar/model/conversions.h"
#include "pelmar/records/records.h"
#include "pelmar/records/short_items.h"
#include "tests/support/loopback.h"
#include "tests/support/test_support.h"

#include <QNetworkDatagram>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <set>

using namespace pelmar;
using testsupport::loopback;
using testsupport::waitFor;

namespace {

QString dotted(std::uint32_t a)
{
    return QString::fromStdString(kyvo::ipv4Text(a));
}

struct Bench
{
    quint16 port = testsupport::freeUdpPort();
    std::unique_ptr<devsim::SimHost> sim;
    std::unique_ptr<ServerCore> core;
    std::vector<devsim::ServerProfile> profiles;

    // Servers on 127.0.0.first, first+step, ...; the hub stands for the broadcast address.
    Bench(std::vector<devsim::ServerProfile> servers, std::uint32_t hub, const kyvo::Clock *clock = nullptr,
          int first = 2, int step = 1)
        : profiles(std::move(servers))
    {
        devsim::SimNetwork::Options o;
        o.hubAddress = QHostAddress(hub);
        o.portMap[1111] = port;
        o.rateBitsPerSecond = 0;
        sim = std::make_unique<devsim::SimHost>(o);
        for (std::size_t i = 0; i < profiles.size(); ++i) {
            profiles[i].address = loopback(first + int(i) * step);
            profiles[i].mac = devsim::simulatedMac(0x5A, profiles[i].address);
            sim->add(std::make_unique<devsim::ServerSim>(profiles[i]));
        }
        QString error;
        EXPECT_TRUE(sim->start(&error)) << error.toStdString();
        ServerCore::Options c;
        c.broadcastAddress = dotted(hub);
        c.devicePort = port;
        c.localPort = 0;
        c.clock = clock;
        core = std::make_unique<ServerCore>(c);
        QSignalSpy opened(core.get(),
                          &ServerCore::socketOpened); // the socket opens in the core's thread's next turn
        EXPECT_TRUE(waitFor([&] { return opened.count() == 1; }));
    }

    QByteArray value(std::size_t device, const QString &path)
    {
        return sim->get<QByteArray>(
            [&](devsim::SimNetwork &n) { return n.device(device).query(path).value_or(QByteArray("?")); });
    }
    long long counter(std::size_t device, const char *name)
    {
        return sim->get<long long>(
            [&](devsim::SimNetwork &n) { return n.device(device).counters[QLatin1String(name)]; });
    }
    // The table slot of a simulated device, found by its MacTail.
    std::optional<std::size_t> slotOf(std::size_t device) const
    {
        const auto &m = profiles[device].mac;
        return core->devices().find(MacTail{m[3], m[4], m[5]});
    }
};

QByteArray bytes(const auto &array)
{
    return QByteArray(reinterpret_cast<const char *>(array.data()), qsizetype(array.size()));
}
QByteArray be16(std::uint16_t v)
{
    return QByteArray(1, char(v >> 8)) + QByteArray(1, char(v & 0xFF));
}

// The model holds what the device holds, for the fields its family carries.
void expectModelHoldsDevice(Bench &b, std::size_t i)
{
    const auto slot = b.slotOf(i);
    ASSERT_TRUE(slot) << i;
    const DeviceEntry &e = b.core->devices().at(*slot);
    const devsim::ServerProfile &p = b.profiles[i];
    SCOPED_TRACE(int(i));
    EXPECT_EQ(QString::fromStdString(e.addressText), dotted(p.address));
    EXPECT_EQ(bytes(e.ip), b.value(i, QStringLiteral("ip")));
    EXPECT_EQ(bytes(e.mac), b.value(i, QStringLiteral("mac")));
    EXPECT_EQ(bytes(e.hardwareVersion.bytes), b.value(i, QStringLiteral("hardware")));
    EXPECT_EQ(bytes(e.firmwareVersion.bytes), b.value(i, QStringLiteral("firmware")));
    EXPECT_EQ(QByteArray::fromStdString(e.user.text()), QByteArray("admin"));
    EXPECT_EQ(QByteArray::fromStdString(e.password.text()),
              b.value(i, QStringLiteral("password")).left(int(e.password.length())));
    EXPECT_EQ(e.isWifi,
              p.family == devsim::ServerFamily::Wifi362 || p.family == devsim::ServerFamily::Wifi292);
    EXPECT_EQ(e.longRecord,
              p.family == devsim::ServerFamily::Multi1284 || p.family == devsim::ServerFamily::Multi2326);
    const int ports = std::min(p.ports, p.family == devsim::ServerFamily::Multi1284 ? 16 : 24);
    for (int k = 0; k < ports; ++k) {
        const PortSettings &port = e.ports[std::size_t(k)];
        const auto key = [k](const char *name) { return devsim::ServerValues::portKey(k + 1, name); };
        SCOPED_TRACE(k + 1);
        EXPECT_EQ(port.localPort, 4001 + k);
        EXPECT_EQ(be16(port.localPort), b.value(i, key("localport")));
        EXPECT_EQ(QByteArray(1, char(port.baudIndex)), b.value(i, key("baud")));
        EXPECT_EQ(QByteArray::fromStdString(port.targetHost.text()),
                  b.value(i, key("host")).left(int(port.targetHost.length())));
        EXPECT_GT(port.targetHost.length(), 10u);
        if (p.family != devsim::ServerFamily::Native || p.ports > 1) {
            // Every family but the one-port native record carries the heartbeat interval as read.
            EXPECT_EQ(be16(port.heartbeatInterval), b.value(i, key("hbinterval")));
        }
    }
}

} // namespace

TEST(ServerCore, ABroadcastSearchFindsOneServerOfEveryFamilyAndHoldsItsValues)
{
    Bench b(devsim::everyServerVariant(), loopback(1));
    QSignalSpy shown(b.core.get(), &ServerCore::deviceShown);
    QSignalSpy rows(b.core.get(), &ServerCore::rowAppended);
    QSignalSpy sent(b.core.get(), &ServerCore::searchRequestSent);
    ASSERT_TRUE(b.core->startSearch());
    EXPECT_EQ(b.core->statusText(ServerCore::SearchPane), QStringLiteral("正在搜索设备..."));
    EXPECT_EQ(b.core->statusText(ServerCore::PortPane), QStringLiteral("搜索端口: 1111"));
    // Short-frame servers are shown once their last port's items arrive.
    const auto allShown = [&] {
        std::set<int> seen;
        for (const auto &s : shown)
            seen.insert(s[0].toInt());
        return seen.size() == b.profiles.size();
    };
    ASSERT_TRUE(waitFor(allShown, 20000)) << shown.count();
    EXPECT_EQ(sent.count(), 1); // the first answer ends the broadcast
    EXPECT_EQ(rows.count(), int(b.profiles.size()));
    EXPECT_EQ(b.core->rowCount(), int(b.profiles.size()));
    EXPECT_EQ(b.core->statusText(ServerCore::SearchPane), QStringLiteral("已完成搜索"));
    for (std::size_t i = 0; i < b.profiles.size(); ++i)
        expectModelHoldsDevice(b, i);
    // Family details: the 362-byte WiFi server's signal, a native 4-port server's native4 flag.
    for (std::size_t i = 0; i < b.profiles.size(); ++i) {
        const DeviceEntry &e = b.core->devices().at(*b.slotOf(i));
        if (b.profiles[i].family == devsim::ServerFamily::Wifi362) {
            EXPECT_TRUE(e.wifiExtended && e.registerCapable);
            EXPECT_EQ(e.staSsid.text(), "plant-floor-wifi");
            EXPECT_EQ(signalText(e), "64% -55");
        }
        if (b.profiles[i].family == devsim::ServerFamily::Native && b.profiles[i].ports == 4) {
            EXPECT_TRUE(e.native4);
        }
        if (b.profiles[i].family == devsim::ServerFamily::Short) {
            EXPECT_EQ(e.deviceKind, b.profiles[i].kind);
        }
    }
}

TEST(ServerCore, ASweepFindsTheServersOfItsSubnetFromTheirOwnAddresses)
{
    std::vector<devsim::ServerProfile> servers;
    for (auto &v : devsim::everyServerVariant())
        if (v.family != devsim::ServerFamily::Short) servers.push_back(v);
    servers.resize(5);
    Bench b(servers, loopback(0x0101), nullptr, 60); // the hub is outside 127.0.0.x
    b.core->setBroadcastSearch(false);
    b.core->setSubnetAddress(QStringLiteral("127.0.0.255"));
    QSignalSpy sent(b.core.get(), &ServerCore::searchRequestSent);
    QSignalSpy finished(b.core.get(), &ServerCore::sweepFinished);
    QSignalSpy progress(b.core.get(), &ServerCore::progressChanged);
    ASSERT_TRUE(b.core->startSearch());
    EXPECT_TRUE(b.core->progressVisible());
    ASSERT_TRUE(waitFor([&] { return finished.count() == 1; }, 20000));
    EXPECT_EQ(sent.count(), 254);
    EXPECT_EQ(sent.first()[0].toString(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(sent.last()[0].toString(), QStringLiteral("127.0.0.254"));
    EXPECT_EQ(b.core->statusText(ServerCore::AddressPane), QStringLiteral("搜索IP:127.0.0.254"));
    EXPECT_EQ(b.core->statusText(ServerCore::SearchPane), QStringLiteral("已完成搜索"));
    EXPECT_FALSE(b.core->progressVisible());
    EXPECT_EQ(progress.last()[1].toInt(), 0);
    ASSERT_TRUE(waitFor([&] { return b.core->rowCount() == int(servers.size()); }));
    for (std::size_t i = 0; i < servers.size(); ++i)
        expectModelHoldsDevice(b, i);
}

TEST(ServerCore, OnAllAdaptersAServerIsReachedThroughTheAdapterItWasSeenOn)
{
    // 127.0.0.1/24 and 127.0.1.1/24 (the whole of 127/8 is this machine's),
    // a server in each subnet, the broadcast stand-in in the first.
    kyvo::ManualClock clock;
    const auto variants = devsim::everyServerVariant();
    const auto record = std::find_if(variants.begin(), variants.end(),
                                     [](const auto &v) { return v.family != devsim::ServerFamily::Short; });
    std::vector<devsim::ServerProfile> servers(2, *record);
    Bench b(servers, loopback(250), &clock, 5, 0x100);
    b.core->setAdaptersForTesting({{QStringLiteral("127.0.0.1"), QStringLiteral("a"), 24},
                                   {QStringLiteral("127.0.1.1"), QStringLiteral("b"), 24}});
    QSignalSpy opened(b.core.get(), &ServerCore::socketOpened);
    EXPECT_EQ(b.core->chooseAllAdapters(), 2);
    ASSERT_TRUE(waitFor([&] { return opened.count() == 2; }));
    const auto lastSender = [&](std::size_t device) {
        return b.sim->get<std::uint32_t>(
            [&](devsim::SimNetwork &n) { return n.device(device).lastSender.address; });
    };
    // The sweep of the second subnet leaves through the second adapter only.
    b.core->setBroadcastSearch(false);
    b.core->setSubnetAddress(QStringLiteral("127.0.1.255"));
    ASSERT_TRUE(b.core->startSearch());
    for (int i = 0; i < 300; ++i) {
        clock.advance(kyvo::Millis{10});
        b.core->poll();
    }
    ASSERT_TRUE(waitFor([&] { return b.core->rowCount() == 1; }));
    EXPECT_EQ(b.counter(0, "searches"), 0);
    EXPECT_EQ(lastSender(1), loopback(0x0101));
    EXPECT_EQ(b.core->adapterAddressOf(b.core->devices().at(0)), QStringLiteral("127.0.1.1"));
    EXPECT_EQ(inventoryRows(*b.core)[0].adapter, "127.0.1.1");

    // By broadcast now, to an address of the first adapter's subnet: the
    // restart still leaves through the adapter the server was seen on.
    b.core->setBroadcastSearch(true);
    b.core->setSubnetAddress(dotted(loopback(250)));
    ASSERT_TRUE(b.core->sendToDevice(0, buildDeviceCommand(code::kRestart, b.core->devices().at(0).macTail),
                                     ServerCore::Port::Device));
    ASSERT_TRUE(waitFor([&] { return b.counter(1, "restarts") == 1; }));
    EXPECT_EQ(lastSender(1), loopback(0x0101));
}

TEST(ServerCore, ASweepWithoutAUsablePrefixIsRefusedAndChangesNothing)
{
    Bench b({}, loopback(1));
    QSignalSpy refused(b.core.get(), &ServerCore::sweepRefused);
    QSignalSpy cleared(b.core.get(), &ServerCore::listCleared);
    b.core->setBroadcastSearch(false);
    b.core->setSubnetAddress(QStringLiteral("localsubnet"));
    EXPECT_FALSE(b.core->startSearch());
    EXPECT_EQ(refused.count(), 1);
    EXPECT_EQ(cleared.count(), 0);
    EXPECT_EQ(b.core->searchState(), SearchSession::State::Idle);
    EXPECT_EQ(b.core->statusText(ServerCore::AddressPane), QStringLiteral("广播地址:localsubnet"));
    b.core->clearSubnet();
    EXPECT_EQ(b.core->broadcastAddress(), QStringLiteral("255.255.255.255"));
}

TEST(ServerCore, ABroadcastNobodyAnswersSendsSixRequestsThenTimesOut)
{
    kyvo::ManualClock clock;
    QUdpSocket listener; // stands where the servers would be
    ASSERT_TRUE(listener.bind(QHostAddress(loopback(1)), 0));
    ServerCore::Options o;
    o.broadcastAddress = QStringLiteral("127.0.0.1");
    o.devicePort = listener.localPort();
    o.localPort = 0;
    o.clock = &clock;
    ServerCore core(o);
    ASSERT_TRUE(waitFor([&] { return core.socket().localPort() != 0; }));
    QSignalSpy timedOut(&core, &ServerCore::broadcastTimedOut);
    core.startSearch();
    int received = 0;
    for (int ms = 0; ms <= 7000; ms += 100) {
        core.poll();
        clock.advance(kyvo::Millis{100});
    }
    ASSERT_TRUE(waitFor([&] {
        while (listener.hasPendingDatagrams())
            received += listener.receiveDatagram().data().size() == 26;
        return received == 6;
    }));
    QTest::qWait(50);
    EXPECT_FALSE(listener.hasPendingDatagrams());
    EXPECT_EQ(timedOut.count(), 1);
    EXPECT_EQ(core.statusText(ServerCore::SearchPane), QStringLiteral("搜索超时，未发现设备"));
}

TEST(ServerCore, AShortFrameServerIsReadItemByItemAfterItsStartDelay)
{
    kyvo::ManualClock clock;
    devsim::ServerProfile p;
    p.family = devsim::ServerFamily::Short;
    p.ports = 4;
    p.kind = 0;
    Bench b({p}, loopback(1), &clock);
    QSignalSpy shown(b.core.get(), &ServerCore::deviceShown);
    b.core->startSearch();
    clock.advance(kyvo::Millis{500});
    b.core->poll();
    ASSERT_TRUE(waitFor([&] { return b.core->rowCount() == 1; }));
    EXPECT_EQ(b.core->readSequencesRunning(), 1u);
    // 800 ms plus the MacTail 00 00 02, then 20 ms: nothing before that.
    clock.advance(kyvo::Millis{802});
    b.core->poll();
    clock.advance(kyvo::Millis{19});
    b.core->poll();
    QTest::qWait(100);
    EXPECT_EQ(b.counter(0, "reads"), 0);
    clock.advance(kyvo::Millis{1});
    b.core->poll();
    ASSERT_TRUE(waitFor([&] { return b.counter(0, "reads") == 1; }));
    for (int i = 0; i < 100; ++i) {
        clock.advance(kyvo::Millis{10});
        b.core->poll();
    }
    // Version 43, flag 0, port count '4': 20 items, no 0x41..0x43.
    ASSERT_TRUE(waitFor([&] { return shown.count() == 1; }));
    EXPECT_EQ(b.counter(0, "reads"), 20);
    EXPECT_EQ(b.core->readSequencesRunning(), 0u);
    expectModelHoldsDevice(b, 0);
    const DeviceEntry &e = b.core->devices().at(0);
    EXPECT_EQ(e.ports[3].heartbeatData.text(), "HB-P4");
    EXPECT_EQ(e.ports[4].localPort, 0); // a 4-port server's port 5 is not read
    // The double-click reads 0x02 .. 0x07 again, and once all six answered the device is shown again.
    ASSERT_TRUE(b.core->reread(0));
    ASSERT_TRUE(waitFor([&] { return b.counter(0, "reads") == 26; }));
    ASSERT_TRUE(waitFor([&] { return shown.count() == 2; }));
    EXPECT_EQ(shown.last()[0].toInt(), 0);
    EXPECT_FALSE(b.core->reread(1));
}

TEST(ServerCore, WritesReachTheServerAndItsAnswerEndsInTheStatusBar)
{
    std::vector<devsim::ServerProfile> servers;
    for (auto &v : devsim::everyServerVariant())
        if (v.family == devsim::ServerFamily::Multi2326 || v.family == devsim::ServerFamily::Wifi362 ||
            (v.family == devsim::ServerFamily::Native && v.ports == 2 && v.registers && !v.secondPortCloud))
            servers.push_back(v);
    Bench b(servers, loopback(1));
    QSignalSpy accepted(b.core.get(), &ServerCore::writeAccepted);
    QSignalSpy refused(b.core.get(), &ServerCore::writeRefused);
    b.core->startSearch();
    ASSERT_TRUE(waitFor([&] { return b.core->rowCount() == int(servers.size()); }));
    for (std::size_t i = 0; i < servers.size(); ++i) {
        const std::size_t slot = *b.slotOf(i);
        DeviceEntry &e = b.core->devices().at(slot);
        e.ports[0].targetHost.set("written.example.net");
        e.ports[0].localPort = 5001;
        const RecordFormat format =
            servers[i].family == devsim::ServerFamily::Native    ? RecordFormat::NativeRecord
            : servers[i].family == devsim::ServerFamily::Wifi362 ? RecordFormat::RecordWifi362
                                                                 : RecordFormat::RecordMulti2326;
        const Bytes frame = buildRecordWriteFrame(format, e);
        ASSERT_FALSE(frame.empty());
        ASSERT_TRUE(b.core->sendToDevice(slot, frame, ServerCore::Port::Reply));
        ASSERT_TRUE(waitFor([&] { return accepted.count() == int(i) + 1; }));
        EXPECT_EQ(b.value(i, QStringLiteral("port1.host")).left(20), QByteArray("written.example.net", 20));
        EXPECT_EQ(b.value(i, QStringLiteral("port1.localport")), be16(5001));
    }
    EXPECT_EQ(b.core->statusText(ServerCore::SavePane), QStringLiteral("配置成功"));
    b.sim->call([](devsim::SimNetwork &n) { n.device(0).knobs.refuse = true; });
    const std::size_t slot = *b.slotOf(0);
    ItemData item{};
    b.core->sendToDevice(slot, buildItemWrite(0x07, item, b.core->devices().at(slot).macTail),
                         ServerCore::Port::Reply);
    ASSERT_TRUE(waitFor([&] { return refused.count() == 1; }));
    EXPECT_EQ(b.core->statusText(ServerCore::SavePane), QStringLiteral("配置失败。请重新搜索设备，再试。"));
    // Restart goes to the device port; in broadcast mode to the broadcast address.
    EXPECT_EQ(b.core->destinationFor(slot), QStringLiteral("127.0.0.1"));
    b.core->sendToDevice(slot, buildDeviceCommand(code::kRestart, b.core->devices().at(slot).macTail),
                         ServerCore::Port::Device);
    ASSERT_TRUE(waitFor([&] { return b.counter(0, "restarts") == 1; }));
    EXPECT_EQ(b.counter(1, "restarts"), 0); // the MacTail alone selects the device
    b.core->setBroadcastSearch(false);
    EXPECT_EQ(b.core->destinationFor(slot), dotted(b.profiles[0].address));
}

TEST(ServerCore, DevicesBeyondThe256thAreCountedNotListed)
{
    devsim::ServerProfile p;
    p.family = devsim::ServerFamily::Wifi292;
    p.ports = 1;
    Bench b(std::vector<devsim::ServerProfile>(258, p), loopback(1));
    QSignalSpy ignored(b.core.get(), &ServerCore::devicesIgnored);
    b.core->startSearch();
    ASSERT_TRUE(waitFor(
        [&] { return b.core->rowCount() == 256 && !ignored.isEmpty() && ignored.last()[0].toInt() == 2; },
        20000));
    QTest::qWait(200);
    EXPECT_EQ(b.core->rowCount(), 256);
    EXPECT_EQ(b.core->devices().ignored(), 2u);
    EXPECT_EQ(b.core->statusText(ServerCore::SearchPane),
              QStringLiteral("已完成搜索，另有 2 台设备未列出（列表最多 256 台）"));
}

TEST(ServerCore, MessagesTftpAndScanDatagramsAreHandedOnAndOneBoxOfAKindIsUpAtATime)
{
    Bench b({}, loopback(1));
    QSignalSpy alerts(b.core.get(), &ServerCore::alertRaised);
    QSignalSpy tftp(b.core.get(), &ServerCore::tftpDatagram);
    QSignalSpy scan(b.core.get(), &ServerCore::wifiScanData);
    QUdpSocket peer;
    peer.bind(QHostAddress(loopback(1)), 0);
    const auto toCore = [&](const QByteArray &d) {
        peer.writeDatagram(d, QHostAddress(loopback(1)), b.core->socket().localPort());
    };
    QByteArray alert(4096, 0);
    alert.replace(4, 4, QByteArray("busy"));
    QByteArray scanMessage(372, 0);
    scanMessage.replace(0, 4, QByteArray("H:R\x9f", 4));
    scanMessage.replace(4, 2, QByteArray("no"));
    const QByteArray ack("\x00\x04\x00\x01", 4);
    for (int i = 0; i < 3; ++i) {
        toCore(alert);
        toCore(scanMessage);
    }
    toCore(ack);
    ASSERT_TRUE(waitFor([&] { return tftp.count() == 4; })); // the alerts start with 0x00 as well
    ASSERT_EQ(alerts.count(), 2);                            // the repeats came while the boxes were up
    using Alert = ServerCore::Alert;
    EXPECT_EQ(alerts[0][0].value<Alert>(), Alert::Message4096);
    EXPECT_EQ(alerts[0][1].toString(), QStringLiteral("busy busy"));
    EXPECT_EQ(alerts[1][0].value<Alert>(), Alert::ScanMessage);
    EXPECT_EQ(alerts[1][1].toString(), QStringLiteral("no"));
    EXPECT_EQ(scan.count(), 3);
    EXPECT_EQ(tftp[3][0].toByteArray(), ack);
    EXPECT_EQ(tftp[3][2].toUInt(), peer.localPort());
    b.core->alertClosed(Alert::Message4096);
    toCore(alert);
    toCore(scanMessage);
    ASSERT_TRUE(waitFor([&] { return scan.count() == 4; }));
    ASSERT_EQ(alerts.count(), 3);
    EXPECT_EQ(alerts[2][0].value<Alert>(), Alert::Message4096);
}

TEST(ServerCore, ARepeatedDiscoveryAnswerWhileTheServerIsReadStartsNoSecondReading)
{
    kyvo::ManualClock clock; // the reading stays at its start delay
    Bench b({}, loopback(1), &clock);
    QSignalSpy tftp(b.core.get(), &ServerCore::tftpDatagram);
    QUdpSocket peer;
    peer.bind(QHostAddress(loopback(1)), 0);
    ItemData item{};
    item[2] = '4'; // version 43, four ports
    item[3] = '3';
    item[5] = '4';
    const Bytes reply = buildCommandFrame('R', 'P', item, {0x11, 0x22, 0x33});
    for (int i = 0; i < 5; ++i)
        peer.writeDatagram(reinterpret_cast<const char *>(reply.data()), qint64(reply.size()),
                           QHostAddress(loopback(1)), b.core->socket().localPort());
    peer.writeDatagram(QByteArray("\x00\x04\x00\x01", 4), QHostAddress(loopback(1)),
                       b.core->socket().localPort());
    ASSERT_TRUE(waitFor([&] { return tftp.count() == 1; })); // every answer before it was handled
    EXPECT_EQ(b.core->rowCount(), 1);
    EXPECT_EQ(b.core->readSequencesRunning(), 1u);
}

TEST(ServerCore, ChangingTheLanguageEmptiesTheStatusAndShowsTheAddressAgain)
{
    Bench b({}, loopback(1));
    b.core->startSearch();
    b.core->setLanguage(Language::English);
    EXPECT_TRUE(b.core->statusText(ServerCore::SearchPane).isEmpty());
    EXPECT_TRUE(b.core->statusText(ServerCore::PortPane).isEmpty());
    EXPECT_EQ(b.core->statusText(ServerCore::AddressPane), QStringLiteral("BroadcastAdress:127.0.0.1"));
    b.core->setAdaptersForTesting({{QStringLiteral("127.0.0.1"), QStringLiteral("lo")}});
    EXPECT_EQ(b.core->subnetSuggestion(), QStringLiteral("127.0.0.255"));
    EXPECT_EQ(b.core->adapters()[0].text(), QStringLiteral("lo | 127.0.0.1"));
    QSignalSpy opened(b.core.get(), &ServerCore::socketOpened);
    b.core->chooseAdapter(0);
    ASSERT_TRUE(waitFor([&] { return opened.count() == 1; }));
    EXPECT_EQ(b.core->chosenAdapterAddress(), QStringLiteral("127.0.0.1"));
    b.core->chooseAdapter(-1);
    EXPECT_TRUE(b.core->chosenAdapterAddress().isEmpty());
}

TEST(ServerCore, InventoryRowsNameTheChosenAdapterElseTheMainSocketsAddress)
{
    Bench b({}, loopback(1));
    const auto slot = b.core->devices().registerReply("127.0.0.7", 1111, MacTail{0x00, 0x00, 0x07});
    ASSERT_TRUE(slot);
    DeviceEntry &e = b.core->devices().at(slot->index);
    e.mac = Mac{0x00, 0x4B, 0x5A, 0x00, 0x00, 0x07};
    e.firmwareVersion.set("V5.2");
    e.hardwareVersion.set("VN30");
    const auto rows = inventoryRows(*b.core);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].address, "127.0.0.7");
    EXPECT_EQ(rows[0].mac, "00-4B-5A-00-00-07");
    EXPECT_EQ(rows[0].model, "VN30");
    EXPECT_EQ(rows[0].firmware, "V5.2");
    EXPECT_EQ(rows[0].name, "");
    EXPECT_EQ(rows[0].adapter, "0.0.0.0"); // "默认": bound to every address
    EXPECT_EQ(inventoryRows(*b.core, QStringLiteral("127.0.0.1"))[0].adapter, "127.0.0.1");
    b.core->setAdaptersForTesting({{QStringLiteral("127.0.0.1"), QStringLiteral("lo")}});
    b.core->chooseAdapter(0);
    EXPECT_EQ(inventoryRows(*b.core, QStringLiteral("127.0.0.9"))[0].adapter, "127.0.0.1");
}
