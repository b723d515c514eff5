// Broadcast search and subnet sweep.
#include "pelmar/link/discovery.h"

namespace pelmar {

std::optional<std::string> sweepPrefix(std::string_view address)
{
    const std::string_view head = address.substr(0, 16);
    if (head.find('.') == std::string_view::npos) return std::nullopt;
    std::size_t dots = 0;
    for (std::size_t i = 0; i < head.size(); ++i) {
        if (head[i] == '.' && ++dots == 3) return std::string(head.substr(0, i + 1));
    }
    return std::string(head);
}

std::string localPrefix(std::string_view address)
{
    std::size_t dots = 0;
    for (std::size_t i = 0; i < address.size(); ++i)
        if (address[i] == '.' && ++dots == 3) return std::string(address.substr(0, i + 1));
    return std::string(address);
}

std::string commandDestination(bool broadcastSearch, std::string_view broadcastAddress,
                               std::string_view addressText)
{
    return std::string(broadcastSearch ? broadcastAddress : addressText);
}

void SearchSession::startBroadcast(std::string broadcastAddress, Millis now)
{
    m_state = State::Broadcasting;
    m_start = now;
    m_destination = std::move(broadcastAddress);
    m_broadcasts = 0;
}

bool SearchSession::startSweep(std::string_view broadcastAddress, Millis now)
{
    auto prefix = sweepPrefix(broadcastAddress);
    if (!prefix) return false;
    m_state = State::Sweeping;
    m_start = now;
    m_prefix = std::move(*prefix);
    m_host = 0;
    return true;
}

void SearchSession::answerArrived()
{
    // An answer before the first request went out was not asked for by
    // this search: the repeats go on, so the servers are asked.
    if (m_state == State::Broadcasting && m_broadcasts > 0) m_state = State::Idle;
}

void SearchSession::stop()
{
    m_state = State::Idle;
}

std::optional<Millis> SearchSession::nextDeadline() const
{
    switch (m_state) {
    case State::Broadcasting:
        return m_start + kFirstBroadcast + kBroadcastInterval * m_broadcasts;
    case State::Sweeping:
        return m_start + kSweepInterval * (m_host + 1);
    case State::Idle:
        break;
    }
    return std::nullopt;
}

std::vector<SearchSession::Tick> SearchSession::run(Millis now)
{
    std::vector<Tick> ticks;
    while (m_state != State::Idle && *nextDeadline() <= now) {
        Tick tick;
        if (m_state == State::Broadcasting) {
            tick.kind = Tick::Kind::Broadcast;
            tick.destination = m_destination;
            tick.count = ++m_broadcasts;
            tick.last = m_broadcasts >= kMaxBroadcasts;
        } else {
            tick.kind = Tick::Kind::Probe;
            tick.count = ++m_host;
            tick.destination = m_prefix + std::to_string(m_host);
            tick.last = m_host >= kLastHost;
            if (tick.last) m_host = 0;
        }
        if (tick.last) m_state = State::Idle;
        ticks.push_back(std::move(tick));
    }
    return ticks;
}

} // namespace pelmar
