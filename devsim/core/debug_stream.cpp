// Paced debug output of the simulated devices.
#include "devsim/core/debug_stream.h"

#include <algorithm>

namespace devsim {

namespace {
int knob(const SimDevice &d, const char *name, int fallback)
{
    const auto it = d.knobs.extra.find(QString::fromLatin1(name));
    return it == d.knobs.extra.end() ? fallback : it->second;
}
} // namespace

DebugStream::DebugStream(SimNetwork &network, QObject *parent)
    : QObject(parent), m_network(network), m_timer(this)
{
    m_clock.start();
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &DebugStream::tick);
    m_timer.start(10);
}

void DebugStream::tick()
{
    const qint64 now = m_clock.nsecsElapsed();
    // A stalled loop catches up at most a second's worth of lines.
    const double seconds = std::min(1.0, double(now - m_lastNs) / 1e9);
    m_lastNs = now;
    for (std::size_t i = 0; i < m_network.size(); ++i) {
        SimDevice &d = m_network.device(i);
        double &owed = m_owed[&d];
        if (!d.debug.on) {
            owed = 0;
            continue;
        }
        owed += std::max(0, knob(d, "debug-rate", kDefaultRate)) * seconds;
        const auto port = std::uint16_t(knob(d, "debug-port", kDefaultPort));
        for (; owed >= 1; owed -= 1) {
            Bytes line = d.debugLine(d.debug.sent++);
            if (line.empty()) break;
            m_network.sendUnasked(d, std::move(line), {d.debug.to, port}, d.ports().front());
        }
        owed = std::min(owed, 1.0);
    }
}

} // namespace devsim
