// Paced sender on a Qt timer.
#include "common/paced_sender.h"

namespace kyvo {

PacedSender::PacedSender(PacedQueue::SendFn send, const Clock *clock, QObject *parent)
    : QObject(parent), m_send(std::move(send)), m_clock(clock), m_timer(this)
{
    if (!m_clock) {
        m_ownClock = std::make_unique<SteadyClock>();
        m_clock = m_ownClock.get();
    }
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PacedSender::poll);
}

void PacedSender::enqueue(std::vector<PacedStep> steps, std::uint64_t token)
{
    m_queue.enqueue(std::move(steps), token, m_clock->now());
    poll();
}

void PacedSender::clear()
{
    m_queue.clear();
    m_timer.stop();
}

void PacedSender::poll()
{
    m_queue.run(m_clock->now(), m_send, [this](std::uint64_t token) { Q_EMIT jobDone(token); });
    arm();
}

void PacedSender::arm()
{
    const auto deadline = m_queue.nextDeadline();
    if (!deadline) {
        m_timer.stop();
        return;
    }
    const auto wait = std::max<Millis::rep>(0, (*deadline - m_clock->now()).count());
    m_timer.start(int(std::min<Millis::rep>(wait, 1 << 30)));
}

} // namespace kyvo
