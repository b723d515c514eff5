// The serial-server search inside the lab: a real broadcast on the lab's
// wire finds one server of every family, and a sweep over 127.0.0.x finds
// the servers on the lab's loopback; the model holds what each device holds.
// pelmar-cli applies one parameter file to forty servers in one batch.
#include "pelmar/core/server_core.h"

#include "common/ipv4.h"
#include "common/profile_file.h"
#include "pelmar/model/conversions.h"
#include "tests/support/lab.h"
#include "tests/support/processes.h"
#include "tests/support/test_support.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <map>
#include <set>

using namespace pelmar;
using testsupport::labDevsim;
using testsupport::labGet;
using testsupport::waitFor;

namespace {

using LabServer = testsupport::LabDevice;

std::vector<LabServer> labServers()
{
    return testsupport::labDevices(QStringLiteral("server-"));
}

QByteArray bytes(const auto &a) { return QByteArray(reinterpret_cast<const char *>(a.data()), qsizetype(a.size())); }
QByteArray be16(std::uint16_t v) { return QByteArray(1, char(v >> 8)) + QByteArray(1, char(v & 0xFF)); }
QByteArray text(const std::string &t) { return QByteArray::fromStdString(t); }

std::unique_ptr<ServerCore> openCore(ServerCore::Options options = {})
{
    auto core = std::make_unique<ServerCore>(options);
    QSignalSpy opened(core.get(), &ServerCore::socketOpened);
    EXPECT_TRUE(waitFor([&] { return opened.count() == 1; }));
    return core;
}

// Ports the record of this family carries, as the tool reads them.
int portsCarried(const QString &kind, const DeviceEntry &e)
{
    if (kind == QLatin1String("server-wifi292")) return 1;
    if (kind == QLatin1String("server-multi1284")) return std::min(16, portCount(e));
    if (kind == QLatin1String("server-native")) {
        const QByteArray length = labGet(QString::fromStdString(macText(e)), QStringLiteral("reply-length"));
        const int n = (std::uint8_t(length[0]) << 8) | std::uint8_t(length[1]);
        return n == 250 ? 1 : n <= 390 ? 2 : n <= 510 ? 4 : 6;
    }
    return portCount(e);
}

void expectModelHoldsEveryServer(ServerCore &core, const std::vector<LabServer> &servers)
{
    std::set<QString> listed;
    for (int i = 0; i < core.rowCount(); ++i) listed.insert(QString::fromStdString(macText(core.devices().at(std::size_t(i)))));
    for (const LabServer &s : servers) {
        SCOPED_TRACE(s.kind.toStdString() + " " + s.address.toStdString());
        const auto mac = devsim::parseMac(s.mac);
        ASSERT_TRUE(mac);
        const auto slot = core.devices().find(MacTail{(*mac)[3], (*mac)[4], (*mac)[5]});
        ASSERT_TRUE(slot);
        const DeviceEntry &e = core.devices().at(*slot);
        EXPECT_EQ(QString::fromStdString(e.addressText), s.address);
        EXPECT_EQ(QString::fromStdString(macText(e)), s.mac);
        EXPECT_EQ(bytes(e.ip), labGet(s.mac, QStringLiteral("ip")));
        EXPECT_EQ(bytes(e.mask), labGet(s.mac, QStringLiteral("mask")));
        EXPECT_EQ(bytes(e.gateway), labGet(s.mac, QStringLiteral("gateway")));
        EXPECT_EQ(bytes(e.hardwareVersion.bytes), labGet(s.mac, QStringLiteral("hardware")));
        EXPECT_EQ(bytes(e.firmwareVersion.bytes), labGet(s.mac, QStringLiteral("firmware")));
        EXPECT_EQ(text(e.user.text()), labGet(s.mac, QStringLiteral("user")).left(int(e.user.length()) + 1).chopped(1));
        EXPECT_EQ(e.isWifi, s.kind.startsWith(QLatin1String("server-wifi")));
        EXPECT_EQ(e.longRecord, s.kind.startsWith(QLatin1String("server-multi")));
        const int ports = portsCarried(s.kind, e);
        ASSERT_GT(ports, 0);
        for (int k = 0; k < ports; ++k) {
            SCOPED_TRACE(k + 1);
            const PortSettings &p = e.ports[std::size_t(k)];
            const auto key = [k](const char *name) { return QStringLiteral("port%1.%2").arg(k + 1).arg(QLatin1String(name)); };
            EXPECT_EQ(be16(p.localPort), labGet(s.mac, key("localport")));
            EXPECT_EQ(be16(p.targetPort), labGet(s.mac, key("targetport")));
            EXPECT_EQ(QByteArray(1, char(p.baudIndex)), labGet(s.mac, key("baud")));
            EXPECT_EQ(QByteArray(1, char(p.workMode)), labGet(s.mac, key("workmode")));
            EXPECT_EQ(text(p.targetHost.text()), labGet(s.mac, key("host")).left(int(p.targetHost.length())));
            EXPECT_GT(p.targetHost.length(), 10u);
        }
    }
}

} // namespace

TEST(BroadcastSearch, FindsOneServerOfEveryFamilyAndHoldsItsValues)
{
    LAB_ONLY();
    const auto servers = labServers();
    ASSERT_GE(servers.size(), 20u) << "run with devsim --server family=all";
    auto core = openCore();
    QSignalSpy shown(core.get(), &ServerCore::deviceShown);
    QSignalSpy sent(core.get(), &ServerCore::searchRequestSent);
    ASSERT_TRUE(core->startSearch());
    const auto everyoneShown = [&] {
        std::set<int> seen;
        for (const auto &s : shown) seen.insert(s[0].toInt());
        return seen.size() == servers.size();
    };
    ASSERT_TRUE(waitFor(everyoneShown, 30000)) << shown.count() << " of " << servers.size() << " shown";
    EXPECT_EQ(sent.count(), 1);
    EXPECT_EQ(sent[0][0].toString(), QStringLiteral("255.255.255.255"));
    EXPECT_EQ(core->rowCount(), int(servers.size()));
    std::set<QString> kinds;
    for (const auto &s : servers) kinds.insert(s.kind);
    EXPECT_EQ(kinds.size(), 6u);
    expectModelHoldsEveryServer(*core, servers);
}

TEST(BroadcastSearch, AWriteIsAcceptedOrRefusedByTheServer)
{
    LAB_ONLY();
    const auto servers = labServers();
    auto core = openCore();
    core->startSearch();
    ASSERT_TRUE(waitFor([&] { return core->rowCount() == int(servers.size()); }, 30000));
    QSignalSpy accepted(core.get(), &ServerCore::writeAccepted);
    QSignalSpy refused(core.get(), &ServerCore::writeRefused);
    // A user item written to the first short-frame server, broadcast and selected by its MacTail.
    const auto it = std::find_if(servers.begin(), servers.end(), [](const LabServer &s) { return s.kind == QLatin1String("server-short"); });
    ASSERT_NE(it, servers.end());
    const auto mac = *devsim::parseMac(it->mac);
    const std::size_t slot = *core->devices().find(MacTail{mac[3], mac[4], mac[5]});
    ItemData login{};
    const char user[] = "lab-user";
    std::copy(user, user + 8, login.begin());
    core->sendToDevice(slot, buildItemWrite(0x07, login, core->devices().at(slot).macTail), ServerCore::Port::Reply);
    ASSERT_TRUE(waitFor([&] { return accepted.count() == 1; }));
    EXPECT_EQ(labGet(it->mac, QStringLiteral("user")), QByteArray("lab-user"));
    ASSERT_TRUE(labDevsim().command(QStringLiteral("knob %1 refuse 1").arg(it->mac)));
    core->sendToDevice(slot, buildItemWrite(0x07, ItemData{}, core->devices().at(slot).macTail), ServerCore::Port::Reply);
    ASSERT_TRUE(waitFor([&] { return refused.count() == 1; }));
    labDevsim().command(QStringLiteral("knob %1 refuse 0").arg(it->mac));
    EXPECT_EQ(labGet(it->mac, QStringLiteral("user")), QByteArray("lab-user"));
}

TEST(SubnetSweep, FindsTheServersOnTheLabsLoopback)
{
    LAB_ONLY();
    const auto servers = labServers();
    ASSERT_FALSE(servers.empty());
    auto core = openCore();
    core->setBroadcastSearch(false);
    core->setSubnetAddress(QStringLiteral("127.0.0.255"));
    QSignalSpy sent(core.get(), &ServerCore::searchRequestSent);
    QSignalSpy finished(core.get(), &ServerCore::sweepFinished);
    ASSERT_TRUE(core->startSearch());
    ASSERT_TRUE(waitFor([&] { return finished.count() == 1; }, 30000));
    EXPECT_EQ(sent.count(), 254);
    EXPECT_EQ(core->statusText(ServerCore::AddressPane), QStringLiteral("搜索IP:127.0.0.254"));
    std::vector<LabServer> swept;
    for (const auto &s : servers)
        if (s.address.startsWith(QLatin1String("127.0.0."))) swept.push_back(s);
    ASSERT_TRUE(waitFor([&] { return core->rowCount() == int(swept.size()); }, 10000)) << core->rowCount();
    // Short-frame servers are read item by item after their discovery.
    const bool anyShort = std::any_of(swept.begin(), swept.end(), [](const LabServer &s) { return s.kind == QLatin1String("server-short"); });
    if (anyShort) {
        ASSERT_TRUE(waitFor([&] { return core->readSequencesRunning() == 0; }, 10000));
        QTest::qWait(200);
    }
    expectModelHoldsEveryServer(*core, swept);
}

TEST(BatchApply, FortyServersTakeOneFileInOneBatchAndTheSilentOneIsReportedFailed)
{
    LAB_ONLY();
    const auto servers = labServers();
    ASSERT_EQ(servers.size(), 40u) << "run with devsim --server count=40";
    const QString cli = QStringLiteral(PELMAR_CLI_BIN);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("batch.ini"));
    const auto exported = testsupport::runTool(cli, {QStringLiteral("export"), QStringLiteral("--mac"),
                                                     servers[0].mac, QStringLiteral("--out"), ini,
                                                     QStringLiteral("--wait"), QStringLiteral("500")});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    kyvo::ProfileFile file = kyvo::ProfileFile::load(ini);
    const QByteArray port1 = "*****************Port1*****************";
    file.setString(port1, "RemoteIp", "batch-lab.example.net");
    file.setInt(port1, "LocalPort", 6123);
    ASSERT_TRUE(file.save(ini));
    const LabServer &silent = servers[17];
    ASSERT_TRUE(labDevsim().command(QStringLiteral("knob %1 write-silent 1").arg(silent.mac)));

    const auto run =
        testsupport::runTool(cli,
                             {QStringLiteral("apply"), QStringLiteral("--all"), QStringLiteral("--parallel"),
                              QStringLiteral("8"), QStringLiteral("--ini"), ini, QStringLiteral("--wait"),
                              QStringLiteral("500"), QStringLiteral("--json")},
                             120000);
    labDevsim().command(QStringLiteral("knob %1 write-silent 0").arg(silent.mac));
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("40 devices: 39 succeeded, 1 failed")))
        << run.err.toStdString();
    std::map<QString, bool> outcome;
    for (const QString &line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        outcome[o.value(QStringLiteral("mac")).toString()] = o.value(QStringLiteral("ok")).toBool();
    }
    ASSERT_EQ(outcome.size(), 40u) << run.out.toStdString();
    for (const LabServer &s : servers) {
        SCOPED_TRACE(s.mac.toStdString());
        EXPECT_EQ(outcome[s.mac], &s != &silent);
        // Every server holds the change; the silent one took it but never said so.
        EXPECT_EQ(labGet(s.mac, QStringLiteral("port1.host")).left(21), QByteArray("batch-lab.example.net"));
        EXPECT_EQ(labGet(s.mac, QStringLiteral("port1.localport")), be16(6123));
    }
}
