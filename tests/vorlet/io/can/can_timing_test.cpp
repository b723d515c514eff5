// The CAN port's arithmetic: bit timing searched from a wanted rate, the
// custom-rate defaults, the hardware filter's count and hex words, and the
// display rules of stored senders and filters.
#include "vorlet/io/can/can_timing.h"

#include <gtest/gtest.h>

using namespace vorlet;
using namespace vorlet::can;

TEST(CanTiming, WantedRateTextIsReadInKilobitsTruncatedToBits)
{
    const std::pair<const char *, std::int64_t> cases[] = {
        {"250", 250000},    {"33.3", 33300}, {" 250.000  ", 250000},
        {"12.3456", 12345}, {"0.5", 500},    {"1500", 1500000},
        {"-5", -5000},      {"abc", 0},      {"7k", 7000}};
    for (const auto &[text, bps] : cases)
        EXPECT_EQ(wantedRateBps(text), bps) << text;
    EXPECT_FALSE(wantedRateBps("").has_value());
}

TEST(CanTiming, SearchPicksTheTimingClosestFromAboveAndATieGoesToTwentyQuanta)
{
    struct Case
    {
        std::uint32_t rate;
        Timing timing;
        std::uint32_t actual;
        int sampling;
    };
    const Case cases[] = {
        {250000, {16, 15, 4}, 250000, 75},  // B would give brp 12, 266,666
        {125000, {32, 15, 4}, 125000, 75},  // B would give brp 25, 128,000
        {33300, {120, 15, 4}, 33333, 75},   // B gives brp 96, 33,333 too: a tie
        {1000000, {4, 15, 4}, 1000000, 75}, // the most a wanted rate can be
        {640000, {5, 16, 8}, 640000, 64},   // A would give brp 6, 666,666
        {1000, {4000, 15, 4}, 1000, 75},    // the least: the largest prescaler
    };
    for (const Case &c : cases) {
        const RateChoice choice = timingForRate(c.rate);
        EXPECT_EQ(choice.timing, c.timing) << c.rate;
        EXPECT_EQ(choice.actual, c.actual) << c.rate;
        EXPECT_EQ(actualRate(choice.timing), c.actual) << c.rate;
        EXPECT_EQ(samplingPercent(choice.timing), c.sampling) << c.rate;
    }
}

TEST(CanTiming, ZeroTimingFieldsTakeTheirDefaultsAndShowTwoHundredFiftyK)
{
    EXPECT_EQ(timingWithDefaults({0, 0, 0}), (Timing{16, 15, 4}));
    EXPECT_EQ(timingWithDefaults({7, 0, 2}), (Timing{7, 15, 2}));
    EXPECT_EQ(actualRate(timingWithDefaults({0, 0, 0})), 250000u);
    EXPECT_EQ(actualRate({0, 15, 4}), 0u); // never a division by zero
}

TEST(CanTiming, AcceptedIdCountIsTwoToTheMaskBitsOfTheFrameKind)
{
    struct Case
    {
        std::uint32_t mask;
        bool extended;
        std::uint32_t count;
    };
    const Case cases[] = {{0x1FFFFFFF, true, 536870912}, {0x7FF, false, 2048}, {0xFFFFFFFF, false, 2048},
                          {0x7FFFFFFF, true, 536870912}, {0, false, 1},        {0x801, true, 4}};
    for (const Case &c : cases)
        EXPECT_EQ(acceptedIdCount(c.mask, c.extended), c.count) << std::hex << c.mask;
    EXPECT_EQ(filterWordMask(false), 0x7FFu);
    EXPECT_EQ(filterWordMask(true), 0x7FFFFFFFu);
}

TEST(CanTiming, HexWordsReadLikeTheFilterEdits)
{
    const std::pair<const char *, std::uint32_t> cases[] = {
        {"7ff", 0x7FF}, {"0x1F", 0x1F}, {"", 0}, {"zz", 0}, {"12g4", 0x12}, {"123456789", 0x12345678}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(hexWordValue(text), value) << text;
}

TEST(CanTiming, SenderFramesWithoutAClassicFrameInformationByteAreNotShown)
{
    const std::pair<std::uint8_t, bool> cases[] = {{0x88, true},  {0x08, true},  {0xC8, true},
                                                   {0x30, false}, {0x10, false}, {0x00, false}};
    for (const auto &[first, shown] : cases) {
        std::uint8_t frame[13] = {first, 0, 0, 0x12, 0x34};
        EXPECT_EQ(senderFrameShown(frame), shown) << int(first);
    }
}

TEST(CanTiming, FilterValuesTheListsCannotShowBecomeZero)
{
    CanFilter bad{};
    bad.dataType = 19;
    bad.frameType = 3;
    bad.logic = 3;
    bad.startByte = 8;
    repairFilter(bad);
    EXPECT_EQ((std::array{bad.dataType, bad.frameType, bad.logic, bad.startByte}),
              (std::array<std::uint8_t, 4>{}));
    CanFilter last{};
    last.dataType = 18;
    last.frameType = 2;
    last.logic = 2;
    last.startByte = 7;
    repairFilter(last);
    EXPECT_EQ((std::array{last.dataType, last.frameType, last.logic, last.startByte}),
              (std::array<std::uint8_t, 4>{18, 2, 2, 7}));
}
