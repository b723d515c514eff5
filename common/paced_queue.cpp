// Paced sending schedule.
#include "common/paced_queue.h"

namespace kyvo {

void PacedQueue::enqueue(std::vector<PacedStep> steps, std::uint64_t token, Millis now)
{
    if (m_jobs.empty()) m_reference = now;
    m_jobs.push_back(Job{std::move(steps), token, 0});
}

std::optional<Millis> PacedQueue::nextDeadline() const
{
    if (m_jobs.empty()) return std::nullopt;
    const Job &job = m_jobs.front();
    if (job.next >= job.steps.size()) return m_reference;
    return m_reference + job.steps[job.next].delay;
}

void PacedQueue::run(Millis now, const SendFn &send, const DoneFn &done)
{
    while (!m_jobs.empty()) {
        Job &job = m_jobs.front();
        if (job.next < job.steps.size()) {
            const PacedStep &step = job.steps[job.next];
            if (m_reference + step.delay > now) return;
            // Count the next pause from the step's own deadline when the
            // caller is exactly on time, else from now.
            m_reference = std::max(m_reference + step.delay, now);
            if (!step.datagram.empty()) send(step.destination, step.datagram);
            ++job.next;
            continue;
        }
        const std::uint64_t token = job.token;
        m_jobs.pop_front();
        done(token);
    }
}

std::vector<std::uint64_t> PacedQueue::clear()
{
    std::vector<std::uint64_t> tokens;
    for (const Job &job : m_jobs) tokens.push_back(job.token);
    m_jobs.clear();
    return tokens;
}

} // namespace kyvo
