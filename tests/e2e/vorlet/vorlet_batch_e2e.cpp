// vorlet-cli's quick set on every gateway of the lab in one batch: each
// gateway holds the file's change, one that refuses the save (silent to it)
// is reported failed, and the exit status says so.
#include "common/fixed_field.h"
#include "tests/support/lab.h"
#include "tests/support/processes.h"
#include "vorlet/record/parameter_record.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace vorlet;
using testsupport::labDevsim;
using testsupport::labGet;

namespace {

QStringList lines(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

TEST(GatewayBatchLab, QuickSetOnEveryGatewayWithOneSilent)
{
    LAB_ONLY();
    const auto devices = testsupport::labDevices(QStringLiteral("gateway"));
    ASSERT_GE(devices.size(), 40u);
    const QString cli = QStringLiteral(VORLET_CLI_BIN), silent = devices[7].mac;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("batch.cfg"));
    const auto exported = testsupport::runTool(cli, {QStringLiteral("export"), QStringLiteral("--mac"),
                                                     devices[0].mac, QStringLiteral("--out"), file,
                                                     QStringLiteral("--wait"), QStringLiteral("1500")});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    auto record = std::make_unique<ParameterRecord>();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_EQ(f.read(reinterpret_cast<char *>(record.get()), qint64(kRecordSize)), qint64(kRecordSize));
    kyvo::setFieldText(record->deviceName, "batch-set");
    f.seek(0);
    f.write(reinterpret_cast<const char *>(record.get()), qint64(kRecordSize));
    f.close();
    ASSERT_TRUE(labDevsim().command(QStringLiteral("knob %1 refuse 1").arg(silent)));

    const auto run =
        testsupport::runTool(cli,
                             {QStringLiteral("quickset"), QStringLiteral("--all"),
                              QStringLiteral("--parallel"), QStringLiteral("8"), QStringLiteral("--in"), file,
                              QStringLiteral("--json"), QStringLiteral("--wait"), QStringLiteral("1500")},
                             120000);
    labDevsim().command(QStringLiteral("knob %1 refuse 0").arg(silent));
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("%1 devices: %2 succeeded, 1 failed").arg(devices.size()).arg(devices.size() - 1)))
        << run.err.toStdString();
    int failed = 0;
    for (const QString &line : lines(run.out)) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        if (o.value(QStringLiteral("ok")).toBool()) continue;
        ++failed;
        EXPECT_EQ(o.value(QStringLiteral("mac")).toString(), silent);
        EXPECT_EQ(o.value(QStringLiteral("text")).toString(), QString::fromUtf8("保存失败"));
    }
    EXPECT_EQ(failed, 1) << run.out.toStdString();
    EXPECT_EQ(lines(run.out).size(), qsizetype(devices.size()));
    for (const auto &d : devices)
        EXPECT_EQ(labGet(d.mac, QStringLiteral("1A")) == QByteArray("batch-set"), d.mac != silent)
            << d.mac.toStdString();
}
