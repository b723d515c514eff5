// vorlet-cli against devsim over loopback: cross-router searches over
// 127.0.0.x (unicast only), export and quick set, commands and exit statuses.
#include "common/gbk_text.h"
#include "tests/support/loopback.h"
#include "tests/support/processes.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::DevsimProcess;
using testsupport::runTool;

namespace {

const QString kCli = QStringLiteral(VORLET_CLI_BIN);
const QString kDevsim = QStringLiteral(DEVSIM_BIN);

QStringList withRange(const DevsimProcess &sim, QStringList args)
{
    return args << QStringLiteral("--range") << QStringLiteral("127.0.0.2-127.0.0.9")
                << QStringLiteral("--port") << QString::number(sim.port);
}

// A firmware file of 20 header bytes, the firmware, then the web image's
// size and bytes; the firmware it carries.
QByteArray writeFirmwareFile(const QString &path)
{
    constexpr int kFirmware = 3000, kWeb = 700;
    QByteArray file(20, '\0');
    file[15] = 2;
    file[18] = char(kFirmware >> 8);
    file[19] = char(kFirmware & 0xFF);
    QByteArray firmware(kFirmware, '\0');
    for (int i = 0; i < kFirmware; ++i)
        firmware[i] = char(i * 7);
    file += firmware + QByteArray::fromHex("000002bc") + QByteArray(kWeb, 'w');
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(file);
    return firmware;
}

// What a gateway holds after the upgrade: the upgrade adds a kilobyte.
QByteArray upgradedMd5(const QByteArray &firmware)
{
    return QCryptographicHash::hash(firmware + QByteArray(1024, '\0'), QCryptographicHash::Md5);
}

} // namespace

TEST(VorletCli, SearchPrintsEveryGatewayAsATableAndAsJson)
{
    DevsimProcess sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("count=2,name=车间"),
                                QStringLiteral("--gateway"), QStringLiteral("count=1,can,version=V10109")});
    ASSERT_TRUE(sim.ready);
    const auto table = runTool(kCli, withRange(sim, {QStringLiteral("search")}));
    ASSERT_EQ(table.exitCode, 0) << table.err.toStdString();
    const QStringList lines = table.out.trimmed().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("SN\t设备IP\tMAC地址\t固件版本\t型号\t设备名称"));
    EXPECT_EQ(lines[1], QStringLiteral("1\t127.0.0.2\t00-4B-59-00-00-02\tV10112\tVG-211\t车间"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("3\t127.0.0.4\t00-4B-59-00-00-04\tV10109\tVG-211C\t")));

    const auto json = runTool(kCli, withRange(sim, {QStringLiteral("search"), QStringLiteral("--json"),
                                                    QStringLiteral("--lang"), QStringLiteral("en")}));
    ASSERT_EQ(json.exitCode, 0);
    const QJsonArray devices = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(devices.size(), 3);
    EXPECT_EQ(devices[2].toObject()[QStringLiteral("mac")].toString(), QStringLiteral("00-4B-59-00-00-04"));
    EXPECT_EQ(devices[0].toObject()[QStringLiteral("name")].toString(), QStringLiteral("车间"));
    EXPECT_EQ(devices[1].toObject()[QStringLiteral("ip")].toString(), QStringLiteral("127.0.0.3"));
}

TEST(VorletCli, SearchInventoryCarriesEachGatewayAsCsvAndJson)
{
    DevsimProcess sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("count=1,name=车间"),
                                QStringLiteral("--gateway"),
                                QStringLiteral("count=1,can,version=V10109,name=Line 2")});
    ASSERT_TRUE(sim.ready);
    const QStringList expected[] = {
        {QStringLiteral("127.0.0.2"), QStringLiteral("00-4B-59-00-00-02"), QStringLiteral("VG-211"),
         QStringLiteral("V10112"), QStringLiteral("车间")},
        {QStringLiteral("127.0.0.3"), QStringLiteral("00-4B-59-00-00-03"), QStringLiteral("VG-211C"),
         QStringLiteral("V10109"), QStringLiteral("Line 2")},
    };
    // On the adapter named, the CSV; on every address, the JSON.
    const auto csv =
        runTool(kCli, withRange(sim, {QStringLiteral("search"), QStringLiteral("--csv"),
                                      QStringLiteral("--adapter"), QStringLiteral("127.0.0.1")}));
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    const QStringList lines = csv.out.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4)
        << csv.out.toStdString(); // header, two rows, the empty rest after the last CRLF
    EXPECT_EQ(lines[0], QStringLiteral("address,mac,model,firmware,name,adapter"));
    const auto json =
        runTool(kCli, withRange(sim, {QStringLiteral("search"), QStringLiteral("--inventory-json")}));
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 2) << json.out.toStdString();
    const QStringList keys{QStringLiteral("address"), QStringLiteral("mac"), QStringLiteral("model"),
                           QStringLiteral("firmware"), QStringLiteral("name")};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(lines[i + 1],
                  (expected[i] + QStringList{QStringLiteral("127.0.0.1")}).join(QLatin1Char(',')));
        const QJsonObject o = rows[i].toObject();
        for (int k = 0; k < keys.size(); ++k)
            EXPECT_EQ(o[keys[k]].toString(), expected[i][k]) << keys[k].toStdString();
        EXPECT_EQ(o[QStringLiteral("adapter")].toString(), QStringLiteral("0.0.0.0"));
    }
    EXPECT_EQ(
        runTool(kCli, {QStringLiteral("search"), QStringLiteral("--csv"), QStringLiteral("--json")}).exitCode,
        2);
}

TEST(VorletCli, ExportAndQuickSetMoveOneGatewaysSettingsOntoAnother)
{
    DevsimProcess sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("2")});
    ASSERT_TRUE(sim.ready);
    const QString a = QStringLiteral("00-4B-59-00-00-02"), b = QStringLiteral("00:4b:59:00:00:03");
    // Give A settings of its own first.
    ASSERT_TRUE(
        sim.control.command(QStringLiteral("set %1 1A %2")
                                .arg(a, QString::fromLatin1(kyvo::toGbk(QStringLiteral("源网关")).toHex()))));
    ASSERT_TRUE(sim.control.command(QStringLiteral("set %1 40.01 0500080000320400").arg(a)));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.cfg"));
    const auto exported = runTool(kCli, withRange(sim, {QStringLiteral("export"), QStringLiteral("--mac"), a,
                                                        QStringLiteral("--out"), file}));
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(QFileInfo(file).size(), 69848);

    const auto set = runTool(kCli, withRange(sim, {QStringLiteral("quickset"), QStringLiteral("--mac"), b,
                                                   QStringLiteral("--in"), file}));
    EXPECT_EQ(set.exitCode, 0) << set.out.toStdString() << set.err.toStdString();
    EXPECT_EQ(set.out.trimmed().split(QLatin1Char('\n')),
              (QStringList{QStringLiteral("正在保存..."), QStringLiteral("保存成功,重启后生效！！！")}));
    EXPECT_EQ(sim.get(b, QStringLiteral("1A")), kyvo::toGbk(QStringLiteral("源网关")));
    EXPECT_EQ(sim.get(b, QStringLiteral("40.01")).at(0), 5);
    EXPECT_EQ(sim.get(b, QStringLiteral("16")), QByteArray::fromHex("004b59000003")); // B keeps its own MAC
    EXPECT_EQ(sim.counter(a, QStringLiteral("writes")), 0);
}

TEST(VorletCli, CommandsAndTheirExitStatuses)
{
    DevsimProcess sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("2")});
    ASSERT_TRUE(sim.ready);
    const QString a = QStringLiteral("00-4b-59-00-00-02"), b = QStringLiteral("00-4B-59-00-00-03");
    const auto restart = runTool(kCli, withRange(sim, {QStringLiteral("restart"), QStringLiteral("--mac"), a,
                                                       QStringLiteral("--lang"), QStringLiteral("en")}));
    EXPECT_EQ(restart.exitCode, 0) << restart.out.toStdString();
    EXPECT_EQ(sim.counter(a, QStringLiteral("restarts")), 1);
    EXPECT_EQ(
        runTool(kCli, withRange(sim, {QStringLiteral("deep-reset"), QStringLiteral("--mac"), a})).exitCode,
        0);
    EXPECT_EQ(sim.counter(a, QStringLiteral("deep-resets")), 1);

    ASSERT_TRUE(sim.control.command(QStringLiteral("knob %1 silent 1").arg(b)));
    // A silent device is not found; one that stops answering after the search times out.
    EXPECT_EQ(runTool(kCli, withRange(sim, {QStringLiteral("reset"), QStringLiteral("--mac"), b})).exitCode,
              3);
    EXPECT_EQ(runTool(kCli, withRange(sim, {QStringLiteral("restart"), QStringLiteral("--mac"),
                                            QStringLiteral("00-4B-59-00-00-99")}))
                  .exitCode,
              3);

    EXPECT_EQ(runTool(kCli, {QStringLiteral("restart")}).exitCode, 2);
    EXPECT_EQ(runTool(kCli, {QStringLiteral("frobnicate")}).exitCode, 2);
    EXPECT_EQ(runTool(kCli, {QStringLiteral("search"), QStringLiteral("--range"),
                             QStringLiteral("10.0.0.9-10.0.0.1")})
                  .exitCode,
              2);
    EXPECT_EQ(runTool(kCli, {QStringLiteral("quickset"), QStringLiteral("--mac"), a, QStringLiteral("--in"),
                             QStringLiteral("/nonexistent.cfg")})
                  .exitCode,
              2);
    const auto help = runTool(kCli, {QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("usage: vorlet-cli")));
}

TEST(VorletCli, ASaveThatIsNotAnsweredFails)
{
    DevsimProcess sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("1")});
    ASSERT_TRUE(sim.ready);
    const QString a = QStringLiteral("00-4B-59-00-00-02");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.cfg"));
    ASSERT_EQ(runTool(kCli, withRange(sim, {QStringLiteral("export"), QStringLiteral("--mac"), a,
                                            QStringLiteral("--out"), file}))
                  .exitCode,
              0);
    ASSERT_TRUE(
        sim.control.command(QStringLiteral("knob %1 refuse 1").arg(a))); // takes the write, never answers
    const auto set = runTool(
        kCli, withRange(sim, {QStringLiteral("quickset"), QStringLiteral("--mac"), a, QStringLiteral("--in"),
                              file, QStringLiteral("--lang"), QStringLiteral("en")}));
    EXPECT_EQ(set.exitCode, 1);
    EXPECT_TRUE(set.out.contains(QStringLiteral("SAVE Failed."))) << set.out.toStdString();
}

TEST(VorletCli, UpgradeSendsTheImageWithAProgressLine)
{
    DevsimProcess sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("1")});
    ASSERT_TRUE(sim.ready);
    const QString mac = QStringLiteral("00-4B-59-00-00-02");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gw.bin"));
    const QByteArray firmware = writeFirmwareFile(path);

    const auto run = runTool(kCli, withRange(sim, {QStringLiteral("upgrade"), QStringLiteral("--mac"), mac,
                                                   QStringLiteral("--file"), path}));
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const QStringList lines = run.out.trimmed().split(QLatin1Char('\n'));
    // Not a terminal: one progress line per tenth, the last one whole.
    EXPECT_GE(lines.filter(QRegularExpression(QStringLiteral("^\\d+/\\d+$"))).size(), 2)
        << run.out.toStdString();
    EXPECT_EQ(lines.last(), QStringLiteral("升级成功"));
    EXPECT_EQ(sim.get(mac, QStringLiteral("firmware-md5")), upgradedMd5(firmware));

    EXPECT_EQ(runTool(kCli, withRange(sim, {QStringLiteral("restart"), QStringLiteral("--mac"), mac,
                                            QStringLiteral("--port"), QStringLiteral("70000")}))
                  .exitCode,
              2);
}

TEST(VorletCli, AnImageTheGatewayDidNotVerifyFailsItsUpgrade)
{
    DevsimProcess sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("2")});
    ASSERT_TRUE(sim.ready);
    const QString a = QStringLiteral("00-4B-59-00-00-02");
    ASSERT_TRUE(sim.control.command(QStringLiteral("knob %1 fota-unverified 1").arg(a)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gw.bin"));
    writeFirmwareFile(path);
    const auto one = runTool(kCli, withRange(sim, {QStringLiteral("upgrade"), QStringLiteral("--mac"), a,
                                                   QStringLiteral("--file"), path}));
    EXPECT_EQ(one.exitCode, 1) << one.out.toStdString() << one.err.toStdString();
    const auto all =
        runTool(kCli, withRange(sim, {QStringLiteral("upgrade"), QStringLiteral("--all"),
                                      QStringLiteral("--file"), path, QStringLiteral("--json")}));
    EXPECT_EQ(all.exitCode, 1);
    for (const QString &line : all.out.trimmed().split(QLatin1Char('\n'))) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        EXPECT_EQ(o[QStringLiteral("ok")].toBool(), o[QStringLiteral("mac")].toString() != a)
            << line.toStdString();
    }
}

TEST(VorletCli, ABatchUpgradesEveryGatewayAndReportsEachAsItFinishes)
{
    DevsimProcess sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("3")});
    ASSERT_TRUE(sim.ready);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gw.bin"));
    const QByteArray firmware = writeFirmwareFile(path);
    const auto run =
        runTool(kCli, withRange(sim, {QStringLiteral("upgrade"), QStringLiteral("--all"),
                                      QStringLiteral("--parallel"), QStringLiteral("2"),
                                      QStringLiteral("--file"), path, QStringLiteral("--json")}));
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const QStringList lines = run.out.trimmed().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4) << run.out.toStdString();
    for (int i = 0; i < 3; ++i) {
        const QJsonObject o = QJsonDocument::fromJson(lines[i].toUtf8()).object();
        EXPECT_TRUE(o[QStringLiteral("ok")].toBool()) << lines[i].toStdString();
        EXPECT_EQ(o[QStringLiteral("text")].toString(), QStringLiteral("升级成功"));
        EXPECT_EQ(sim.get(o[QStringLiteral("mac")].toString(), QStringLiteral("firmware-md5")),
                  upgradedMd5(firmware));
    }
    EXPECT_EQ(lines[3], QStringLiteral("3 devices: 3 succeeded, 0 failed"));

    // Nothing is sent unless every named gateway answered.
    const auto missing =
        runTool(kCli, withRange(sim, {QStringLiteral("restart"), QStringLiteral("--mac"),
                                      QStringLiteral("00-4B-59-00-00-02"), QStringLiteral("--mac"),
                                      QStringLiteral("00-4B-59-00-00-99")}));
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("00-4B-59-00-00-99"))) << missing.err.toStdString();
    EXPECT_EQ(sim.counter(QStringLiteral("00-4B-59-00-00-02"), QStringLiteral("restarts")), 0);
}

TEST(VorletCliMaintenance, InfoBackupAndCustomDefaults)
{
    DevsimProcess sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("1")});
    ASSERT_TRUE(sim.ready);
    const QString a = QStringLiteral("00-4B-59-00-00-02");
    const auto info = runTool(
        kCli, withRange(sim, {QStringLiteral("info"), QStringLiteral("--mac"), a, QStringLiteral("--json")}));
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    const QJsonObject report = QJsonDocument::fromJson(info.out.toUtf8()).object();
    EXPECT_EQ(report[QStringLiteral("memory")].toString(),
              QStringLiteral("Total Memery:2048 kb Free Memery:1024 kb(1048576)"));
    EXPECT_TRUE(report[QStringLiteral("info")].toString().contains(QStringLiteral("query: 1")));

    const quint16 imagePort = testsupport::freeUdpPort();
    ASSERT_TRUE(sim.control.command(QStringLiteral("knob %1 image-port %2").arg(a).arg(imagePort)));
    ASSERT_TRUE(sim.control.command(QStringLiteral("knob %1 image-blocks 3").arg(a)));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("hx-bk-cfg.bin"));
    const auto backup =
        runTool(kCli, withRange(sim, {QStringLiteral("backup"), QStringLiteral("--mac"), a, file,
                                      QStringLiteral("--image-port"), QString::number(imagePort)}));
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    QFile image(file);
    ASSERT_TRUE(image.open(QIODevice::ReadOnly));
    EXPECT_EQ(image.size(), 3072);
    EXPECT_EQ(image.readAll(), sim.get(a, QStringLiteral("image")));

    for (const char *op : {"save", "clear"}) {
        const auto r = runTool(kCli, withRange(sim, {QStringLiteral("custom-defaults"),
                                                     QString::fromLatin1(op), QStringLiteral("--mac"), a}));
        EXPECT_EQ(r.exitCode, 0) << op << r.err.toStdString();
        EXPECT_EQ(r.out.trimmed(), QStringLiteral("操作成功"));
    }
    EXPECT_EQ(sim.counter(a, QStringLiteral("custom-saves")), 1);
    EXPECT_EQ(sim.counter(a, QStringLiteral("custom-clears")), 1);
    EXPECT_EQ(sim.get(a, QStringLiteral("B8")).left(2).toHex(), "8800");
    ASSERT_TRUE(sim.control.command(QStringLiteral("knob %1 refuse 1").arg(a)));
    const auto refused = runTool(
        kCli, withRange(sim, {QStringLiteral("custom-defaults"), QStringLiteral("save"),
                              QStringLiteral("--mac"), a, QStringLiteral("--lang"), QStringLiteral("en")}));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out.trimmed(), QStringLiteral("Operation failed"));
    EXPECT_EQ(
        runTool(kCli, {QStringLiteral("custom-defaults"), QStringLiteral("keep"), QStringLiteral("--mac"), a})
            .exitCode,
        2);
    EXPECT_EQ(runTool(kCli, {QStringLiteral("backup"), QStringLiteral("--mac"), a}).exitCode, 2);
}

TEST(VorletCliMaintenance, WifiScanAndTlsUpload)
{
    DevsimProcess sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("count=1,wifi")});
    ASSERT_TRUE(sim.ready);
    const QString a = QStringLiteral("00-4B-59-00-00-02");
    const auto scan = runTool(kCli, withRange(sim, {QStringLiteral("wifi-scan"), QStringLiteral("--mac"), a,
                                                    QStringLiteral("--json")}));
    ASSERT_EQ(scan.exitCode, 0) << scan.err.toStdString();
    const QJsonArray networks = QJsonDocument::fromJson(scan.out.toUtf8()).array();
    ASSERT_EQ(networks.size(), 6);
    EXPECT_EQ(networks[3].toObject()[QStringLiteral("ssid")].toString(), QStringLiteral("访客网络"));
    EXPECT_EQ(networks[3].toObject()[QStringLiteral("auth")].toString(), QStringLiteral("WIFI_AUTH_OPEN"));

    QTemporaryDir dir;
    const auto write = [&](const char *name, const QByteArray &data) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        f.open(QIODevice::WriteOnly);
        f.write(data);
        return f.fileName();
    };
    const QByteArray ca(1200, 'c'), key(300, 'k');
    const QString caPath = write("ca.crt", ca), keyPath = write("client.key", key);
    const auto upload = runTool(
        kCli, withRange(sim, {QStringLiteral("tls"), QStringLiteral("upload"), QStringLiteral("--mac"), a,
                              QStringLiteral("--ca"), caPath, QStringLiteral("--key"), keyPath}));
    ASSERT_EQ(upload.exitCode, 0) << upload.err.toStdString();
    EXPECT_EQ(upload.out.trimmed(), QStringLiteral("保存成功"));
    EXPECT_EQ(sim.get(a, QStringLiteral("tls.bundle")), ca + QByteArray("\0;\0;", 4) + key);
    EXPECT_EQ(sim.get(a, QStringLiteral("73")).mid(1, 2).toHex(), "d010"); // 1200 times 0x63 wraps to 0xd010

    // Refused before anything is sent: a file over 4000 bytes, and a key by broadcast.
    const QString huge = write("huge.crt", QByteArray(4001, 'h'));
    EXPECT_EQ(runTool(kCli, withRange(sim, {QStringLiteral("tls"), QStringLiteral("upload"),
                                            QStringLiteral("--mac"), a, QStringLiteral("--ca"), huge}))
                  .exitCode,
              2);
    EXPECT_EQ(runTool(kCli, {QStringLiteral("tls"), QStringLiteral("upload"), QStringLiteral("--mac"), a,
                             QStringLiteral("--ca"), caPath, QStringLiteral("--key"), keyPath})
                  .exitCode,
              2);
    EXPECT_EQ(sim.counter(a, QStringLiteral("tls-uploads")), 1);
}

TEST(VorletCli, BadArgumentsAndUnusableFilesAreRefusedBeforeAnythingIsSent)
{
    DevsimProcess sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("1")});
    ASSERT_TRUE(sim.ready);
    const QString a = QStringLiteral("00-4B-59-00-00-02");
    QTemporaryDir dir;
    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const QString none = dir.filePath(QStringLiteral("none.bin"));
    QByteArray noImage(24, '\0'); // a header declaring empty firmware and web images
    noImage[15] = 2;
    struct Case
    {
        QStringList args;
        int exitCode;
        QString err; // the start of standard error
    };
    const Case cases[] = {
        {{QStringLiteral("search"), QStringLiteral("--wait"), QStringLiteral("abc")},
         2,
         QStringLiteral("vorlet-cli: --wait takes milliseconds")},
        {{QStringLiteral("search"), QStringLiteral("--wait"), QStringLiteral("-5")},
         2,
         QStringLiteral("vorlet-cli: --wait takes milliseconds")},
        {{QStringLiteral("search"), QStringLiteral("--adapter"), QStringLiteral("192.0.2.1")},
         1,
         QStringLiteral("vorlet-cli: cannot bind 192.0.2.1:0")},
        {{QStringLiteral("search"), QStringLiteral("--adapter"), QStringLiteral("every")},
         2,
         QStringLiteral("vorlet-cli: --adapter takes an IPv4 address or all")},
        {{QStringLiteral("export"), QStringLiteral("--mac"), a, QStringLiteral("--out"),
          dir.filePath(QStringLiteral("missing/a.cfg"))},
         2,
         QStringLiteral("vorlet-cli: no folder for '%1'").arg(dir.filePath(QStringLiteral("missing/a.cfg")))},
        {{QStringLiteral("upgrade"), QStringLiteral("--mac"), a, QStringLiteral("--file"), none},
         2,
         QStringLiteral("vorlet-cli: %1: can not open!!!").arg(none)},
        {{QStringLiteral("upgrade"), QStringLiteral("--mac"), a, QStringLiteral("--file"),
          write("empty.bin", noImage), QStringLiteral("--lang"), QStringLiteral("en")},
         2,
         QStringLiteral("vorlet-cli: %1: The file holds no firmware image")
             .arg(dir.filePath(QStringLiteral("empty.bin")))},
        {{QStringLiteral("quickset"), QStringLiteral("--mac"), a, QStringLiteral("--in"),
          write("ini.cfg", QByteArray(930, 'x'))},
         2,
         QStringLiteral("vorlet-cli: %1 只有 930 字节").arg(dir.filePath(QStringLiteral("ini.cfg")))},
    };
    for (const Case &c : cases) {
        const auto r = runTool(kCli, withRange(sim, c.args));
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.startsWith(c.err)) << r.err.toStdString();
    }
    EXPECT_EQ(sim.counter(a, QStringLiteral("searches")), 0); // none of them searched
}

TEST(VorletCli, QuickSetTakesAPartialFileOnlyWhenAskedAndNeverAnUnusableAddress)
{
    DevsimProcess sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("1")});
    ASSERT_TRUE(sim.ready);
    const QString a = QStringLiteral("00-4B-59-00-00-02");
    QTemporaryDir dir;
    const QString whole = dir.filePath(QStringLiteral("a.cfg"));
    ASSERT_EQ(runTool(kCli, withRange(sim, {QStringLiteral("export"), QStringLiteral("--mac"), a,
                                            QStringLiteral("--out"), whole}))
                  .exitCode,
              0);
    QFile f(whole);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray record = f.readAll();
    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile out(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return out.fileName();
    };
    const auto quickSet = [&](const QString &file, bool partial) {
        QStringList args{QStringLiteral("quickset"), QStringLiteral("--mac"), a, QStringLiteral("--in"),
                         file};
        if (partial) args << QStringLiteral("--partial");
        return runTool(kCli, withRange(sim, args));
    };
    const auto part = quickSet(write("part.cfg", record.left(930)), true);
    EXPECT_EQ(part.exitCode, 0) << part.err.toStdString();
    EXPECT_EQ(sim.counter(a, QStringLiteral("writes")), 1);

    QByteArray badMask = record;
    badMask[10] = '\0'; // 255.0.255.0
    const auto mask = quickSet(write("mask.cfg", badMask), false);
    EXPECT_EQ(mask.exitCode, 2);
    EXPECT_EQ(mask.err.trimmed(),
              QStringLiteral("vorlet-cli: 配置文件中的子网掩码 255.0.255.0 不可用，未发送任何数据。"));
    const auto zeros = quickSet(write("zeros.cfg", QByteArray(100, '\0')), true);
    EXPECT_EQ(zeros.exitCode, 2);
    EXPECT_TRUE(zeros.err.contains(QStringLiteral("0.0.0.0"))) << zeros.err.toStdString();
    EXPECT_EQ(sim.counter(a, QStringLiteral("writes")), 1);
}

TEST(VorletCli, ASearchBeyondTheListsRoomSaysHowManyWereNotListedAndFails)
{
    DevsimProcess sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("1")});
    ASSERT_TRUE(sim.ready);
    ASSERT_TRUE(sim.control.command(QStringLiteral("knob 00-4B-59-00-00-02 clones 600")));
    const auto r = runTool(kCli, withRange(sim, {QStringLiteral("search")}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.trimmed().split(QLatin1Char('\n')).size(), 1 + 512);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("vorlet-cli: 另有 89 台网关应答，未列出（列表最多 512 台）"));
}
