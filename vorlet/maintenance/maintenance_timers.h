// The maintenance dialogs' timers on an injected clock: a repeating tick,
// the wait for a write acknowledgement, and the quiet time that ends the
// parameter image transfer.
#pragma once

#include "common/clock.h"
#include "vorlet/maintenance/maintenance_messages.h"

#include <optional>

namespace vorlet {

// The customised set's acknowledgement, looked at every 100 ms for 5 s; the
// scan's answer, looked for every second for 6 s.
inline constexpr kyvo::Millis kCustomAckPeriod{100};
inline constexpr kyvo::Millis kCustomAckLimit{5000};
inline constexpr kyvo::Millis kScanCheckPeriod{1000};
inline constexpr kyvo::Millis kScanLimit{6000};

// A repeating timer; a late run does not catch up on the periods it missed.
class Ticker
{
public:
    void start(kyvo::Millis now, kyvo::Millis period);
    void stop() { m_next.reset(); }
    bool running() const { return m_next.has_value(); }
    // True once per due period.
    bool take(kyvo::Millis now);
    std::optional<kyvo::Millis> next() const { return m_next; }

private:
    kyvo::Millis m_period{1000};
    std::optional<kyvo::Millis> m_next;
};

// States: idle, or waiting, where the acknowledgement flag is looked at every
// period; the tick that reaches the limit without it fails.
class AckWait
{
public:
    enum class End { None, Succeeded, Failed };
    AckWait(kyvo::Millis period, kyvo::Millis limit) : m_period(period), m_limit(limit) {}

    // (Re)starts the wait; the caller clears the flag first.
    void start(kyvo::Millis now);
    void stop() { m_ticks.stop(); }
    bool waiting() const { return m_ticks.running(); }
    End run(kyvo::Millis now, bool acknowledged);
    std::optional<kyvo::Millis> nextDeadline() const { return m_ticks.next(); }

private:
    kyvo::Millis m_period, m_limit;
    kyvo::Millis m_started{0};
    Ticker m_ticks;
};

// States: idle, or receiving until no datagram has come for 3001 ms.
class ImageFetch
{
public:
    static constexpr kyvo::Millis kQuiet{3001};

    void start(kyvo::Millis now);
    void stop() { m_quietAt.reset(); }
    bool running() const { return m_quietAt.has_value(); }
    // A datagram from the device; it counts for the quiet time even when it
    // is not an image block.
    void datagram(ByteView data, kyvo::Millis now);
    // True when the transfer ended at this run.
    bool run(kyvo::Millis now);
    std::optional<kyvo::Millis> nextDeadline() const { return m_quietAt; }
    const ImageCollector &collected() const { return m_collector; }

private:
    ImageCollector m_collector;
    std::optional<kyvo::Millis> m_quietAt;
};

} // namespace vorlet
