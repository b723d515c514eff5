// Reading short-frame servers item by item.
#include "pelmar/link/read_sequence.h"

namespace pelmar {

ReadSequence shortDiscoveryParams(ByteView r)
{
    ReadSequence p;
    if (r.size() < kShortFrameSize) return p;
    std::copy_n(r.begin() + 20, 3, p.tail.begin());
    p.portCountChar = char(r[9]);
    p.version = (int(r[6]) - '0') * 10 + (int(r[7]) - '0');
    p.flag = r[12];
    return p;
}

std::vector<std::uint8_t> readSequenceCodes(const ReadSequence &p)
{
    std::vector<std::uint8_t> c{0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    const auto add = [&c](std::initializer_list<std::uint8_t> codes) { c.insert(c.end(), codes); };
    const bool newer = p.version >= 43;
    if (p.flag == 1) add({0x41, 0x42, 0x43});
    add({0x12, 0x13, 0x14});
    if (newer) add({0x37, 0x38});
    add({0x3F});
    if (p.portCountChar == '1') {
        add({0x15});
        return c;
    }
    add({0x17, 0x18, 0x19, 0x20, 0x21});
    if (newer) add({0x39, 0x3A});
    if (p.portCountChar == '4') {
        add({0x22});
        return c;
    }
    add({0x24, 0x25, 0x26, 0x27, 0x28});
    if (newer) add({0x3B, 0x3C});
    if (p.portCountChar == '6') {
        add({0x29});
        return c;
    }
    add({0x30, 0x31, 0x32, 0x33, 0x34});
    if (newer) add({0x3D, 0x3E});
    add({0x36});
    return c;
}

Millis readSequenceStartDelay(const MacTail &t)
{
    return Millis{800 + t[0] + t[1] + t[2]};
}

Millis readPauseBefore(std::uint8_t code)
{
    return Millis{code == 0x20 || code == 0x21 ? 10 : 20};
}

std::vector<kyvo::PacedStep> readSequenceSteps(const ReadSequence &p, kyvo::Ipv4Endpoint destination)
{
    std::vector<kyvo::PacedStep> steps;
    steps.push_back({readSequenceStartDelay(p.tail), destination, {}});
    for (std::uint8_t code : readSequenceCodes(p))
        steps.push_back({readPauseBefore(code), destination, buildItemRead(code, p.tail)});
    return steps;
}

std::vector<Bytes> rereadFrames(const MacTail &tail)
{
    std::vector<Bytes> frames;
    for (std::uint8_t code = 0x02; code <= 0x07; ++code)
        frames.push_back(buildItemRead(code, tail));
    return frames;
}

void ParallelSchedule::start(std::vector<kyvo::PacedStep> steps, std::uint64_t token, Millis now)
{
    if (const auto it = m_jobs.find(token); it != m_jobs.end())
        if (const auto d = it->second.nextDeadline()) m_due.erase({*d, token});
    m_jobs[token].enqueue(std::move(steps), token, now);
    schedule(token);
}

void ParallelSchedule::schedule(std::uint64_t token)
{
    const auto it = m_jobs.find(token);
    if (it == m_jobs.end()) return;
    if (const auto d = it->second.nextDeadline())
        m_due.insert({*d, token});
    else
        m_jobs.erase(it);
}

void ParallelSchedule::run(Millis now, const SendFn &send, const kyvo::PacedQueue::DoneFn &done)
{
    // Sends of jobs that are due at once leave in the order of their deadlines.
    while (!m_due.empty() && m_due.begin()->first <= now) {
        const std::uint64_t job = m_due.begin()->second;
        m_due.erase(m_due.begin());
        const auto it = m_jobs.find(job);
        if (it == m_jobs.end()) continue;
        // A queue counts its next pause from now, so one call runs one step of it.
        bool finished = false;
        it->second.run(
            now, [&](const kyvo::Ipv4Endpoint &to, const Bytes &bytes) { send(job, to, bytes); },
            [&](std::uint64_t token) {
                finished = true;
                done(token);
            });
        if (finished || it->second.idle())
            m_jobs.erase(it);
        else
            schedule(job);
    }
}

std::optional<Millis> ParallelSchedule::nextDeadline() const
{
    if (m_due.empty()) return std::nullopt;
    return m_due.begin()->first;
}

} // namespace pelmar
