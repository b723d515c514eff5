// The cross-router search: one search request by unicast to every address
// of the search ranges, paced as the gateways' routers expect.
#pragma once

#include "vorlet/link/link_frame.h"
#include "vorlet/link/search_ranges.h"

#include <string>

namespace vorlet {

// Each address costs the sender's 30 ms before the request, then 10 ms, and
// 30 ms more after the first address of every 500. The session hands out one
// address's job at a time; a stop takes effect once the address being sent
// has been finished.
class CrossRouterSweep
{
public:
    CrossRouterSweep(std::vector<SearchRange> ranges, Bytes request, std::uint16_t port = kDevicePort);

    std::uint64_t total() const { return m_total; }
    std::uint64_t done() const { return m_done; }
    const std::string &currentAddress() const { return m_current; }
    bool finished() const { return m_finished; }

    // The steps for the next address (the previous address's trailing pause
    // comes first), or nothing when every address has been sent or a stop
    // was asked for. Counts the address as done.
    std::optional<std::vector<kyvo::PacedStep>> nextJob();
    void requestStop() { m_stop = true; }

    // Progress bar units: tenths of addresses.
    std::uint64_t progressMaximum() const { return m_total / 10; }
    std::uint64_t progressPosition() const { return m_done / 10; }

private:
    bool advance();

    std::vector<SearchRange> m_ranges;
    Bytes m_request;
    std::uint16_t m_port;
    std::uint64_t m_total = 0;
    std::uint64_t m_done = 0;
    std::size_t m_range = 0;
    std::uint64_t m_next = 0; // next address, 64 bits so that 255.255.255.255 ends a range
    bool m_started = false;
    bool m_stop = false;
    bool m_finished = false;
    kyvo::Millis m_trailingPause{0};
    std::string m_current;
};

} // namespace vorlet
