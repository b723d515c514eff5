// Cross-router search pacing and counters.
#include "vorlet/link/cross_router_sweep.h"

#include "common/ipv4.h"

namespace vorlet {

using kyvo::Millis;

CrossRouterSweep::CrossRouterSweep(std::vector<SearchRange> ranges, Bytes request, std::uint16_t port)
    : m_ranges(std::move(ranges)), m_request(std::move(request)), m_port(port)
{
    for (const SearchRange &r : m_ranges) m_total += rangeSize(r.start, r.end);
}

bool CrossRouterSweep::advance()
{
    if (!m_started) {
        m_started = true;
        m_range = 0;
        if (!m_ranges.empty()) m_next = m_ranges[0].start;
    } else {
        ++m_next;
    }
    while (m_range < m_ranges.size()) {
        const SearchRange &r = m_ranges[m_range];
        if (r.end >= r.start && m_next <= r.end) return true;
        if (++m_range < m_ranges.size()) m_next = m_ranges[m_range].start;
    }
    return false;
}

std::optional<std::vector<kyvo::PacedStep>> CrossRouterSweep::nextJob()
{
    if (m_finished) return std::nullopt;
    if (m_stop || !advance()) {
        m_finished = true;
        return std::nullopt;
    }
    const auto address = std::uint32_t(m_next);
    m_current = kyvo::ipv4Text(address);
    ++m_done;
    auto steps = fragmentMessage(m_request, {address, m_port});
    if (!steps.empty()) steps.front().delay += m_trailingPause;
    m_trailingPause = Millis{10} + (m_done % 500 == 1 ? Millis{30} : Millis{0});
    return steps;
}

} // namespace vorlet
