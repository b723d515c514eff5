// Firmware repair: the version test and the timing.
#include "pelmar/files/firmware_repair.h"

#include <algorithm>

namespace pelmar {

bool firmwareNeedsRepair(const TextField<4> &v)
{
    return v.at(0) == 'L' && (v.at(2) < '5' || v.at(3) < '4');
}

RepairSession::Due RepairSession::poll(kyvo::Millis now)
{
    Due due;
    if (m_finished) return due;
    const kyvo::Millis elapsed = now - m_start;
    const int framesDue = int(std::min<std::int64_t>(kFrames, elapsed / kFramePeriod));
    if (framesDue > m_frames) {
        due.frames = framesDue - m_frames;
        m_frames = framesDue;
    }
    const int secondsDue = int(elapsed / kSecond);
    while (m_seconds < secondsDue && !m_finished) {
        ++m_seconds;
        due.shown.push_back(m_countdown--);
        if (m_countdown <= 0) m_finished = due.finished = true;
    }
    return due;
}

} // namespace pelmar
