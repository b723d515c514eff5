// Save session.
#include "pelmar/ui/save_session.h"

namespace pelmar {

void SaveSession::startTimer(SaveButton button, Millis now)
{
    timer(button) = now + kButtonTimer;
    m_effects.setSaveButton(button, false);
}

void SaveSession::enqueue(SavePlan plan, Target to, Millis now)
{
    if (m_jobs.empty()) m_reference = now;
    m_jobs.push_back(Job{std::move(plan), std::move(to), 0});
    runJobs(now); // a step without a pause leaves at once
}

void SaveSession::saveDevice(SavePlan plan, Target to, Millis now)
{
    startTimer(SaveButton::Device, now);
    enqueue(std::move(plan), std::move(to), now);
}

void SaveSession::savePorts(SavePlan plan, Target to, bool wholeRecord, Millis now)
{
    startTimer(SaveButton::Port, now);
    if (wholeRecord) startTimer(SaveButton::Device, now);
    enqueue(std::move(plan), std::move(to), now);
}

void SaveSession::command(Bytes datagram, Target to, Millis now)
{
    SavePlan plan;
    plan.steps.push_back({Millis{0}, std::move(datagram)});
    enqueue(std::move(plan), std::move(to), now);
}

void SaveSession::writeAccepted()
{
    for (SaveButton b : {SaveButton::Device, SaveButton::Port}) {
        if (!timer(b)) continue;
        timer(b).reset();
        m_effects.setSaveButton(b, true);
    }
}

void SaveSession::run(Millis now)
{
    runJobs(now);
    runTimers(now);
}

void SaveSession::runJobs(Millis now)
{
    while (!m_jobs.empty()) {
        Job &job = m_jobs.front();
        if (job.next < job.plan.steps.size()) {
            const SaveStep &step = job.plan.steps[job.next];
            if (m_reference + step.delay > now) return;
            // The next pause counts from this step's own deadline when on time, else from now.
            m_reference = std::max(m_reference + step.delay, now);
            ++job.next;
            if (!step.datagram.empty()) {
                m_effects.sendDatagram(step.datagram, job.to.destination, job.to.port);
                continue;
            }
            // The host that stops the save: nothing of this job is sent after it.
            const std::size_t port = job.plan.invalidPort;
            m_jobs.pop_front();
            m_effects.invalidHost(port);
            continue;
        }
        m_jobs.pop_front();
    }
}

void SaveSession::runTimers(Millis now)
{
    for (SaveButton b : {SaveButton::Device, SaveButton::Port}) {
        if (!timer(b) || *timer(b) > now) continue;
        timer(b).reset();
        m_effects.setSaveButton(b, true);
    }
}

std::optional<Millis> SaveSession::nextDeadline() const
{
    std::optional<Millis> next;
    const auto consider = [&next](std::optional<Millis> t) {
        if (t && (!next || *t < *next)) next = t;
    };
    if (!m_jobs.empty()) {
        const Job &job = m_jobs.front();
        consider(job.next < job.plan.steps.size() ? m_reference + job.plan.steps[job.next].delay
                                                  : m_reference);
    }
    consider(m_deviceTimer);
    consider(m_portTimer);
    return next;
}

} // namespace pelmar
