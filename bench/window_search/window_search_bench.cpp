// How long the main window stops answering while many gateways answer one
// search: the longest gap between ticks of a 1 ms timer in the window's
// thread, from the click to the last device shown, and the time that takes.
// Runs inside the lab with devsim (for example --gateway 512).
#include "vorlet/app/app_options.h"

#include "common/netns.h"
#include "common/settings_paths.h"
#include "vorlet/lang/dialog_captions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vorlet;

namespace {

// Times each event the window's thread handles, outermost level only: the
// longest is the work of ours that kept the loop from everything else.
class TimingApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        if (m_depth++ > 0) {
            const bool handled = QApplication::notify(receiver, event);
            --m_depth;
            return handled;
        }
        QElapsedTimer t;
        t.start();
        const bool handled = QApplication::notify(receiver, event);
        --m_depth;
        const qint64 ns = t.nsecsElapsed();
        if (ns > longestNs) {
            longestNs = ns;
            longestType = int(event->type());
        }
        return handled;
    }
    qint64 longestNs = 0;
    int longestType = 0;

private:
    int m_depth = 0;
};

struct Run
{
    std::size_t found = 0;
    double toLastShownMs = 0;
    double longestPauseMs = 0;
    double longestEventMs = 0;
    int longestEventType = 0;
};

void processUntil(const std::function<bool()> &done, int limitMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

Run runOnce(CvorletDlg &window, std::size_t expect, int limitMs)
{
    QElapsedTimer clock;
    qint64 lastTickNs = 0, longestGapNs = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGapNs = std::max(longestGapNs, now - lastTickNs);
        lastTickNs = now;
    });

    const auto allShown = [&] {
        const std::size_t n = window.core().devices().count();
        return n >= expect && window.shownRecord() == &window.core().devices().at(n - 1);
    };
    auto *timing = static_cast<TimingApplication *>(QCoreApplication::instance());
    timing->longestNs = 0;
    clock.start();
    probe.start(1);
    // The button, as the user presses it; the window's own 500 ms before the
    // broadcast is part of the run.
    qobject_cast<QPushButton *>(findControl(&window, 1003))->click();
    processUntil(allShown, limitMs);
    const double elapsedMs = double(clock.nsecsElapsed()) / 1e6;
    // A little longer, for answers still on their way.
    processUntil([] { return false; }, 300);
    probe.stop();

    Run run;
    run.found = window.core().devices().count();
    run.toLastShownMs = elapsedMs;
    run.longestPauseMs = double(longestGapNs) / 1e6;
    run.longestEventMs = double(timing->longestNs) / 1e6;
    run.longestEventType = timing->longestType;
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    if (!kyvo::inPrivateNetworkNamespace() || qEnvironmentVariableIsEmpty("LAB_NETNS")) {
        std::fprintf(stderr, "bench_window_search: runs only inside tools/lab (it broadcasts)\n");
        return 77;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TimingApplication app(argc, argv);
    QTemporaryDir settings;
    kyvo::setSettingsRootForTesting(settings.path());

    std::size_t expect = 512;
    int runs = 5;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--expect")) expect = args[i + 1].toUInt();
        if (args[i] == QLatin1String("--runs")) runs = args[i + 1].toInt();
    }

    CvorletDlg window(programOptions()); // the program's window, with its panels
    window.resize(1280, 780);
    window.show();
    // The endpoint opens and the window is shown and painted before the first run.
    processUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }, 5000);
    processUntil([] { return false; }, 500);

    std::vector<Run> results;
    for (int i = 0; i < runs; ++i) {
        results.push_back(runOnce(window, expect, 30000));
        const Run &r = results.back();
        std::printf(
            "run %d: %zu gateways listed, last shown after %.1f ms, longest event-loop pause %.1f ms, "
            "longest single event %.1f ms (type %d)\n",
            i + 1, r.found, r.toLastShownMs, r.longestPauseMs, r.longestEventMs, r.longestEventType);
        std::fflush(stdout);
    }
    std::vector<double> pauses, events;
    for (const Run &r : results) {
        pauses.push_back(r.longestPauseMs);
        events.push_back(r.longestEventMs);
    }
    std::sort(pauses.begin(), pauses.end());
    std::sort(events.begin(), events.end());
    const bool allFound =
        std::all_of(results.begin(), results.end(), [&](const Run &r) { return r.found >= expect; });
    std::printf("window search, %zu gateways, %d runs: longest pause median %.1f ms, worst %.1f ms; "
                "longest single event median %.1f ms, worst %.1f ms%s\n",
                expect, runs, pauses[pauses.size() / 2], pauses.back(), events[events.size() / 2],
                events.back(), allFound ? "" : " (not every gateway found)");
    return allFound ? 0 : 1;
}
