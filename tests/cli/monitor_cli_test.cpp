// The "monitor" commands of both tools on loopback: lines on standard
// output, the log file, the filters, the end on SIGTERM, a port taken.
#include "tests/support/loopback.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace {

struct Monitor
{
    Monitor(const QString &program, QStringList args)
    {
        process.start(program,
                      QStringList{QStringLiteral("monitor"), QStringLiteral("--port"), QString::number(port)}
                          << args);
        listening = testsupport::waitFor([&] {
            err += process.readAllStandardError();
            return err.contains("listening");
        });
        EXPECT_TRUE(listening) << err.constData();
    }
    void send(const QByteArray &data)
    {
        socket.writeDatagram(data, QHostAddress(QStringLiteral("127.0.0.1")), port);
    }
    QStringList linesOnceThereAre(int n)
    {
        testsupport::waitFor([&] {
            out += process.readAllStandardOutput();
            return out.count('\n') >= n;
        });
        return QString::fromLocal8Bit(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    int stop()
    {
        process.terminate();
        EXPECT_TRUE(process.waitForFinished(10000));
        err += process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    quint16 port = testsupport::freeUdpPort();
    QProcess process;
    QUdpSocket socket;
    QByteArray out, err;
    bool listening = false;
};

} // namespace

TEST(MonitorCli, VorletPrintsTheShownDatagramsAsLogLinesAndWritesTheLogFile)
{
    QTemporaryDir dir;
    Monitor m(QStringLiteral(VORLET_CLI_BIN),
              {QStringLiteral("--log-dir"), dir.path(), QStringLiteral("--log-mode"), QStringLiteral("one"),
               QStringLiteral("--channel"), QStringLiteral("uart"), QStringLiteral("--channel"),
               QStringLiteral("other")});
    ASSERT_TRUE(m.listening);
    m.send(QByteArray("uart tx:\x01\x03\x00\x00\x00\x01", 14));
    m.send("tcpA rx:hidden");
    m.send("mqtt rx:{}");
    const QStringList lines = m.linesOnceThereAre(2);
    ASSERT_EQ(lines.size(), 2);
    const QRegularExpression uart(QStringLiteral("^ \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\d{3} "
                                                 "127\\.0\\.0\\.1 6 uart tx: \x01\x03 01 03 00 00 00 01 $"));
    EXPECT_TRUE(uart.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" 2 mqtt rx: {} 7b 7d ")));
    EXPECT_EQ(m.stop(), 0);
    QFile log(QDir(dir.path()).filePath(QStringLiteral("log.txt")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(),
              (lines[0] + QStringLiteral("\r\n") + lines[1] + QStringLiteral("\r\n")).toLocal8Bit());
    EXPECT_TRUE(m.err.contains("3 datagrams received, 2 shown, 2 logged")) << m.err.constData();
}

TEST(MonitorCli, PelmarPrintsTheServersTextAsTheDebugViewRows)
{
    Monitor m(QStringLiteral(PELMAR_CLI_BIN), {});
    ASSERT_TRUE(m.listening);
    m.send(QByteArray("mqtt: connected\0tail", 20));
    const QStringList lines = m.linesOnceThereAre(1);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d       mqtt: connected$"))
                    .match(lines[0])
                    .hasMatch())
        << lines[0].toStdString();
    EXPECT_EQ(m.stop(), 0);
}

TEST(MonitorCli, APortTakenByAnotherProgramEndsWithAMessage)
{
    QUdpSocket other;
    ASSERT_TRUE(other.bind(QHostAddress(QHostAddress::AnyIPv4), 0));
    QProcess p;
    p.start(QStringLiteral(VORLET_CLI_BIN),
            {QStringLiteral("monitor"), QStringLiteral("--port"), QString::number(other.localPort())});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().contains("in use by another program"));
}
