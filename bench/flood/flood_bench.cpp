// Each command-line tool searches while one thread floods its ports with
// hostile datagrams as fast as it can: the datagrams a second the tool
// absorbed (sent minus what the system dropped at its full socket), the real
// devices found, peak memory, and how far the search overran its wait.
#include "tests/support/flood.h"

#include "bench/lab_bench.h"

#include <cstdio>

namespace {

struct Figures
{
    double absorbedPerSecond = 0;
    int found = 0;
    qint64 peakKb = 0, overrunMs = 0;
};

Figures runOnce(const QString &program, int waitMs, const QStringList &macs)
{
    flood::ToolRun tool;
    tool.program = program;
    tool.waitMs = waitMs;
    auto pool = flood::HostileDatagrams(7).pool(16000);
    if (!tool.start()) return {};
    const std::vector<flood::ToolRun *> tools{&tool};
    flood::Flooder flooder(std::move(pool), flood::waitForSockets(tools), 0, ~std::uint64_t(0));
    flood::watchUntilDone(tools, 60000);
    flooder.stop();
    Figures f;
    const std::uint64_t sent = flooder.sent() * tool.ports.size();
    const double seconds = std::max<qint64>(tool.searchMs, 1) / 1000.0;
    f.absorbedPerSecond = double(sent - std::min(sent, tool.systemDrops)) / seconds;
    f.found = tool.listed(macs);
    f.peakKb = tool.peakKb;
    f.overrunMs = tool.searchMs - waitMs;
    if (f.found < macs.size()) std::fprintf(stderr, "%s", tool.err.right(2000).constData());
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    devsim::ControlClient control;
    const auto lab = bench::openLabBench("bench_flood", "bench/flood/run.sh", control);
    if (!lab) return 77;
    QStringList gateways, servers;
    for (const QString &line : control.command(QStringLiteral("list")).value_or(QStringList())) {
        const QStringList w = line.split(QLatin1Char(' '));
        (w.value(0).startsWith(QLatin1String("gateway")) ? gateways : servers) << w.value(2);
    }
    struct Subject
    {
        const char *name;
        QString program;
        int waitMs;
        const QStringList &macs;
    } subjects[] = {{"vorlet-cli", QStringLiteral(VORLET_CLI_BIN), 3000, gateways},
                    {"pelmar-cli", QStringLiteral(PELMAR_CLI_BIN), 2000, servers}};
    for (const Subject &s : subjects) {
        for (int run = 0; run < lab->runs; ++run) {
            const Figures f = runOnce(s.program, s.waitMs, s.macs);
            std::printf("%s: %.0f datagrams/s absorbed, %d/%lld devices found, peak %.1f MiB, "
                        "search overrun %+lld ms (wait %d ms)\n",
                        s.name, f.absorbedPerSecond, f.found, static_cast<long long>(s.macs.size()),
                        double(f.peakKb) / 1024.0, static_cast<long long>(f.overrunMs), s.waitMs);
            std::fflush(stdout);
        }
    }
    return 0;
}
