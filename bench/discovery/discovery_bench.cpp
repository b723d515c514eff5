// How the gateway search copes with many gateways answering at once: found
// devices, the time to the last one in the list, the time from the last
// answer datagram to the complete list, the longest pause of the thread that
// owns the list, and peak memory. Runs inside the lab.
#include "vorlet/core/gateway_core.h"

#include "common/netns.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace vorlet;

namespace {

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void processUntil(const std::function<bool()> &done, int limitMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Run {
    std::size_t found = 0;
    double toLastDeviceMs = 0;
    double afterLastDatagramMs = 0;
    double longestPauseMs = 0;
};

Run runOnce(std::size_t expect)
{
    GatewayCore core;
    bool opened = false;
    QObject::connect(&core.endpoint(), &GatewayEndpoint::opened, [&] { opened = true; });
    core.endpoint().open();
    processUntil([&] { return opened; }, 5000);

    qint64 sentNs = 0, lastAddNs = 0;
    QObject::connect(&core, &GatewayCore::searchSent, [&] { sentNs = steadyNs(); });
    QObject::connect(&core, &GatewayCore::deviceAdded, [&] { lastAddNs = steadyNs(); });

    // The longest gap between two ticks of a 1 ms timer: how long the
    // thread that owns the list was kept from its event loop.
    QElapsedTimer tick;
    qint64 longestGapNs = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (tick.isValid()) longestGapNs = std::max(longestGapNs, tick.nsecsElapsed());
        tick.restart();
    });
    probe.start(1);

    core.startLocalSearch();
    processUntil([&] { return core.devices().count() >= expect; }, 15000);
    // Stragglers: wait a little longer for answers that may still come.
    const std::size_t before = core.devices().count();
    processUntil([&] { return core.devices().count() > before; }, before >= expect ? 200 : 2000);
    probe.stop();

    Run r;
    r.found = core.devices().count();
    if (sentNs && lastAddNs) r.toLastDeviceMs = double(lastAddNs - sentNs) / 1e6;
    if (lastAddNs && core.endpoint().lastDatagramNs())
        r.afterLastDatagramMs = double(lastAddNs - core.endpoint().lastDatagramNs()) / 1e6;
    r.longestPauseMs = double(longestGapNs) / 1e6;
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::size_t expect = 512;
    int runs = 10;
    QString label = QStringLiteral("lab");
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--expect")) expect = args[i + 1].toUInt();
        else if (args[i] == QLatin1String("--runs")) runs = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--label")) label = args[i + 1];
    }
    if (!kyvo::inPrivateNetworkNamespace()) {
        std::fprintf(stderr, "bench_discovery broadcasts: run it through tools/lab (bench/discovery/run.sh)\n");
        return 77;
    }
    int complete = 0;
    double worstToLast = 0, worstAfter = 0, worstPause = 0;
    for (int i = 1; i <= runs; ++i) {
        const Run r = runOnce(expect);
        complete += r.found == expect;
        worstToLast = std::max(worstToLast, r.toLastDeviceMs);
        worstAfter = std::max(worstAfter, r.afterLastDatagramMs);
        worstPause = std::max(worstPause, r.longestPauseMs);
        std::printf("[%s] run %2d: found %zu/%zu, request to last device %.1f ms, last datagram to complete list "
                    "%.1f ms, longest event-loop pause %.1f ms\n",
                    qPrintable(label), i, r.found, expect, r.toLastDeviceMs, r.afterLastDatagramMs, r.longestPauseMs);
        std::fflush(stdout);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("[%s] summary: %d/%d runs complete, worst request to last device %.1f ms, worst last datagram to "
                "list %.1f ms, worst pause %.1f ms, peak memory %.1f MiB\n",
                qPrintable(label), complete, runs, worstToLast, worstAfter, worstPause, double(usage.ru_maxrss) / 1024);
    return complete == runs ? 0 : 1;
}
