// Time as the sessions see it: milliseconds on a monotonic clock, injected.
#pragma once

#include <chrono>
#include <cstdint>

namespace kyvo {

using Millis = std::chrono::milliseconds;

class Clock
{
public:
    virtual ~Clock() = default;
    virtual Millis now() const = 0;
};

class SteadyClock final : public Clock
{
public:
    Millis now() const override
    {
        return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now().time_since_epoch());
    }
};

// A clock that moves only when told to; sessions under test run on it.
class ManualClock final : public Clock
{
public:
    Millis now() const override { return m_now; }
    void advance(Millis by) { m_now += by; }
    void set(Millis at) { m_now = at; }

private:
    Millis m_now{1000};
};

} // namespace kyvo
