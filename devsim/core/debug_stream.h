// The debug output of simulated devices: while a device's debugging is on,
// it sends its debug lines to UDP port 1112 of the PC that switched it on.
#pragma once

#include "devsim/core/sim_network.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <map>

namespace devsim {

// Knobs of each device: "debug-rate" datagrams per second (default 20),
// "debug-port" the PC's port (default 1112; tests use a free one).
class DebugStream : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultRate = 20;
    static constexpr std::uint16_t kDefaultPort = 1112;

    explicit DebugStream(SimNetwork &network, QObject *parent = nullptr);

    // Sends what is due since the last tick (the timer calls it every 10 ms).
    void tick();

private:
    SimNetwork &m_network;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    std::map<const SimDevice *, double> m_owed;
};

} // namespace devsim
