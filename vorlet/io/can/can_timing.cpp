// CAN bit timing, filter arithmetic and the stored values' display rules.
#include "vorlet/io/can/can_timing.h"

#include <bit>

namespace vorlet::can {

Timing timingWithDefaults(Timing t)
{
    if (t.brp == 0) t.brp = 16;
    if (t.tseg1 == 0) t.tseg1 = 15;
    if (t.tseg2 == 0) t.tseg2 = 4;
    return t;
}

Timing storedTiming(const CanBlock &block)
{
    return {block.brp.get(), block.tseg1, block.tseg2};
}

std::uint32_t actualRate(Timing t)
{
    if (t.brp < 1) return 0;
    const std::uint32_t quanta = std::uint32_t(1 + t.tseg1 + t.tseg2);
    return kTimingClockHz / quanta / std::uint32_t(t.brp);
}

int samplingPercent(Timing t)
{
    return t.tseg1 * 100 / (1 + t.tseg1 + t.tseg2);
}

std::optional<std::int64_t> wantedRateBps(std::string_view text)
{
    if (text.empty()) return std::nullopt;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Kilobits with three decimals are bits; digits beyond a bound no longer
    // matter, as anything above 1000 kbps is replaced anyway.
    constexpr std::int64_t kBound = std::int64_t(1) << 40;
    std::int64_t kbps = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (kbps < kBound) kbps = kbps * 10 + (text[i] - '0');
    std::int64_t bps = kbps * 1000;
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (std::int64_t scale = 100; scale > 0 && i < text.size() && text[i] >= '0' && text[i] <= '9';
             ++i, scale /= 10)
            bps += (text[i] - '0') * scale;
    }
    return negative ? -bps : bps;
}

RateChoice timingForRate(std::uint32_t rate)
{
    if (rate == 0) return {};
    constexpr std::uint32_t kClockA = kTimingClockHz / 20; // 1 + 15 + 4 quanta
    constexpr std::uint32_t kClockB = kTimingClockHz / 25; // 1 + 16 + 8 quanta
    const std::uint32_t brpA = kClockA / rate;
    const std::uint32_t brpB = kClockB / rate;
    const std::uint32_t actualA = brpA ? kClockA / brpA : 0;
    const std::uint32_t actualB = brpB ? kClockB / brpB : 0;
    // Both actual rates lie at or above the wanted one, so the differences
    // are the distances.
    if (brpB != 0 && (brpA == 0 || actualB - rate < actualA - rate)) return {{int(brpB), 16, 8}, actualB};
    return {{int(brpA), 15, 4}, actualA};
}

std::uint32_t filterWordMask(bool extended)
{
    return extended ? 0x7FFFFFFFu : 0x7FFu;
}

std::uint32_t acceptedIdCount(std::uint32_t mask, bool extended)
{
    const std::uint32_t idBits = extended ? 0x1FFFFFFFu : 0x7FFu;
    return std::uint32_t(1) << std::popcount(mask & idBits);
}

std::uint32_t hexWordValue(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) i += 2;
    std::uint32_t value = 0;
    for (int digits = 0; i < text.size() && digits < 8; ++i, ++digits) {
        const char c = text[i];
        int nibble;
        if (c >= '0' && c <= '9')
            nibble = c - '0';
        else if (c >= 'a' && c <= 'f')
            nibble = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            nibble = c - 'A' + 10;
        else
            break;
        value = value << 4 | std::uint32_t(nibble);
    }
    return value;
}

bool senderFrameShown(const std::uint8_t (&frame)[13])
{
    return frame[0] != 0 && (frame[0] & 0x30) == 0;
}

void repairFilter(CanFilter &f)
{
    if (f.dataType > 18) f.dataType = 0;
    if (f.frameType > 2) f.frameType = 0;
    if (f.logic > 2) f.logic = 0;
    if (f.startByte > 7) f.startByte = 0;
}

} // namespace vorlet::can
