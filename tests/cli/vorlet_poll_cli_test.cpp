// vorlet-cli poll against devsim over loopback: a table shown as text and
// JSON, applied back from a file, and files that are refused before
// anything is sent.
#include "common/gbk_text.h"
#include "tests/support/processes.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using testsupport::DevsimProcess;
using testsupport::runTool;

namespace {

const QString kCli = QStringLiteral(VORLET_CLI_BIN);
const QString kDevsim = QStringLiteral(DEVSIM_BIN);
const QString kSerial = QStringLiteral("00-4B-59-00-00-02");
const QString kCan = QStringLiteral("00-4B-59-00-00-03");

struct PollCli
{
    PollCli()
        : sim(kDevsim, {QStringLiteral("--gateway"), QStringLiteral("count=1,poll=4"),
                        QStringLiteral("--gateway"), QStringLiteral("count=1,can")})
    {
        // The tool's settings (the names' encoding) from an empty folder.
        qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    }
    testsupport::ToolRun run(QStringList args)
    {
        return runTool(kCli, args << QStringLiteral("--range") << QStringLiteral("127.0.0.2-127.0.0.3")
                                  << QStringLiteral("--port") << QString::number(sim.port));
    }
    QString write(const QString &name, const QString &text)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        return path;
    }
    QTemporaryDir dir;
    DevsimProcess sim;
};

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

TEST(VorletPollCli, ShowPrintsTheTextFormAndJson)
{
    PollCli t;
    ASSERT_TRUE(t.sim.ready);
    const auto text =
        t.run({QStringLiteral("poll"), QStringLiteral("show"), QStringLiteral("--mac"), kSerial});
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    const QStringList lines = text.out.trimmed().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0],
              QStringLiteral(
                  "addr=1;fun=3;regAddr=0;regNum=2;dataType=0;json=t0;th1=0;th2=0;k=1.0000;b=0.0000;emg=0"));
    EXPECT_TRUE(lines[3].contains(u("json=温度3;"))) << lines[3].toStdString();

    const auto json = t.run({QStringLiteral("poll"), QStringLiteral("show"), QStringLiteral("--mac"), kSerial,
                             QStringLiteral("--json")});
    ASSERT_EQ(json.exitCode, 0);
    const QJsonObject table = QJsonDocument::fromJson(json.out.toUtf8()).object();
    const QJsonArray entries = table[QStringLiteral("entries")].toArray();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[1].toObject()[QStringLiteral("cache")].toInt(), 4);
    EXPECT_EQ(entries[3].toObject()[QStringLiteral("json")].toString(), u("温度3"));
    EXPECT_EQ(entries[0].toObject()[QStringLiteral("k")].toDouble(), 1.0);
    EXPECT_TRUE(table[QStringLiteral("settings")].toObject().contains(QStringLiteral("writeReply")));

    const auto can = t.run({QStringLiteral("poll"), QStringLiteral("show"), QStringLiteral("--mac"), kCan});
    EXPECT_EQ(can.exitCode, 1);
}

TEST(VorletPollCli, ApplySavesTheFilesTableOnTheGateway)
{
    PollCli t;
    ASSERT_TRUE(t.sim.ready);
    const QString file = t.write(QStringLiteral("table.txt"),
                                 u("addr=2;fun=4;regAddr=10;regNum=1;dataType=7;json=压力;k=0.5;b=-1\r\n\r\n"
                                   "addr=3;fun=1;regAddr=0;regNum=8;json=door;emg=1\n"));
    const auto applied =
        t.run({QStringLiteral("poll"), QStringLiteral("apply"), QStringLiteral("--mac"), kSerial, file});
    ASSERT_EQ(applied.exitCode, 0) << applied.err.toStdString();
    EXPECT_TRUE(applied.out.contains(u("保存成功,重启后生效！！！")));
    const QByteArray name = kyvo::toGbk(u("压力"));
    const QByteArray expected = QByteArray::fromHex("0002") +
                                QByteArray::fromHex("1d000204000a0107000000000000000000001388800027100004") +
                                name +
                                QByteArray::fromHex("1d000301000008000000000000000000000000000000000001") +
                                QByteArray::fromHex("04") + "door";
    EXPECT_EQ(t.sim.get(kSerial, QStringLiteral("5A")).toHex(), expected.toHex());
}

TEST(VorletPollCli, ABadFileIsRefusedWithItsLineAndNothingIsSent)
{
    PollCli t;
    ASSERT_TRUE(t.sim.ready);
    QString over;
    for (int i = 0; i < 257; ++i)
        over += QStringLiteral("addr=1;fun=3;json=n%1\n").arg(i);
    const std::pair<QString, QString> files[] = {
        {QStringLiteral("addr=1;fun=3;regNum=1;json=a\naddr=1\n"), QStringLiteral(":2: shorter than 11")},
        {QStringLiteral("addr=1;fun=3;regNum=1;jsn=a\n"), QStringLiteral(":1: unknown key in 'jsn=a'")},
        {QStringLiteral("addr=1;fun=3;regNum=1;json\n"), QStringLiteral(":1: 'json' is not key=value")},
        {over, QStringLiteral(":257: more than 256 entries")}};
    for (const auto &[text, reason] : files) {
        const QString file = t.write(QStringLiteral("bad.txt"), text);
        const auto r =
            t.run({QStringLiteral("poll"), QStringLiteral("apply"), QStringLiteral("--mac"), kSerial, file});
        EXPECT_EQ(r.exitCode, 2) << reason.toStdString();
        EXPECT_TRUE(r.err.contains(reason)) << r.err.toStdString();
    }
    EXPECT_EQ(t.sim.counter(kSerial, QStringLiteral("searches")), 0);
    EXPECT_EQ(
        t.run({QStringLiteral("poll"), QStringLiteral("apply"), QStringLiteral("--mac"), kSerial}).exitCode,
        2);
    EXPECT_EQ(
        t.run({QStringLiteral("poll"), QStringLiteral("list"), QStringLiteral("--mac"), kSerial}).exitCode,
        2);
}
