// The repair for one range of older firmware: which versions need it, and
// its timing on an injected clock: sixteen commit frames 200 ms apart and
// a countdown shown once a second, closing after eight seconds.
#pragma once

#include "common/clock.h"
#include "pelmar/model/device_entry.h"

#include <vector>

namespace pelmar {

// 'L' first, and the third character below '5' or the fourth below '4'.
bool firmwareNeedsRepair(const TextField<4> &firmwareVersion);

class RepairSession
{
public:
    static constexpr int kFrames = 16;
    static constexpr kyvo::Millis kFramePeriod{200};
    static constexpr kyvo::Millis kSecond{1000};
    static constexpr int kCountdown = 8;

    struct Due
    {
        int frames = 0;         // commit frames to send now
        std::vector<int> shown; // countdown values to show, in order
        bool finished = false;  // the countdown reached 0: close
    };

    explicit RepairSession(int countdown = kCountdown) : m_countdown(countdown) {}
    void start(kyvo::Millis now) { m_start = now; }
    // What fell due since the last poll.
    Due poll(kyvo::Millis now);
    int framesSent() const { return m_frames; }
    bool finished() const { return m_finished; }

private:
    kyvo::Millis m_start{0};
    int m_countdown;
    int m_frames = 0;
    int m_seconds = 0;
    bool m_finished = false;
};

} // namespace pelmar
