// The paced sender's schedule: datagrams that must leave with set pauses
// between them, one job after another, on an injected time base.
#pragma once

#include "common/bytes.h"
#include "common/clock.h"
#include "common/ipv4.h"

#include <deque>
#include <functional>
#include <optional>

namespace kyvo {

struct PacedStep {
    Millis delay{0};          // pause after the previous step of the job (or after the job starts)
    Ipv4Endpoint destination; // unused when datagram is empty
    Bytes datagram;           // empty: a pause only
};

// A job's steps run in order; the pause of each step is counted from the
// moment the previous step actually ran, so a late timer never shortens a
// pause. A job starts when the one before it has finished.
class PacedQueue
{
public:
    using SendFn = std::function<void(const Ipv4Endpoint &, const Bytes &)>;
    using DoneFn = std::function<void(std::uint64_t token)>;

    void enqueue(std::vector<PacedStep> steps, std::uint64_t token, Millis now);
    // Runs every step that is due at `now`; reports finished jobs.
    void run(Millis now, const SendFn &send, const DoneFn &done);
    // When run() next has work, or nothing when the queue is idle.
    std::optional<Millis> nextDeadline() const;
    // Drops queued jobs (the one under way too); returns their tokens.
    std::vector<std::uint64_t> clear();
    bool idle() const { return m_jobs.empty(); }
    std::size_t pendingJobs() const { return m_jobs.size(); }

private:
    struct Job {
        std::vector<PacedStep> steps;
        std::uint64_t token = 0;
        std::size_t next = 0;
    };
    std::deque<Job> m_jobs;
    Millis m_reference{0}; // when the last step ran, or when the front job became ready
};

} // namespace kyvo
