// How the serial-server search copes with many servers at once, inside the
// lab: servers found of those expected, and the time until the last one is
// shown (short-frame servers after their item-by-item reading), for one
// broadcast; and for the sweep over 254 hosts, when it ends after it starts.
#include "pelmar/core/server_core.h"

#include "common/netns.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <set>

using namespace pelmar;

namespace {

void processUntil(const std::function<bool()> &done, int limitMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Run {
    int found = 0;          // rows in the device list
    int shown = 0;          // distinct devices shown
    double requestMs = 0;   // click to the (first) request
    double lastShownMs = 0; // click to the last device shown
    double sweepEndMs = 0;  // click to the sweep's end
};

Run runOnce(bool sweep, const QString &subnet, int expect)
{
    ServerCore core;
    QSignalSpy opened(&core, &ServerCore::socketOpened);
    processUntil([&] { return opened.count() == 1; }, 5000);
    QElapsedTimer clock;
    Run r;
    std::set<int> shown;
    QObject::connect(&core, &ServerCore::searchRequestSent, [&] {
        if (r.requestMs == 0) r.requestMs = double(clock.nsecsElapsed()) / 1e6;
    });
    QObject::connect(&core, &ServerCore::deviceShown, [&](int index) {
        if (shown.insert(index).second) r.lastShownMs = double(clock.nsecsElapsed()) / 1e6;
    });
    QObject::connect(&core, &ServerCore::sweepFinished, [&] { r.sweepEndMs = double(clock.nsecsElapsed()) / 1e6; });
    if (sweep) {
        core.setBroadcastSearch(false);
        core.setSubnetAddress(subnet);
    }
    clock.start();
    core.startSearch();
    if (sweep) processUntil([&] { return r.sweepEndMs > 0; }, 10000);
    processUntil([&] { return int(shown.size()) >= expect && core.readSequencesRunning() == 0; }, 15000);
    // Stragglers: a little longer for answers that may still come.
    const std::size_t before = shown.size();
    processUntil([&] { return shown.size() > before; }, int(before) >= expect ? 200 : 2000);
    r.found = core.rowCount();
    r.shown = int(shown.size());
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    bool sweep = false;
    int expect = 256, runs = 10;
    QString subnet = QStringLiteral("10.77.1.255");
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--mode")) sweep = args[i + 1] == QLatin1String("sweep");
        else if (args[i] == QLatin1String("--expect")) expect = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--runs")) runs = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--subnet")) subnet = args[i + 1];
    }
    if (!kyvo::inPrivateNetworkNamespace() || qEnvironmentVariableIsEmpty("LAB_NETNS")) {
        std::fprintf(stderr, "bench_serial_discovery broadcasts: run it through tools/lab (bench/serial_discovery/run.sh)\n");
        return 77;
    }
    const char *label = sweep ? "sweep" : "broadcast";
    int complete = 0, inTime = 0;
    double worstShown = 0, minEnd = 1e9, maxEnd = 0;
    for (int i = 1; i <= runs; ++i) {
        const Run r = runOnce(sweep, subnet, expect);
        complete += r.found == expect && r.shown == expect;
        worstShown = std::max(worstShown, r.lastShownMs);
        if (sweep) {
            minEnd = std::min(minEnd, r.sweepEndMs);
            maxEnd = std::max(maxEnd, r.sweepEndMs);
            inTime += r.sweepEndMs >= 2540 * 0.95 && r.sweepEndMs <= 2540 * 1.05;
            std::printf("[%s] run %2d: found %d/%d, shown %d/%d, sweep ended %.1f ms after it started, last device "
                        "shown at %.1f ms\n",
                        label, i, r.found, expect, r.shown, expect, r.sweepEndMs, r.lastShownMs);
        } else {
            std::printf("[%s] run %2d: found %d/%d, shown %d/%d, request at %.1f ms, last device shown at %.1f ms "
                        "(%.1f ms after the request)\n",
                        label, i, r.found, expect, r.shown, expect, r.requestMs, r.lastShownMs,
                        r.lastShownMs - r.requestMs);
        }
        std::fflush(stdout);
        // Replies to the last run's item reads die out before the next search.
        processUntil([] { return false; }, 300);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("[%s] summary: %d/%d runs complete, worst time to the last device shown %.1f ms", label, complete, runs,
                worstShown);
    if (sweep) std::printf(", sweep ended %.1f .. %.1f ms (%d/%d within 2540 ms +-5%%)", minEnd, maxEnd, inTime, runs);
    std::printf(", peak memory %.1f MiB\n", double(usage.ru_maxrss) / 1024);
    return complete == runs && (!sweep || inTime == runs) ? 0 : 1;
}
