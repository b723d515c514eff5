// The saves and device commands of the main window over time: the planned
// datagrams leave with their pauses, one save after another, and the two
// save buttons come back on their 3-second timers (3: device save, 4: port
// save) or at once when a write is accepted. Time is injected.
#pragma once

#include "pelmar/ui/save_plan.h"

#include <deque>
#include <string>

namespace pelmar {

enum class SaveButton { Device, Port };

// What the session asks its owner to do.
class SaveEffects
{
public:
    virtual ~SaveEffects() = default;
    virtual void sendDatagram(const Bytes &datagram, const std::string &destination, std::uint16_t port) = 0;
    virtual void setSaveButton(SaveButton button, bool enabled) = 0;
    // A short-frame port save reached a target host longer than 32 characters.
    virtual void invalidHost(std::size_t port) = 0;
};

// States: each button is idle (enabled) or waiting on its timer (disabled);
// the queue runs one job at a time, each step after its pause counted from
// the moment the step before it left. A job that starts while another runs
// waits for it, as a click waits while the window is busy.
class SaveSession
{
public:
    static constexpr Millis kButtonTimer{3000};

    struct Target
    {
        std::string destination; // address text, or the broadcast address
        std::uint16_t port = 0;
    };

    explicit SaveSession(SaveEffects &effects) : m_effects(effects) {}

    // Device save: its button off and timer 3 started, then the plan.
    void saveDevice(SavePlan plan, Target to, Millis now);
    // Port save: its button off and timer 4 started; a plan that writes the
    // whole record is a device save as well (both buttons, both timers).
    void savePorts(SavePlan plan, Target to, bool wholeRecord, Millis now);
    // Restart, factory reset, entering the upgrade: one datagram, after any save under way.
    void command(Bytes datagram, Target to, Millis now);

    // 0x10: both buttons back at once.
    void writeAccepted();

    // Sends what is due and fires the button timers whose time has come.
    void run(Millis now);
    std::optional<Millis> nextDeadline() const;

    bool buttonEnabled(SaveButton button) const { return !timer(button).has_value(); }
    bool sending() const { return !m_jobs.empty(); }

private:
    struct Job
    {
        SavePlan plan;
        Target to;
        std::size_t next = 0;
    };
    void startTimer(SaveButton button, Millis now);
    void enqueue(SavePlan plan, Target to, Millis now);
    void runJobs(Millis now);
    void runTimers(Millis now);
    std::optional<Millis> &timer(SaveButton b)
    {
        return b == SaveButton::Device ? m_deviceTimer : m_portTimer;
    }
    const std::optional<Millis> &timer(SaveButton b) const
    {
        return b == SaveButton::Device ? m_deviceTimer : m_portTimer;
    }

    SaveEffects &m_effects;
    std::deque<Job> m_jobs;
    Millis m_reference{0}; // when the last step left, or when the front job became ready
    std::optional<Millis> m_deviceTimer, m_portTimer;
};

} // namespace pelmar
