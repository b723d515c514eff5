// Both command-line tools search the lab's devices while random, truncated,
// oversized and almost-valid datagrams pour into their ports: every device
// is still found, memory stays bounded and the search keeps its time.
#include "tests/support/flood.h"
#include "tests/support/lab.h"
#include "tests/support/test_support.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <memory>

namespace {
constexpr qint64 kMemoryBoundKb = 200 * 1024;  // the flood once took one tool to 647 MB
constexpr unsigned kFloodPerSecond = 20000;    // datagrams a second at each port
constexpr std::uint64_t kFloodLimit = 400000;  // and no more in all
constexpr qint64 kRunLimitMs = 25000;

struct Tool {
    QString program, devicePrefix;
    int waitMs;
    QProcess process;
    QElapsedTimer sinceSocket; // the search starts with the socket
    qint64 searchMs = -1, peakKb = 0;
    QByteArray out, err;
};

void start(Tool &t)
{
    t.process.start(t.program, {QStringLiteral("search"), QStringLiteral("--wait"), QString::number(t.waitMs)});
    ASSERT_TRUE(t.process.waitForStarted()) << t.program.toStdString();
}

// Waits for each tool's socket; the ports of all of them.
std::vector<quint16> socketsOf(std::vector<Tool *> tools)
{
    std::vector<quint16> all;
    QElapsedTimer clock;
    clock.start();
    for (Tool *t : tools) {
        std::vector<quint16> ports;
        while (ports.empty() && clock.elapsed() < 10000 && t->process.state() == QProcess::Running)
            if ((ports = flood::udpPortsOf(t->process.processId())).empty()) QThread::msleep(2);
        t->sinceSocket.start();
        EXPECT_FALSE(ports.empty()) << t->program.toStdString() << " opened no socket";
        all.insert(all.end(), ports.begin(), ports.end());
    }
    return all;
}

void watchUntilDone(std::vector<Tool *> tools)
{
    QElapsedTimer clock;
    clock.start();
    for (bool running = true; running && clock.elapsed() < kRunLimitMs;) {
        running = false;
        for (Tool *t : tools) {
            if (t->searchMs >= 0) continue;
            t->peakKb = std::max(t->peakKb, flood::statusKb(t->process.processId(), "VmHWM"));
            t->out += t->process.readAllStandardOutput();
            if (t->process.waitForFinished(5)) t->searchMs = t->sinceSocket.elapsed();
            else running = true;
        }
    }
    for (Tool *t : tools) {
        if (t->searchMs < 0) t->process.kill();
        t->process.waitForFinished();
        t->out += t->process.readAllStandardOutput();
        t->err = t->process.readAllStandardError();
    }
}
} // namespace

TEST(Flood, BothToolsFindEveryDeviceInTimeWithBoundedMemory)
{
    LAB_ONLY();
    const auto devices = testsupport::labDevices();
    ASSERT_FALSE(devices.empty());
    Tool vorlet{QStringLiteral(VORLET_CLI_BIN), QStringLiteral("gateway"), 3000};
    Tool pelmar{QStringLiteral(PELMAR_CLI_BIN), QStringLiteral("server"), 2000};
    const std::vector<Tool *> tools{&vorlet, &pelmar};
    for (Tool *t : tools) start(*t);
    auto flooder = std::make_unique<flood::Flooder>(socketsOf(tools), kFloodPerSecond, kFloodLimit);
    watchUntilDone(tools);
    flooder->stop();
    std::printf("flood: %llu datagrams at each port\n", static_cast<unsigned long long>(flooder->sent()));

    for (Tool *t : tools) {
        SCOPED_TRACE(t->program.toStdString() + "\n" + t->err.toStdString());
        std::printf("%s: search %lld ms (wait %d ms), peak %lld KiB\n", qPrintable(t->program), t->searchMs,
                    t->waitMs, t->peakKb);
        EXPECT_EQ(t->process.exitCode(), 0);
        EXPECT_GE(t->searchMs, 0) << "still running after " << kRunLimitMs << " ms";
        EXPECT_LE(t->searchMs, t->waitMs + 1000);
        EXPECT_LT(t->peakKb, kMemoryBoundKb);
        const QString listed = QString::fromLocal8Bit(t->out).toUpper().replace(QLatin1Char(':'), QLatin1Char('-'));
        for (const auto &d : devices)
            if (d.kind.startsWith(t->devicePrefix)) EXPECT_TRUE(listed.contains(d.mac.toUpper())) << d.mac.toStdString();
    }
}
