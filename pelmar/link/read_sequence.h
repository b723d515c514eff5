// The item-by-item reading of a short-frame server after its discovery
// reply, and a schedule that runs many such readings side by side.
#pragma once

#include "common/ipv4.h"
#include "common/paced_queue.h"
#include "pelmar/link/command_frame.h"

#include <functional>
#include <map>
#include <set>

namespace pelmar {

using kyvo::Millis;

// The parameters one short-frame server's reading is started with, each
// reading its own copy.
struct ReadSequence
{
    MacTail tail{};
    char portCountChar = 0; // byte 9 of the discovery reply
    int version = 0;        // from bytes 6 and 7: (b6 - '0') * 10 + (b7 - '0')
    std::uint8_t flag = 0;  // byte 12: 1 adds the packing and timeout lists
};

// The parameters a 26-byte discovery reply carries.
ReadSequence shortDiscoveryParams(ByteView reply);

// The item codes in the order they are read.
std::vector<std::uint8_t> readSequenceCodes(const ReadSequence &params);

// 800 ms plus the three MacTail bytes, so that many servers are not read at once.
Millis readSequenceStartDelay(const MacTail &tail);
// The pause before each read: 10 ms before 0x20 and 0x21, else 20 ms.
Millis readPauseBefore(std::uint8_t code);

// The whole reading as paced steps: the start delay, then each read after its pause.
std::vector<kyvo::PacedStep> readSequenceSteps(const ReadSequence &params, kyvo::Ipv4Endpoint destination);

// The double-click re-read: items 0x02 .. 0x07, no pauses between them.
std::vector<Bytes> rereadFrames(const MacTail &tail);

// Paced jobs that run at the same time, each keeping its own pauses (a
// PacedQueue runs its jobs one after another). The jobs wait in the order
// of their next deadlines, so a step costs log(jobs), not a scan of them all.
class ParallelSchedule
{
public:
    using SendFn = std::function<void(std::uint64_t token, const kyvo::Ipv4Endpoint &, const Bytes &)>;

    void start(std::vector<kyvo::PacedStep> steps, std::uint64_t token, Millis now);
    // Runs every step that is due at `now`, across jobs in the order of their deadlines.
    void run(Millis now, const SendFn &send, const kyvo::PacedQueue::DoneFn &done);
    std::optional<Millis> nextDeadline() const;
    std::size_t running() const { return m_jobs.size(); }
    void clear()
    {
        m_jobs.clear();
        m_due.clear();
    }

private:
    void schedule(std::uint64_t token);

    std::map<std::uint64_t, kyvo::PacedQueue> m_jobs;
    std::set<std::pair<Millis, std::uint64_t>> m_due; // each job's next deadline
};

} // namespace pelmar
