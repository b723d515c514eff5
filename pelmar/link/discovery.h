// Discovery sessions on an injected clock: the repeated broadcast of the
// search request and the sweep over the 254 hosts of one subnet; the sweep
// prefix and the destination rule for commands to one device.
#pragma once

#include "common/clock.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmar {

using kyvo::Millis;

inline constexpr std::string_view kDefaultBroadcastAddress = "255.255.255.255";

// The leading part of the broadcast address up to and including its third
// '.', at most 16 characters; an address that ends before its third '.' is
// taken whole. Nothing when there is no '.' among its first 16 characters
// (an empty address included): such an address names no subnet to sweep.
std::optional<std::string> sweepPrefix(std::string_view broadcastAddress);

// The host's address cut after its third '.', for the subnet box's
// suggestion (prefix followed by "255").
std::string localPrefix(std::string_view address);

// Commands to one device go to the broadcast address while "广播搜索" is
// ticked (the MacTail alone selects the device), else to the address the
// device answered from.
std::string commandDestination(bool broadcastSearch, std::string_view broadcastAddress,
                               std::string_view addressText);

// Timer 1 (broadcast) and timer 2 (sweep) as one session: the first request
// goes 500 ms after the start and then one every second, at most six; the
// sweep probes host 1 .. 254, one every 10 ms. Deadlines are counted from
// the start, so late timers do not stretch the search; a late run catches up
// in order.
class SearchSession
{
public:
    enum class State { Idle, Broadcasting, Sweeping };

    struct Tick
    {
        enum class Kind { Broadcast, Probe };
        Kind kind = Kind::Broadcast;
        std::string destination; // where the search request goes
        int count = 0;           // requests sent so far, or the host just probed (the progress)
        bool last = false;       // the sixth request (the search timed out), or host 254 (the sweep ended)
    };

    static constexpr Millis kFirstBroadcast{500};
    static constexpr Millis kBroadcastInterval{1000};
    static constexpr Millis kSweepInterval{10};
    static constexpr int kMaxBroadcasts = 6;
    static constexpr int kLastHost = 254;

    // Either start stops the other mode.
    void startBroadcast(std::string broadcastAddress, Millis now);
    // False, and nothing changed, when the address gives no sweep prefix.
    bool startSweep(std::string_view broadcastAddress, Millis now);
    // A record or discovery reply ends the broadcast once its first request
    // is out (the sweep goes on).
    void answerArrived();
    void stop();

    State state() const { return m_state; }
    int broadcastsSent() const { return m_broadcasts; }
    int hostCounter() const { return m_host; }
    const std::string &prefix() const { return m_prefix; }

    std::optional<Millis> nextDeadline() const;
    // Every tick that is due at `now`, in order.
    std::vector<Tick> run(Millis now);

private:
    State m_state = State::Idle;
    Millis m_start{0};
    std::string m_destination; // broadcast
    std::string m_prefix;      // sweep
    int m_broadcasts = 0;
    int m_host = 0;
};

} // namespace pelmar
