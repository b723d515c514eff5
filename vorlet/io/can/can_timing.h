// The CAN port's arithmetic without windows: bit timing from a wanted rate or
// from manual segments, the hardware filter's masks and count, and the
// display and repair rules of the stored filters and senders.
#pragma once

#include "vorlet/record/parameter_record.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vorlet::can {

inline constexpr std::uint32_t kTimingClockHz = 80'000'000;
inline constexpr std::uint8_t kCustomBitRate = 16; // "自定义" in the bit-rate list
inline constexpr std::uint32_t kMinRateBps = 1'000;
inline constexpr std::uint32_t kMaxRateBps = 1'000'000;
inline constexpr int kMaxBrp = 4000;
inline constexpr int kMaxTseg1 = 16;
inline constexpr int kMaxTseg2 = 8;

struct Timing
{
    int brp = 0;
    int tseg1 = 0;
    int tseg2 = 0;
    friend bool operator==(const Timing &, const Timing &) = default;
};

// The stored custom timing with each field that is 0 given its default
// (brp 16, tseg1 15, tseg2 4).
Timing timingWithDefaults(Timing stored);
Timing storedTiming(const CanBlock &block);

// 80,000,000 / (1 + tseg1 + tseg2) / brp in bit/s, integer divisions; 0 for
// a prescaler below 1.
std::uint32_t actualRate(Timing timing);
// tseg1 * 100 / (1 + tseg1 + tseg2), integer division.
int samplingPercent(Timing timing);

// A wanted rate typed in kbps ("33.3") in bit/s: the decimal value times
// 1000, truncated toward zero (leading blanks, a sign, digits, a point and
// digits; whatever follows is ignored). Nothing for an empty text.
std::optional<std::int64_t> wantedRateBps(std::string_view text);

// The timing the search picks for a rate within 1..1000 kbps: 20 quanta at
// 4 MHz (tseg1 15, tseg2 4) or 25 quanta at 3.2 MHz (tseg1 16, tseg2 8),
// whichever comes closer from above; a tie goes to the first.
struct RateChoice
{
    Timing timing;
    std::uint32_t actual = 0;
};
RateChoice timingForRate(std::uint32_t rateBps);

// The hardware filter keeps 11 ID bits for standard frames, 31 for extended.
std::uint32_t filterWordMask(bool extended);
// 2 to the number of mask bits set among the low 11 (standard) or 29
// (extended) bits: how many IDs the filter lets through.
std::uint32_t acceptedIdCount(std::uint32_t mask, bool extended);
// "%x" as the filter edits read it: an optional 0x, then leading hex digits
// (at most eight count); 0 when there are none.
std::uint32_t hexWordValue(std::string_view text);

// A sender's frame is shown unless its frame-information byte is 0 or uses
// bits 4 or 5, which a classic frame leaves clear.
bool senderFrameShown(const std::uint8_t (&frame)[13]);

// The values the filter lists cannot show are reset to 0: a data type above
// 18, a frame type above 2, a start byte above 7, a logic above 2.
void repairFilter(CanFilter &filter);

} // namespace vorlet::can
