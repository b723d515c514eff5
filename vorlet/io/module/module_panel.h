// The I/O module panel without widgets: its settings in the record, the
// texts of the live values, the relay and input pictures, and its timers
// on an injected clock.
#pragma once

#include "common/clock.h"
#include "vorlet/io/module/module_messages.h"
#include "vorlet/record/parameter_record.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vorlet {

inline constexpr int kModuleInputs = 16;
inline constexpr int kModuleAnalog = 8;

// The settings controls: numbers as typed (plain decimal), checkboxes.
struct ModuleSettings
{
    std::int64_t address = 0;  // stored as 32 bits
    std::int64_t debounce = 0; // stored cut to 16 bits
    bool linkage = false;
    bool timers = false;
    bool upload = false;
    bool keepRelays = false;   // retention bit 0
    bool keepCounters = false; // retention bit 4
};
ModuleSettings readModuleSettings(const ParameterRecord &record);
// Rebuilds the retention byte from the two bits, the others 0; the strobe
// byte and everything the rule dialogs own stay as they are.
void storeModuleSettings(const ModuleSettings &settings, ParameterRecord &record);

// "%.03f" of v/1000 times the factor: 1 for 0-5 V, 2 for 0-10 V, 4 for 0-20 mA.
std::string scaledText(std::uint16_t thousandths, int factor);

struct LiveTexts
{
    std::array<std::string, kModuleAnalog> raw, volts5, volts10, milliamps;
    std::array<std::string, kModuleInputs> counters;
};
LiveTexts liveTexts(const LiveIo &live);

// The relay pictures: what the panel shows, flipped by a click, set by the
// two all-buttons, and redrawn from the device's states while refreshing.
class RelayPictures
{
public:
    bool on(std::size_t k) const { return m_on[k]; }
    // Yk flips; the message opens it when it showed on, else closes it, and
    // leaves every other relay.
    RelayCodes click(std::size_t k);
    RelayCodes all(bool on);
    void follow(const LiveIo &live);

private:
    std::array<bool, kModuleRelays> m_on{};
};

// The input pictures, redrawn only where the state changed since the last draw.
class InputPictures
{
public:
    bool active(std::size_t k) const { return m_active[k]; }
    // The inputs whose picture must change; they are taken as drawn.
    std::vector<std::size_t> update(const LiveIo &live);

private:
    std::array<bool, kModuleInputs> m_active{};
};

// States: refresh off, or on with the status query every 500 ms and a redraw
// every 100 ms; download idle, or waiting, where the acknowledgement is looked
// at every 100 ms until 10 s have passed. A late run does not catch up on
// the periods it missed.
class PanelTimers
{
public:
    static constexpr kyvo::Millis kQueryPeriod{500};
    static constexpr kyvo::Millis kRedrawPeriod{100};
    static constexpr kyvo::Millis kAckPeriod{100};
    static constexpr kyvo::Millis kDownloadLimit{10000};

    enum class DownloadEnd { None, Succeeded, Failed };
    struct Due
    {
        bool query = false;
        bool redraw = false;
        DownloadEnd download = DownloadEnd::None;
    };

    void setRefresh(bool on, kyvo::Millis now);
    bool refreshing() const { return m_nextQuery.has_value(); }
    void startDownload(kyvo::Millis now);
    void stopDownload();
    bool downloading() const { return m_nextAck.has_value(); }

    Due run(kyvo::Millis now, bool acknowledged);
    std::optional<kyvo::Millis> nextDeadline() const;

private:
    std::optional<kyvo::Millis> m_nextQuery, m_nextRedraw, m_nextAck, m_downloadEnd;
};

} // namespace vorlet
