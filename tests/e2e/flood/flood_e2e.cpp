// Both command-line tools search the lab's devices while random, truncated,
// oversized and almost-valid datagrams pour into their ports: every device
// is still found, memory stays bounded and the search keeps its time.
#include "tests/support/flood.h"
#include "tests/support/lab.h"
#include "tests/support/test_support.h"

#include <memory>

namespace {
constexpr qint64 kMemoryBoundKb = 200 * 1024; // the flood once took one tool to 647 MB
constexpr unsigned kFloodPerSecond = 20000;   // datagrams a second at each port
constexpr std::uint64_t kFloodLimit = 400000; // and no more in all
constexpr qint64 kRunLimitMs = 25000;

QStringList macsOf(const QString &kindPrefix)
{
    QStringList macs;
    for (const auto &d : testsupport::labDevices(kindPrefix))
        macs << d.mac;
    return macs;
}
} // namespace

TEST(Flood, BothToolsFindEveryDeviceInTimeWithBoundedMemory)
{
    LAB_ONLY();
    flood::ToolRun vorlet, pelmar;
    vorlet.program = QStringLiteral(VORLET_CLI_BIN);
    vorlet.waitMs = 3000;
    pelmar.program = QStringLiteral(PELMAR_CLI_BIN);
    pelmar.waitMs = 2000;
    const QStringList gateways = macsOf(QStringLiteral("gateway")),
                      servers = macsOf(QStringLiteral("server"));
    ASSERT_FALSE(gateways.isEmpty() || servers.isEmpty());
    auto pool = flood::HostileDatagrams(7).pool(4000);
    const std::vector<flood::ToolRun *> tools{&vorlet, &pelmar};
    for (flood::ToolRun *t : tools)
        ASSERT_TRUE(t->start()) << t->program.toStdString();
    const auto flooder = std::make_unique<flood::Flooder>(std::move(pool), flood::waitForSockets(tools),
                                                          kFloodPerSecond, kFloodLimit);
    flood::watchUntilDone(tools, kRunLimitMs);
    flooder->stop();
    std::printf("flood: %llu datagrams at each port\n", static_cast<unsigned long long>(flooder->sent()));

    for (flood::ToolRun *t : tools) {
        SCOPED_TRACE(t->program.toStdString() + "\n" + t->err.toStdString());
        std::printf("%s: search %lld ms (wait %d ms), peak %lld KiB\n", qPrintable(t->program), t->searchMs,
                    t->waitMs, t->peakKb);
        EXPECT_FALSE(t->ports.empty()) << "no socket";
        // Answers have a lane of their own and get through; what else the
        // flood cost is reported and does not fail the search.
        EXPECT_EQ(t->process.exitCode(), 0);
        EXPECT_GE(t->searchMs, 0) << "still running after " << kRunLimitMs << " ms";
        EXPECT_LE(t->searchMs, t->waitMs + 1000);
        EXPECT_LT(t->peakKb, kMemoryBoundKb);
    }
    EXPECT_EQ(vorlet.listed(gateways), gateways.size()) << vorlet.out.toStdString();
    EXPECT_EQ(pelmar.listed(servers), servers.size()) << pelmar.out.toStdString();
}
