// The WiFi scan's pure parts: the networks of a scan reply and the scan
// list's countdown on an injected clock.
#pragma once

#include "common/bytes.h"
#include "common/clock.h"

#include <string>
#include <vector>

namespace pelmar {

// A scan reply ("H:R" 0x9F): its text runs from byte 4 to the third-last
// byte, and every network's name ends with '&'; text after the last '&' is
// no name. GBK bytes, in the order received.
std::vector<std::string> scanReplyNetworks(kyvo::ByteView datagram);

// The scan list's header: "searching" with the seconds left (6, then 5 .. 1
// a second apart), "timed out" after six seconds, or "answered".
class ScanCountdown
{
public:
    enum class State { Idle, Searching, TimedOut, Answered };
    static constexpr int kSeconds = 6;

    void start(kyvo::Millis now)
    {
        m_start = now;
        m_state = State::Searching;
        m_remaining = kSeconds;
    }
    // True when the header changes.
    bool poll(kyvo::Millis now);
    void answer() { m_state = State::Answered; }
    State state() const { return m_state; }
    int remaining() const { return m_remaining; }

private:
    State m_state = State::Idle;
    kyvo::Millis m_start{0};
    int m_remaining = 0;
};

} // namespace pelmar
