// Maintenance timers.
#include "vorlet/maintenance/maintenance_timers.h"

namespace vorlet {

void Ticker::start(kyvo::Millis now, kyvo::Millis period)
{
    m_period = period;
    m_next = now + period;
}

bool Ticker::take(kyvo::Millis now)
{
    if (!m_next || now < *m_next) return false;
    m_next = now + m_period;
    return true;
}

void AckWait::start(kyvo::Millis now)
{
    m_started = now;
    m_ticks.start(now, m_period);
}

AckWait::End AckWait::run(kyvo::Millis now, bool acknowledged)
{
    if (!m_ticks.take(now)) return End::None;
    if (acknowledged) {
        m_ticks.stop();
        return End::Succeeded;
    }
    if (now - m_started < m_limit) return End::None;
    m_ticks.stop();
    return End::Failed;
}

void ImageFetch::start(kyvo::Millis now)
{
    m_collector = ImageCollector();
    m_quietAt = now + kQuiet;
}

void ImageFetch::datagram(ByteView data, kyvo::Millis now)
{
    if (!running()) return;
    m_collector.take(data);
    m_quietAt = now + kQuiet;
}

bool ImageFetch::run(kyvo::Millis now)
{
    if (!m_quietAt || now < *m_quietAt) return false;
    m_quietAt.reset();
    return true;
}

} // namespace vorlet
