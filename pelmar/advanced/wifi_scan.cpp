// Scan reply and countdown.
#include "pelmar/advanced/wifi_scan.h"

#include <algorithm>

namespace pelmar {

std::vector<std::string> scanReplyNetworks(kyvo::ByteView d)
{
    std::vector<std::string> names;
    if (d.size() < 4 + 3) return names;
    std::string current;
    for (std::size_t i = 4; i < d.size() - 3; ++i) {
        if (d[i] == '&') {
            names.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(char(d[i]));
        }
    }
    return names;
}

bool ScanCountdown::poll(kyvo::Millis now)
{
    if (m_state != State::Searching) return false;
    const auto seconds = (now - m_start) / kyvo::Millis{1000};
    const int remaining = int(std::max<std::int64_t>(0, kSeconds - seconds));
    if (remaining == m_remaining) return false;
    m_remaining = remaining;
    if (remaining == 0) m_state = State::TimedOut;
    return true;
}

} // namespace pelmar
