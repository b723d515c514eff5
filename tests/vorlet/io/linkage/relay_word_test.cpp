// Relay action words and the rule dialogs' number texts.
#include "vorlet/io/linkage/rule_values.h"
#include "vorlet/io/relay_word.h"

#include <gtest/gtest.h>

using namespace vorlet;

TEST(RelayWord, WordsOfTheQuickOperations)
{
    struct Case
    {
        std::uint32_t word, expected;
    };
    const Case cases[] = {
        {singleRelayWord(0, kRelayClose), 0xFFFFFFFDu},  // X1 -> Y1 closes
        {singleRelayWord(15, kRelayClose), 0x7FFFFFFFu}, // X16 -> Y16 closes
        {singleRelayWord(15, kRelayOpen), 0x3FFFFFFFu},
        {singleRelayWord(1, kRelayToggle), 0xFFFFFFFBu},
        {uniformRelayWord(kRelayToggle), 0xAAAAAAAAu},
        {uniformRelayWord(kRelayOpen), 0x00000000u},
        {uniformRelayWord(kRelayUnchanged), kNoRelayAction},
        {withRelayCode(0x00000000u, 2, kRelayClose), 0x00000010u},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.word, c.expected) << std::hex << c.expected;
}

TEST(RelayWord, CodesPerRelayRoundTrip)
{
    const std::uint32_t word = 0x7FFFFFFDu;
    const RelayCodes codes = relayCodes(word);
    EXPECT_EQ(codes[0], kRelayClose);
    EXPECT_EQ(codes[15], kRelayClose);
    EXPECT_EQ(codes[7], kRelayUnchanged);
    EXPECT_EQ(relayWord(codes), word);
    EXPECT_EQ(relayCode(0xAAAAAAAAu, 9), kRelayToggle);
}

TEST(RuleValues, TimeTexts)
{
    struct Case
    {
        const char *typed;
        std::uint32_t seconds;
        const char *shown;
    };
    const Case cases[] = {
        {"08:30:15", 30615, "08:30:15"}, {"7:5", 25500, "07:05:00"},
        {"25:00:00", 90000, "25:00:00"}, {"", 0, "00:00:00"},
        {"x:10:y", 600, "00:10:00"},     {"1:2:3:4", 3723, "01:02:03"},
        {"0:0:59", 59, "00:00:59"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(timeOfDaySeconds(c.typed), c.seconds) << c.typed;
        EXPECT_EQ(timeOfDayText(c.seconds), c.shown) << c.typed;
    }
}

TEST(RuleValues, ThresholdsInCountsOrThousandths)
{
    struct Case
    {
        const char *typed;
        bool raw;
        std::uint16_t stored;
    };
    const Case cases[] = {
        {"7.25", false, 7250}, {"7.25", true, 7},        {"4.5", false, 4500}, {"4.5", true, 4},
        {"2.3", false, 2300},  {"0.0019", false, 1},     {".5", false, 500},   {" 12", true, 12},
        {"abc", false, 0},     {"65.535", false, 65535}, {"70", true, 70},     {"65536", true, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(thresholdValue(c.typed, c.raw), c.stored) << c.typed;
    EXPECT_EQ(thresholdText(7250, false, ThousandthsStyle::SixDecimals), "7.250000");
    EXPECT_EQ(thresholdText(4500, false, ThousandthsStyle::ThreeDecimals), "4.500");
    EXPECT_EQ(thresholdText(7, true, ThousandthsStyle::ThreeDecimals), "7");
    EXPECT_EQ(thresholdText(65535, true, ThousandthsStyle::SixDecimals), "65535");
}
