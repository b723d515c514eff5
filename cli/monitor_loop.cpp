// Event loop until interrupted.
#include "cli/monitor_loop.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>

namespace cli {

namespace {
volatile std::sig_atomic_t g_interrupted = 0;
void onSignal(int)
{
    g_interrupted = 1;
}
} // namespace

void runUntilInterrupted()
{
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [] {
        if (g_interrupted) QCoreApplication::quit();
    });
    poll.start(50);
    QCoreApplication::exec();
}

} // namespace cli
