// pelmar-cli against devsim's serial servers over loopback: searches by
// "broadcast" to devsim's hub at 127.0.0.1 and by a sweep over 127.0.0.x,
// parameter files out and onto servers, commands, the firmware upgrade and
// the exit statuses.
#include "common/profile_file.h"
#include "tests/support/processes.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using testsupport::DevsimProcess;
using testsupport::runTool;

namespace {

const QString kCli = QStringLiteral(PELMAR_CLI_BIN);
const QString kDevsim = QStringLiteral(DEVSIM_BIN);
const QString kSending = QStringLiteral("正在发送配置请求...");
const QString kSaved = QStringLiteral("配置成功");
const QString kRefused = QStringLiteral("配置失败。请重新搜索设备，再试。");

// devsim's servers with the firmware upload's ports (69 and 6969) on free
// ones, so that simulators of tests running side by side stay apart.
struct Servers
{
    quint16 tftpPort = testsupport::freeUdpPort();
    DevsimProcess sim;

    explicit Servers(QStringList specs) : sim(kDevsim, withMaps(std::move(specs), tftpPort)) {}
    static QStringList withMaps(QStringList specs, quint16 tftp)
    {
        QStringList args{QStringLiteral("--map"), QStringLiteral("69=%1").arg(tftp), QStringLiteral("--map"),
                         QStringLiteral("6969=%1").arg(testsupport::freeUdpPort())};
        for (const QString &s : specs)
            args << QStringLiteral("--server") << s;
        return args;
    }
    QString mac(int i) { return sim.macs().value(i); }

    // The command with the simulator's ports; the search goes to devsim's hub
    // (which stands for the broadcast address) unless the arguments sweep.
    QStringList args(QStringList a) const
    {
        if (!a.contains(QStringLiteral("--sweep")))
            a << QStringLiteral("--broadcast") << QStringLiteral("127.0.0.1");
        return a << QStringLiteral("--port") << QString::number(sim.port) << QStringLiteral("--local-port")
                 << QStringLiteral("0") << QStringLiteral("--wait") << QStringLiteral("300")
                 << QStringLiteral("--tftp-port") << QString::number(tftpPort);
    }
    testsupport::ToolRun run(QStringList a) const { return runTool(kCli, args(std::move(a))); }
};

QStringList lines(const QString &text)
{
    return text.trimmed().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
QString quoted(const testsupport::ToolRun &r)
{
    return QStringLiteral("out: %1\nerr: %2").arg(r.out, r.err);
}

// A device value as devsim holds it, as text up to its first zero.
QByteArray text(DevsimProcess &sim, const QString &mac, const QString &path)
{
    const QByteArray v = sim.get(mac, path);
    return v.left(v.indexOf('\0') < 0 ? v.size() : v.indexOf('\0'));
}
int number(DevsimProcess &sim, const QString &mac, const QString &path)
{
    int v = 0;
    for (char c : sim.get(mac, path))
        v = v << 8 | std::uint8_t(c);
    return v;
}

QByteArray section(int port)
{
    return "*****************Port" + QByteArray::number(port) + "*****************";
}
const QByteArray kDeviceSection = "*****************Device****************";

} // namespace

TEST(PelmarCli, SearchListsShortFrameAndRecordServersOnceReadWhole)
{
    Servers s({QStringLiteral("count=1,family=short,ports=4"), QStringLiteral("family=multi2326,ports=24"),
               QStringLiteral("family=wifi292")});
    ASSERT_TRUE(s.sim.ready);
    const auto table = s.run({QStringLiteral("search")});
    ASSERT_EQ(table.exitCode, 0) << quoted(table).toStdString();
    const QStringList rows = lines(table.out);
    ASSERT_EQ(rows.size(), 4) << quoted(table).toStdString();
    EXPECT_EQ(rows[0], QStringLiteral("设备IP\tMAC地址\t固件版本\t硬件版本\t端口数\t记录格式"));
    EXPECT_EQ(rows[1], QStringLiteral("127.0.0.2\t%1\tV043\tS410\t4\tshort").arg(s.mac(0)));
    EXPECT_EQ(rows[2], QStringLiteral("127.0.0.3\t%1\tV5.2\tVN30\t24\tmulti2326").arg(s.mac(1)));
    EXPECT_EQ(
        rows[3],
        QStringLiteral("127.0.0.4\t%1\tV5.2\tW110\t2\twifi292").arg(s.mac(2))); // '1' counts as two ports
    // The short-frame server was read item by item, through to its last port, before it was listed.
    EXPECT_GT(s.sim.counter(s.mac(0), QStringLiteral("reads")), 20);
    EXPECT_TRUE(table.err.isEmpty()) << table.err.toStdString();

    const auto json =
        s.run({QStringLiteral("search"), QStringLiteral("--sweep"), QStringLiteral("127.0.0.255"),
               QStringLiteral("--json"), QStringLiteral("--lang"), QStringLiteral("en")});
    ASSERT_EQ(json.exitCode, 0) << quoted(json).toStdString();
    const QJsonArray servers = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(servers.size(), 3) << json.out.toStdString();
    QStringList families;
    for (const auto &v : servers) {
        const QJsonObject o = v.toObject();
        families << o[QStringLiteral("family")].toString();
        EXPECT_TRUE(o[QStringLiteral("complete")].toBool());
    }
    EXPECT_EQ(families,
              (QStringList{QStringLiteral("short"), QStringLiteral("multi2326"), QStringLiteral("wifi292")}));
    EXPECT_EQ(servers[1].toObject()[QStringLiteral("ports")].toInt(), 24);
    EXPECT_EQ(servers[1].toObject()[QStringLiteral("hardware")].toString(), QStringLiteral("VN30"));
    EXPECT_EQ(servers[2].toObject()[QStringLiteral("ip")].toString(), QStringLiteral("127.0.0.4"));
    EXPECT_EQ(servers[0].toObject()[QStringLiteral("mac")].toString(), s.mac(0));
    // The sweep asked each host by itself.
    EXPECT_GE(s.sim.counter(s.mac(2), QStringLiteral("searches")), 2);
}

TEST(PelmarCli, SearchInventoryCarriesEachServerAsCsvAndJson)
{
    Servers s({QStringLiteral("count=1,family=short,ports=4"),
               QStringLiteral("family=multi2326,ports=24,firmware=V6.1,hardware=VN31")});
    ASSERT_TRUE(s.sim.ready);
    // address, model (the hardware version the list shows), firmware; the servers report no name.
    const QStringList expected[] = {
        {QStringLiteral("127.0.0.2"), s.mac(0), QStringLiteral("S410"), QStringLiteral("V043"), QString()},
        {QStringLiteral("127.0.0.3"), s.mac(1), QStringLiteral("VN31"), QStringLiteral("V6.1"), QString()},
    };
    // On the adapter named, the CSV; on every address, the JSON.
    const auto csv = s.run({QStringLiteral("search"), QStringLiteral("--csv"), QStringLiteral("--adapter"),
                            QStringLiteral("127.0.0.1")});
    ASSERT_EQ(csv.exitCode, 0) << quoted(csv).toStdString();
    const QStringList rows = csv.out.split(QStringLiteral("\r\n"));
    ASSERT_EQ(rows.size(), 4)
        << quoted(csv).toStdString(); // header, two rows, the empty rest after the last CRLF
    EXPECT_EQ(rows[0], QStringLiteral("address,mac,model,firmware,name,adapter"));
    const auto json = s.run({QStringLiteral("search"), QStringLiteral("--inventory-json")});
    ASSERT_EQ(json.exitCode, 0) << quoted(json).toStdString();
    const QJsonArray objects = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(objects.size(), 2) << json.out.toStdString();
    const QStringList keys{QStringLiteral("address"), QStringLiteral("mac"), QStringLiteral("model"),
                           QStringLiteral("firmware"), QStringLiteral("name")};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(rows[i + 1],
                  (expected[i] + QStringList{QStringLiteral("127.0.0.1")}).join(QLatin1Char(',')));
        const QJsonObject o = objects[i].toObject();
        for (int k = 0; k < keys.size(); ++k)
            EXPECT_EQ(o[keys[k]].toString(), expected[i][k]) << keys[k].toStdString();
        EXPECT_EQ(o[QStringLiteral("adapter")].toString(), QStringLiteral("0.0.0.0"));
    }
    EXPECT_EQ(s.run({QStringLiteral("search"), QStringLiteral("--inventory-json"), QStringLiteral("--json")})
                  .exitCode,
              2);
}

TEST(PelmarCli, ExportWritesTheServersParameterFile)
{
    Servers s({QStringLiteral("count=1,family=short,ports=4")});
    ASSERT_TRUE(s.sim.ready);
    const QString mac = s.mac(0);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.ini"));
    const auto exported =
        s.run({QStringLiteral("export"), QStringLiteral("--mac"),
               mac.toLower().replace(QLatin1Char('-'), QLatin1Char(':')), QStringLiteral("--out"), file});
    ASSERT_EQ(exported.exitCode, 0) << quoted(exported).toStdString();
    EXPECT_EQ(exported.out.trimmed(), file);

    const kyvo::ProfileFile ini = kyvo::ProfileFile::load(file);
    EXPECT_EQ(ini.sectionNames(),
              (QList<QByteArray>{"Info", kDeviceSection, section(1), section(2), section(3), section(4)}));
    EXPECT_EQ(ini.getString("Info", "HardwareVersion"), text(s.sim, mac, QStringLiteral("hardware")));
    EXPECT_EQ(ini.getString(kDeviceSection, "MAC"), mac.toLatin1());
    EXPECT_EQ(ini.getString(kDeviceSection, "IpAddress"), "127.0.0.2");
    EXPECT_EQ(ini.getString(kDeviceSection, "Password"), text(s.sim, mac, QStringLiteral("password")));
    // The last port was read too: its values are the server's own, lists as their texts.
    const QByteArray baud[] = {"",      "600",   "1200",  "2400",  "4800",  "9600",
                               "14400", "19200", "38400", "56000", "57600", "115200"};
    const QByteArray modes[] = {"", "TCP_SERVER", "TCP_CLIENT", "UDP_SERVER", "UDP_CLIENT"};
    for (int port = 1; port <= 4; ++port) {
        SCOPED_TRACE(port);
        const auto key = [port](const char *name) {
            return QStringLiteral("port%1.%2").arg(port).arg(QLatin1String(name));
        };
        EXPECT_EQ(ini.getInt(section(port), "LocalPort"), number(s.sim, mac, key("localport")));
        EXPECT_EQ(ini.getString(section(port), "RemoteIp"), text(s.sim, mac, key("host")));
        EXPECT_EQ(ini.getString(section(port), "BitRate"), baud[number(s.sim, mac, key("baud"))]);
        EXPECT_EQ(ini.getString(section(port), "WorkMode"), modes[number(s.sim, mac, key("workmode"))]);
        EXPECT_EQ(ini.getString(section(port), "HeartbeatData"), text(s.sim, mac, key("hbdata")));
    }

    // A folder: the file gets its proposed name there.
    const auto intoFolder =
        s.run({QStringLiteral("export"), QStringLiteral("--mac"), mac, QStringLiteral("--out"), dir.path()});
    ASSERT_EQ(intoFolder.exitCode, 0) << quoted(intoFolder).toStdString();
    EXPECT_EQ(QFileInfo(intoFolder.out.trimmed()).dir(), QDir(dir.path()));
    EXPECT_TRUE(intoFolder.out.trimmed().endsWith(QStringLiteral(".ini")));
    EXPECT_EQ(kyvo::ProfileFile::load(intoFolder.out.trimmed()).serialize(), ini.serialize());

    // An existing file is replaced only when asked to: a named one before the search, one in a folder after
    // it.
    const long long searches = s.sim.counter(mac, QStringLiteral("searches"));
    const auto named =
        s.run({QStringLiteral("export"), QStringLiteral("--mac"), mac, QStringLiteral("--out"), file});
    EXPECT_EQ(named.exitCode, 2) << quoted(named).toStdString();
    EXPECT_EQ(s.sim.counter(mac, QStringLiteral("searches")), searches);
    QFile::resize(intoFolder.out.trimmed(), 3);
    const auto again =
        s.run({QStringLiteral("export"), QStringLiteral("--mac"), mac, QStringLiteral("--out"), dir.path()});
    EXPECT_EQ(again.exitCode, 1) << quoted(again).toStdString();
    EXPECT_TRUE(again.err.contains(QStringLiteral("--force"))) << again.err.toStdString();
    EXPECT_EQ(QFileInfo(intoFolder.out.trimmed()).size(), 3);
    const auto forced = s.run({QStringLiteral("export"), QStringLiteral("--mac"), mac,
                               QStringLiteral("--out"), dir.path(), QStringLiteral("--force")});
    EXPECT_EQ(forced.exitCode, 0) << quoted(forced).toStdString();
    EXPECT_EQ(kyvo::ProfileFile::load(intoFolder.out.trimmed()).serialize(), ini.serialize());
}

TEST(PelmarCli, ApplyPutsAFilesSettingsOntoAServerWithBothSaves)
{
    Servers s({QStringLiteral("count=2,family=short,ports=4"), QStringLiteral("family=wifi362,register=1")});
    ASSERT_TRUE(s.sim.ready);
    const QString a = s.mac(0), b = s.mac(1), wifi = s.mac(2);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.ini"));
    ASSERT_EQ(
        s.run({QStringLiteral("export"), QStringLiteral("--mac"), a, QStringLiteral("--out"), file}).exitCode,
        0);
    kyvo::ProfileFile ini = kyvo::ProfileFile::load(file);
    ini.setString(kDeviceSection, "Username", "oper");
    ini.setString(kDeviceSection, "IpAddress", "127.0.0.77");
    ini.setString(section(2), "BitRate", "57600");
    ini.setString(section(1), "LocalPort", "5001");
    ini.setString(section(3), "RemoteIp", "10.1.2.3");
    ini.setString(section(4), "HeartbeatData", "ALIVE");
    ASSERT_TRUE(ini.save(file));

    const auto applied =
        s.run({QStringLiteral("apply"), QStringLiteral("--mac"), b, QStringLiteral("--ini"), file});
    EXPECT_EQ(applied.exitCode, 0) << quoted(applied).toStdString();
    EXPECT_EQ(lines(applied.out), (QStringList{kSending, kSaved, kSending, kSaved}));
    EXPECT_EQ(text(s.sim, b, QStringLiteral("user")), "oper");
    EXPECT_EQ(s.sim.get(b, QStringLiteral("ip")), QByteArray::fromHex("7f00004d"));
    EXPECT_EQ(number(s.sim, b, QStringLiteral("port2.baud")), 10); // 57600
    EXPECT_EQ(number(s.sim, b, QStringLiteral("port1.localport")), 5001);
    EXPECT_EQ(text(s.sim, b, QStringLiteral("port3.host")), "10.1.2.3");
    EXPECT_EQ(text(s.sim, b, QStringLiteral("port4.hbdata")), "ALIVE");
    EXPECT_EQ(s.sim.get(b, QStringLiteral("mac")),
              QByteArray::fromHex(b.toLatin1().replace('-', ""))); // B keeps its MAC
    EXPECT_GT(s.sim.counter(b, QStringLiteral("commits")), 0);
    EXPECT_EQ(s.sim.counter(a, QStringLiteral("writes")), 0);

    // A record server takes the same file as whole-record writes (a file of more ports fits).
    const auto onWifi =
        s.run({QStringLiteral("apply"), QStringLiteral("--mac"), wifi, QStringLiteral("--ini"), file,
               QStringLiteral("--lang"), QStringLiteral("en")});
    EXPECT_EQ(onWifi.exitCode, 0) << quoted(onWifi).toStdString();
    EXPECT_EQ(lines(onWifi.out),
              (QStringList{QStringLiteral("Sending data..."), QStringLiteral("Successfully saved"),
                           QStringLiteral("Sending data..."), QStringLiteral("Successfully saved")}));
    EXPECT_EQ(s.sim.counter(wifi, QStringLiteral("record-writes")), 2);
    EXPECT_EQ(text(s.sim, wifi, QStringLiteral("user")), "oper");
    EXPECT_EQ(number(s.sim, wifi, QStringLiteral("port1.localport")), 5001);
}

TEST(PelmarCli, TheFilesTimeoutReachesTheTimeoutFieldOfEveryRecordFamily)
{
    Servers s({QStringLiteral("family=multi2326,ports=8,kind=0"), QStringLiteral("family=wifi292")});
    ASSERT_TRUE(s.sim.ready);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("m.ini"));
    ASSERT_EQ(
        s.run({QStringLiteral("export"), QStringLiteral("--mac"), s.mac(0), QStringLiteral("--out"), file})
            .exitCode,
        0);
    kyvo::ProfileFile ini = kyvo::ProfileFile::load(file);
    // The exported time-out is the port's time-out field, not the serial type's tens of ms.
    EXPECT_EQ(ini.getInt(section(1), "ModbusTimeout"),
              number(s.sim, s.mac(0), QStringLiteral("port1.timeout")));
    ini.setInt(section(1), "ModbusTimeout", 250);
    ASSERT_TRUE(ini.save(file));
    for (int i : {0, 1}) {
        SCOPED_TRACE(i);
        const int serialType = number(s.sim, s.mac(i), QStringLiteral("port1.serialtype"));
        const auto applied = s.run(
            {QStringLiteral("apply"), QStringLiteral("--mac"), s.mac(i), QStringLiteral("--ini"), file});
        ASSERT_EQ(applied.exitCode, 0) << quoted(applied).toStdString();
        EXPECT_EQ(number(s.sim, s.mac(i), QStringLiteral("port1.timeout")), 250);
        if (i == 0) { // the WiFi record has no serial type
            EXPECT_EQ(number(s.sim, s.mac(i), QStringLiteral("port1.serialtype")), serialType);
        }
    }
}

TEST(PelmarCli, AFileOfFewerPortsOrNoPortCountIsNotApplied)
{
    Servers s({QStringLiteral("count=1,family=short,ports=4"), QStringLiteral("family=wifi362,register=1")});
    ASSERT_TRUE(s.sim.ready);
    const QString shortServer = s.mac(0), wifi = s.mac(1);
    QTemporaryDir dir;
    const QString twoPorts = dir.filePath(QStringLiteral("wifi.ini"));
    ASSERT_EQ(
        s.run({QStringLiteral("export"), QStringLiteral("--mac"), wifi, QStringLiteral("--out"), twoPorts})
            .exitCode,
        0);
    const auto refused = s.run(
        {QStringLiteral("apply"), QStringLiteral("--mac"), shortServer, QStringLiteral("--ini"), twoPorts});
    EXPECT_EQ(refused.exitCode, 1) << quoted(refused).toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("端口数不匹配！"))) << refused.err.toStdString();
    EXPECT_EQ(s.sim.counter(shortServer, QStringLiteral("writes")), 0);

    // Without the Info section the file gives no port count: refused before anything is sent.
    const QString noInfo = dir.filePath(QStringLiteral("bad.ini"));
    kyvo::ProfileFile bad = kyvo::ProfileFile::load(twoPorts);
    bad.removeSection("Info");
    ASSERT_TRUE(bad.save(noInfo));
    const long long searches = s.sim.counter(shortServer, QStringLiteral("searches"));
    const auto invalid = s.run(
        {QStringLiteral("apply"), QStringLiteral("--mac"), shortServer, QStringLiteral("--ini"), noInfo});
    EXPECT_EQ(invalid.exitCode, 2);
    EXPECT_EQ(invalid.err.trimmed(), QStringLiteral("无效的配置文件!"));
    EXPECT_EQ(s.sim.counter(shortServer, QStringLiteral("searches")), searches);

    // A value the server cannot take: refused naming its key, nothing sent.
    kyvo::ProfileFile wrongValue = kyvo::ProfileFile::load(twoPorts);
    wrongValue.setString(section(2), "LocalPort", "99999999");
    ASSERT_TRUE(wrongValue.save(noInfo));
    const long long wifiSearches = s.sim.counter(wifi, QStringLiteral("searches"));
    const auto badValue =
        s.run({QStringLiteral("apply"), QStringLiteral("--mac"), wifi, QStringLiteral("--ini"), noInfo});
    EXPECT_EQ(badValue.exitCode, 2);
    EXPECT_EQ(badValue.err.trimmed(), QStringLiteral("无效的配置文件! LocalPort (PORT2)"));
    EXPECT_EQ(s.sim.counter(wifi, QStringLiteral("searches")), wifiSearches);

    // A file above 1 MiB is not read at all, whatever it starts with.
    QFile big(noInfo);
    ASSERT_TRUE(big.open(QIODevice::Append));
    big.write(QByteArray(kyvo::ProfileFile::kMaxFileBytes, ';'));
    big.close();
    const auto tooLarge =
        s.run({QStringLiteral("apply"), QStringLiteral("--mac"), wifi, QStringLiteral("--ini"), noInfo});
    EXPECT_EQ(tooLarge.exitCode, 2);
    EXPECT_TRUE(tooLarge.err.contains(QStringLiteral("超过 1 MiB"))) << tooLarge.err.toStdString();
    EXPECT_EQ(s.sim.counter(wifi, QStringLiteral("searches")), wifiSearches);
}

TEST(PelmarCli, ASaveTheServerRefusesFails)
{
    Servers s({QStringLiteral("count=1,family=short,ports=4")});
    ASSERT_TRUE(s.sim.ready);
    const QString mac = s.mac(0);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.ini"));
    ASSERT_EQ(s.run({QStringLiteral("export"), QStringLiteral("--mac"), mac, QStringLiteral("--out"), file})
                  .exitCode,
              0);
    ASSERT_TRUE(s.sim.control.command(QStringLiteral("knob %1 refuse 1").arg(mac)));
    const auto refused =
        s.run({QStringLiteral("apply"), QStringLiteral("--mac"), mac, QStringLiteral("--ini"), file});
    EXPECT_EQ(refused.exitCode, 1) << quoted(refused).toStdString();
    EXPECT_EQ(lines(refused.out), (QStringList{kSending, kRefused, kSending, kRefused}));
    EXPECT_GT(s.sim.counter(mac, QStringLiteral("refused")), 0);
}

TEST(PelmarCli, ASaveLeftUnansweredFails)
{
    Servers s({QStringLiteral("family=wifi362,register=1")});
    ASSERT_TRUE(s.sim.ready);
    const QString mac = s.mac(0);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.ini"));
    ASSERT_EQ(s.run({QStringLiteral("export"), QStringLiteral("--mac"), mac, QStringLiteral("--out"), file})
                  .exitCode,
              0);
    // Every second answer is lost from here on (the search repeats until
    // one comes through): of the two saves, whose answers are consecutive,
    // one goes unanswered.
    ASSERT_TRUE(s.sim.control.command(QStringLiteral("knob %1 drop-every 2").arg(mac)));
    const auto silent =
        s.run({QStringLiteral("apply"), QStringLiteral("--mac"), mac, QStringLiteral("--ini"), file});
    EXPECT_EQ(silent.exitCode, 1) << quoted(silent).toStdString();
    EXPECT_TRUE(silent.err.contains(QStringLiteral("no answer to the save"))) << silent.err.toStdString();
    EXPECT_EQ(s.sim.counter(mac, QStringLiteral("record-writes")), 2);
    EXPECT_GE(s.sim.counter(mac, QStringLiteral("dropped")), 1);
}

TEST(PelmarCli, RestartAndFactoryResetReachTheServer)
{
    Servers s(
        {QStringLiteral("count=1,family=native,ports=4"), QStringLiteral("count=1,family=short,ports=2")});
    ASSERT_TRUE(s.sim.ready);
    const QString native = s.mac(0), shortServer = s.mac(1);
    const auto restart =
        s.run({QStringLiteral("restart"), QStringLiteral("--mac"), native, QStringLiteral("--sweep"),
               QStringLiteral("127.0.0.255"), QStringLiteral("--lang"), QStringLiteral("en")});
    EXPECT_EQ(restart.exitCode, 0) << quoted(restart).toStdString();
    EXPECT_EQ(restart.out.trimmed(), QStringLiteral("Device Restart ") + native);
    EXPECT_EQ(s.sim.counter(native, QStringLiteral("restarts")), 1);
    EXPECT_EQ(s.sim.counter(native, QStringLiteral("resets")), 0);

    ASSERT_TRUE(s.sim.control.command(QStringLiteral("set %1 user 6f70657200000000").arg(shortServer)));
    const auto reset = s.run({QStringLiteral("reset"), QStringLiteral("--mac"), shortServer});
    EXPECT_EQ(reset.exitCode, 0) << quoted(reset).toStdString();
    EXPECT_EQ(reset.out.trimmed(), QStringLiteral("恢复出厂 ") + shortServer);
    EXPECT_EQ(s.sim.counter(shortServer, QStringLiteral("resets")), 1);
    EXPECT_EQ(text(s.sim, shortServer, QStringLiteral("user")), "admin"); // its factory value again
    EXPECT_EQ(s.sim.counter(native, QStringLiteral("resets")), 0);
}

TEST(PelmarCli, BadUsageAndUnknownServersHaveTheirExitStatuses)
{
    Servers s({QStringLiteral("count=2,family=short,ports=2")});
    ASSERT_TRUE(s.sim.ready);
    const QString a = s.mac(0), b = s.mac(1);
    const auto usage = [](const testsupport::ToolRun &r) {
        EXPECT_EQ(r.exitCode, 2) << quoted(r).toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("pelmar-cli: "))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    };
    usage(runTool(kCli, {QStringLiteral("restart")}));
    usage(runTool(kCli,
                  {QStringLiteral("restart"), QStringLiteral("--mac"), QStringLiteral("00-4B-5A-00-02")}));
    usage(runTool(kCli,
                  {QStringLiteral("reset"), QStringLiteral("--mac"), QStringLiteral("00-4B-5A-00-00-0G")}));
    usage(runTool(kCli, {QStringLiteral("frobnicate")}));
    usage(runTool(kCli, {}));
    usage(runTool(kCli, {QStringLiteral("search"), QStringLiteral("--broadcast"), QStringLiteral("127.0.0.1"),
                         QStringLiteral("--sweep"), QStringLiteral("127.0.0.255")}));
    usage(runTool(kCli, {QStringLiteral("search"), QStringLiteral("--sweep"), QStringLiteral("net-a")}));
    usage(runTool(kCli, {QStringLiteral("export"), QStringLiteral("--mac"), a}));
    usage(runTool(kCli, {QStringLiteral("export"), QStringLiteral("--mac"), a, QStringLiteral("--out"),
                         QStringLiteral("/nonexistent/a.ini")}));
    usage(runTool(kCli, {QStringLiteral("apply"), QStringLiteral("--mac"), a, QStringLiteral("--ini"),
                         QStringLiteral("/nonexistent.ini")}));
    usage(runTool(kCli, {QStringLiteral("search"), QStringLiteral("--port"), QStringLiteral("70000")}));
    for (const char *many : {"--model", "--parallel"})
        usage(runTool(kCli, {QStringLiteral("restart"), QStringLiteral("--mac"), a, QLatin1String(many),
                             QStringLiteral("2")}));
    EXPECT_EQ(s.sim.counter(a, QStringLiteral("searches")), 0); // none of these searched

    const auto help = runTool(kCli, {QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("usage: pelmar-cli")));

    EXPECT_EQ(s.run({QStringLiteral("restart"), QStringLiteral("--mac"), QStringLiteral("00-4B-5A-00-00-99")})
                  .exitCode,
              3);
    // A silent server does not answer the search either.
    ASSERT_TRUE(s.sim.control.command(QStringLiteral("knob %1 silent 1").arg(b)));
    const auto silent = s.run({QStringLiteral("reset"), QStringLiteral("--mac"), b});
    EXPECT_EQ(silent.exitCode, 3) << quoted(silent).toStdString();
    EXPECT_EQ(s.sim.counter(b, QStringLiteral("resets")), 0);
    EXPECT_EQ(s.run({QStringLiteral("restart"), QStringLiteral("--mac"), a}).exitCode, 0);
}

TEST(PelmarCli, UpgradeSendsTheImageByteForByte)
{
    Servers s({QStringLiteral("count=2,family=short,ports=2")});
    ASSERT_TRUE(s.sim.ready);
    const QString target = s.mac(1), other = s.mac(0);
    QByteArray image(3000, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((unsigned(i) * 2654435761u) >> 24);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("server.bin"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(image);
    f.close();

    const auto run =
        s.run({QStringLiteral("upgrade"), QStringLiteral("--mac"), target, QStringLiteral("--file"), path});
    ASSERT_EQ(run.exitCode, 0) << quoted(run).toStdString();
    const QStringList out = lines(run.out);
    EXPECT_EQ(out.first(), QStringLiteral("ping 127.0.0.3  1"));
    EXPECT_EQ(out.last(), QStringLiteral("Upgrade success"));
    EXPECT_TRUE(out.contains(QStringLiteral("1/6"))) << run.out.toStdString(); // the progress line
    EXPECT_EQ(s.sim.counter(target, QStringLiteral("upgrades")), 1); // it was told to enter the upgrade
    EXPECT_EQ(s.sim.get(target, QStringLiteral("firmware-md5")),
              QCryptographicHash::hash(image, QCryptographicHash::Md5));
    EXPECT_EQ(s.sim.get(target, QStringLiteral("firmware-tsize")), QByteArray::number(image.size()));
    EXPECT_EQ(s.sim.get(target, QStringLiteral("firmware-name")), "server.bin");
    EXPECT_EQ(s.sim.counter(other, QStringLiteral("upgrades")), 0);

    const auto missing = s.run({QStringLiteral("upgrade"), QStringLiteral("--mac"), target,
                                QStringLiteral("--file"), dir.filePath(QStringLiteral("none.bin"))});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err.trimmed(),
              dir.filePath(QStringLiteral("none.bin")) + QStringLiteral("无法打开文件"));
    // A file that cannot hold an image is refused before anything is sent.
    const QString oneByte = dir.filePath(QStringLiteral("one.bin"));
    QFile one(oneByte);
    ASSERT_TRUE(one.open(QIODevice::WriteOnly));
    one.write("x");
    one.close();
    const auto tiny = s.run(
        {QStringLiteral("upgrade"), QStringLiteral("--mac"), target, QStringLiteral("--file"), oneByte});
    EXPECT_EQ(tiny.exitCode, 2);
    EXPECT_EQ(tiny.err.trimmed(), QStringLiteral("文件太小，不是固件文件"));
    EXPECT_EQ(s.sim.counter(target, QStringLiteral("upgrades")), 1);
}

TEST(PelmarCli, WifiScanListsTheNetworksTheServerSees)
{
    Servers s({QStringLiteral("count=2,family=wifi362")});
    ASSERT_TRUE(s.sim.ready);
    const auto plain = s.run({QStringLiteral("wifi-scan"), QStringLiteral("--mac"), s.mac(0)});
    EXPECT_EQ(plain.exitCode, 0) << quoted(plain).toStdString();
    const QStringList names = lines(plain.out);
    ASSERT_GE(names.size(), 4) << quoted(plain).toStdString();
    EXPECT_EQ(names.first(), QStringLiteral("plant-floor-wifi"));
    EXPECT_TRUE(names.contains(QString::fromUtf8("仓库无线")));
    EXPECT_EQ(s.sim.counter(s.mac(0), QStringLiteral("wifi-scans")), 1);
    EXPECT_EQ(s.sim.counter(s.mac(1), QStringLiteral("wifi-scans")), 0);

    const auto json =
        s.run({QStringLiteral("wifi-scan"), QStringLiteral("--mac"), s.mac(0), QStringLiteral("--json")});
    EXPECT_EQ(json.exitCode, 0) << quoted(json).toStdString();
    const QJsonArray array = QJsonDocument::fromJson(json.out.toUtf8()).array();
    EXPECT_EQ(array.size(), names.size());
    EXPECT_EQ(array.first().toString(), names.first());
}

namespace {

// One settings command on port 2 of the server; `json` becomes the --in file of a set.
testsupport::ToolRun settings(const Servers &s, const QString &mac, const char *kind, const char *verb,
                              const QTemporaryDir &dir, const QByteArray &json = {})
{
    QStringList a{QString::fromLatin1(kind),       QString::fromLatin1(verb), QStringLiteral("--mac"), mac,
                  QStringLiteral("--serial-port"), QStringLiteral("2")};
    if (!json.isNull()) {
        const QString path = dir.filePath(QStringLiteral("in.json"));
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(json);
        a << QStringLiteral("--in") << path;
    } else {
        a << QStringLiteral("--json");
    }
    return s.run(a);
}

QJsonObject shown(const testsupport::ToolRun &r)
{
    return QJsonDocument::fromJson(r.out.toUtf8()).object();
}

} // namespace

TEST(PelmarCli, SettingsCommandsShowAndSetOneSerialPort)
{
    Servers s({QStringLiteral("family=multi2326,ports=24")});
    ASSERT_TRUE(s.sim.ready);
    const QString mac = s.mac(0);
    QTemporaryDir dir;
    struct Case
    {
        const char *kind;
        QByteArray in;
        const char *path;
        QByteArray stored;
        const char *key;
        QJsonValue value;
    };
    const Case cases[] = {
        {"mqtt", R"({"server": "broker.local", "port": 8883, "enabled": 1})", "port2.tlv.0a", "broker.local",
         "port", 8883},
        {"cache", R"({"periodS": 30, "enabled": 1})", "port2.tlv.5e", QByteArray(1, 30), "periodS", 30},
        {"heartbeat", R"({"enabled": 1, "packet": "41 42"})", "port2.tlv.60", "AB", "packet",
         QStringLiteral("41 42")},
    };
    for (const Case &c : cases) {
        const auto set = settings(s, mac, c.kind, "set", dir, c.in);
        ASSERT_EQ(set.exitCode, 0) << quoted(set).toStdString();
        EXPECT_EQ(set.out.trimmed(), QStringLiteral("保存成功"));
        EXPECT_EQ(s.sim.get(mac, QString::fromLatin1(c.path)), c.stored) << c.kind;
        const auto show = settings(s, mac, c.kind, "show", dir);
        ASSERT_EQ(show.exitCode, 0) << quoted(show).toStdString();
        EXPECT_EQ(shown(show).value(QString::fromLatin1(c.key)), c.value) << show.out.toStdString();
    }
    EXPECT_EQ(s.sim.get(mac, QStringLiteral("port1.tlv.0a")), "mqtt.example.net"); // port 1 untouched
}

TEST(PelmarCli, SettingsThatDoNotFitAreRefusedBeforeAnythingIsSent)
{
    Servers s({QStringLiteral("family=multi2326,ports=24")});
    ASSERT_TRUE(s.sim.ready);
    const QString mac = s.mac(0);
    QTemporaryDir dir;
    struct Case
    {
        const char *kind;
        QByteArray in;
        const char *message;
    };
    const Case cases[] = {
        {"mqtt", R"({"server": ")" + QByteArray(128, 's') + R"("})", "服务器IP长度超过128"},
        {"heartbeat", R"({"packet": "12G4"})", "Please type hex number"},
        {"heartbeat", R"({"packet": ")" + QByteArray(98, '3') + R"("})", "heartbead size < 48"},
        {"cache", R"({"periodS": 300})", "pelmar-cli: 'periodS' does not fit its setting"},
        {"mqtt", R"({"colour": 1})", "pelmar-cli: unknown setting 'colour'"},
    };
    for (const Case &c : cases) {
        const auto r = settings(s, mac, c.kind, "set", dir, c.in);
        EXPECT_EQ(r.exitCode, 2) << quoted(r).toStdString();
        EXPECT_EQ(r.err.trimmed(), QString::fromUtf8(c.message));
    }
    EXPECT_EQ(s.sim.counter(mac, QStringLiteral("datagrams-in")), 0);

    s.sim.control.command(QStringLiteral("knob %1 tlv-silent 1").arg(mac));
    const auto silent = settings(s, mac, "cache", "show", dir);
    EXPECT_EQ(silent.exitCode, 1) << quoted(silent).toStdString();
    EXPECT_EQ(silent.err.trimmed(), QStringLiteral("读取参数失败！"));
}

TEST(PelmarCli, ManyServersRunSideBySideAndEachOutcomeIsItsOwn)
{
    Servers s({QStringLiteral("count=3,family=short,ports=2")});
    ASSERT_TRUE(s.sim.ready);
    const QString a = s.mac(0), b = s.mac(1), c = s.mac(2);
    const auto restart =
        s.run({QStringLiteral("restart"), QStringLiteral("--all"), QStringLiteral("--parallel"),
               QStringLiteral("2"), QStringLiteral("--lang"), QStringLiteral("en")});
    EXPECT_EQ(restart.exitCode, 0) << quoted(restart).toStdString();
    EXPECT_EQ(restart.out.count(QStringLiteral("\tDevice Restart\t")), 3) << restart.out.toStdString();
    EXPECT_TRUE(restart.out.endsWith(QStringLiteral("3 devices: 3 succeeded, 0 failed\n")));
    for (const QString &mac : {a, b, c})
        EXPECT_EQ(s.sim.counter(mac, QStringLiteral("restarts")), 1);

    // One file onto two servers, the second refusing; a third MAC no server has.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.ini"));
    ASSERT_EQ(
        s.run({QStringLiteral("export"), QStringLiteral("--mac"), a, QStringLiteral("--out"), file}).exitCode,
        0);
    kyvo::ProfileFile ini = kyvo::ProfileFile::load(file);
    ini.setString(section(1), "LocalPort", "5002");
    ASSERT_TRUE(ini.save(file));
    ASSERT_TRUE(s.sim.control.command(QStringLiteral("knob %1 refuse 1").arg(c)));
    const auto applied = s.run({QStringLiteral("apply"), QStringLiteral("--mac"), b, QStringLiteral("--mac"),
                                c, QStringLiteral("--mac"), QStringLiteral("00-4B-5A-99-99-99"),
                                QStringLiteral("--ini"), file, QStringLiteral("--json")});
    EXPECT_EQ(applied.exitCode, 1) << quoted(applied).toStdString();
    const QStringList rows = lines(applied.out);
    ASSERT_EQ(rows.size(), 2) << applied.out.toStdString();
    for (const QString &row : rows) {
        const QJsonObject o = QJsonDocument::fromJson(row.toUtf8()).object();
        const bool refusing = o.value(QStringLiteral("mac")).toString() == c;
        EXPECT_EQ(o.value(QStringLiteral("ok")).toBool(), !refusing) << row.toStdString();
        EXPECT_EQ(o.value(QStringLiteral("text")).toString(),
                  refusing ? QStringLiteral("配置失败。请重新搜索设备，再试。") : kSaved);
    }
    EXPECT_TRUE(applied.err.contains(QStringLiteral("no server 00-4B-5A-99-99-99 answered")));
    EXPECT_TRUE(applied.err.contains(QStringLiteral("3 devices: 1 succeeded, 2 failed")));
    EXPECT_EQ(number(s.sim, b, QStringLiteral("port1.localport")), 5002);
}
