// The gateway search inside the lab: a real broadcast on the lab's wire, the
// cross-router search over loopback addresses, and a save that reaches the device.
#include "vorlet/core/gateway_core.h"
#include "vorlet/record/save_request.h"

#include "common/fixed_field.h"
#include "common/gbk_text.h"
#include "common/ipv4.h"
#include "tests/support/lab.h"
#include "tests/support/test_support.h"

#include <QSignalSpy>

#include <set>

using namespace vorlet;
using testsupport::labDevsim;
using testsupport::labGet;
using testsupport::waitFor;

namespace {

using testsupport::LabDevice;
using testsupport::labDevices;

QString macOf(const ParameterRecord &r) { return devsim::macText(devsim::Mac{r.mac[0], r.mac[1], r.mac[2], r.mac[3], r.mac[4], r.mac[5]}); }

std::unique_ptr<GatewayCore> openCore(const QString &local = {})
{
    auto core = std::make_unique<GatewayCore>();
    QSignalSpy opened(&core->endpoint(), &GatewayEndpoint::opened);
    core->endpoint().open(local);
    EXPECT_TRUE(waitFor([&] { return opened.count() == 1; }));
    return core;
}

void expectEveryLabGatewayListedOnce(GatewayCore &core)
{
    const auto devices = labDevices();
    ASSERT_FALSE(devices.empty());
    ASSERT_TRUE(waitFor([&] { return core.devices().count() == devices.size(); }));
    QTest::qWait(300); // repeated answers must not add rows
    ASSERT_EQ(core.devices().count(), devices.size());
    std::set<QString> listed;
    for (std::size_t i = 0; i < core.devices().count(); ++i) {
        const ParameterRecord &r = core.devices().at(i);
        listed.insert(macOf(r) + QLatin1Char(' ') + QString::fromStdString(kyvo::ipv4Text(seenAddress(r))));
        if (i > 0) {
            EXPECT_LE(seenAddress(core.devices().at(i - 1)), seenAddress(r));
        }
    }
    for (const LabDevice &d : devices)
        EXPECT_TRUE(listed.count(d.mac + QLatin1Char(' ') + d.address)) << d.mac.toStdString() << " " << d.address.toStdString() << " listed first " << listed.begin()->toStdString();
}

} // namespace

TEST(BroadcastSearch, FindsEveryGatewayOnceEvenWhenOneAnswersTwice)
{
    LAB_ONLY();
    const auto devices = labDevices();
    ASSERT_GE(devices.size(), 2u);
    ASSERT_TRUE(labDevsim().command(QStringLiteral("knob %1 duplicate 1").arg(devices[1].mac)));
    auto core = openCore();
    core->startLocalSearch();
    expectEveryLabGatewayListedOnce(*core);
    labDevsim().command(QStringLiteral("knob * duplicate 0"));
    // A CAN gateway's record says so; a WiFi gateway carries its SSID list.
    int can = 0, wifi = 0;
    for (std::size_t i = 0; i < core->devices().count(); ++i) {
        can += hasCanPort(core->devices().at(i));
        wifi += hasWifi(core->devices().at(i)) && kyvo::fieldText(core->devices().at(i).ssidList) == "Workshop-AP";
    }
    EXPECT_GE(can, 2);
    EXPECT_GE(wifi, 2);
}

TEST(BroadcastSearch, FindsGatewaysThatAnswerByBroadcast)
{
    LAB_ONLY();
    ASSERT_TRUE(labDevsim().command(QStringLiteral("knob * broadcast 1")));
    auto core = openCore();
    core->startLocalSearch();
    expectEveryLabGatewayListedOnce(*core);
    labDevsim().command(QStringLiteral("knob * broadcast 0"));
}

TEST(AdapterChoice, ABoundAdapterSearchesAndABadAddressFallsBackUnbound)
{
    LAB_ONLY();
    auto bound = openCore(qEnvironmentVariable("LAB_PC_ADDRESS"));
    bound->startLocalSearch();
    expectEveryLabGatewayListedOnce(*bound);
    bound.reset();

    auto core = std::make_unique<GatewayCore>();
    QSignalSpy failed(&core->endpoint(), &GatewayEndpoint::bindFailed);
    QSignalSpy opened(&core->endpoint(), &GatewayEndpoint::opened);
    core->endpoint().open(QStringLiteral("10.99.99.99")); // not an address of this PC
    ASSERT_TRUE(waitFor([&] { return opened.count() == 1; }));
    EXPECT_EQ(failed.count(), 1);
    core->startLocalSearch();
    expectEveryLabGatewayListedOnce(*core);
}

TEST(Save, ReachesTheGatewayAndChangesItsRecord)
{
    LAB_ONLY();
    auto core = openCore();
    core->startLocalSearch();
    expectEveryLabGatewayListedOnce(*core);
    ParameterRecord &r = core->devices().at(2);
    const QString mac = macOf(r);
    const QByteArray name = kyvo::toGbk(QStringLiteral("车间-网关"));
    kyvo::setFieldText(r.deviceName, std::string_view(name.constData(), std::size_t(name.size())));
    r.ipType = 1;
    r.serial.baudIndex = 5;
    QSignalSpy results(core.get(), &GatewayCore::commandResult);
    core->sendToDevice(buildSaveRequest(r, core->scope()), r);
    ASSERT_TRUE(waitFor([&] { return results.count() == 1; }));
    EXPECT_EQ(results[0][0].toInt(), 0x84);
    EXPECT_EQ(labGet(mac, QStringLiteral("1A")), name);
    EXPECT_EQ(labGet(mac, QStringLiteral("11")), QByteArray("\x01", 1));
    EXPECT_EQ(labGet(mac, QStringLiteral("40.01")).at(0), 5);
    EXPECT_EQ(testsupport::labCounter(mac, QStringLiteral("saves")), 1);
    // The other gateways were not written.
    for (const auto &d : labDevices())
        if (d.mac != mac) {
            EXPECT_EQ(testsupport::labCounter(d.mac, QStringLiteral("writes")), 0);
        }
}

TEST(CrossRouter, FindsGatewaysOnLoopbackAddresses)
{
    LAB_ONLY();
    auto core = openCore();
    core->setScope(1);
    QSignalSpy finished(core.get(), &GatewayCore::sweepFinished);
    ASSERT_TRUE(core->startCrossRouterSearch({{*kyvo::parseIpv4("127.0.0.1"), *kyvo::parseIpv4("127.0.0.20")}}));
    ASSERT_TRUE(waitFor([&] { return finished.count() == 1; }, 30000));
    EXPECT_EQ(core->sweep()->done(), 20u);
    expectEveryLabGatewayListedOnce(*core);
    for (std::size_t i = 0; i < core->devices().count(); ++i)
        EXPECT_EQ(seenAddress(core->devices().at(i)) >> 24, 127u);
}
