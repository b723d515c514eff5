// Texts of record fields and typed text going back into fixed fields.
#include "vorlet/ui/record_texts.h"

#include "common/gbk_text.h"

#include <gtest/gtest.h>

using namespace vorlet;

TEST(RecordTexts, SignalPercentFollowsTheSignedByteArithmetic)
{
    EXPECT_EQ(signalPercent(std::uint8_t(-90)), 0);
    EXPECT_EQ(signalPercent(std::uint8_t(-20)), 100);
    EXPECT_EQ(signalPercent(std::uint8_t(-55)), 50);
    EXPECT_EQ(signalPercent(std::uint8_t(-100)), 0);
    EXPECT_EQ(signalPercent(std::uint8_t(-10)), 100); // 114 clamps to 100
}

TEST(RecordTexts, ABssidIsExactlySixHexPairs)
{
    const auto b = parseBssid(QStringLiteral("A0b1C2d3E4f5"));
    ASSERT_TRUE(b);
    EXPECT_EQ((*b)[0], 0xA0);
    EXPECT_EQ((*b)[5], 0xF5);
    EXPECT_EQ(bssidText(b->data()), QStringLiteral("a0b1c2d3e4f5"));
    EXPECT_FALSE(parseBssid(QStringLiteral("a0b1c2d3e4f")));   // 11 digits
    EXPECT_FALSE(parseBssid(QStringLiteral("a0b1c2d3e4f5a"))); // 13
    EXPECT_FALSE(parseBssid(QStringLiteral("a0b1c2d3e4g5")));
    EXPECT_FALSE(parseBssid(QStringLiteral("a0 1c2d3e4f5")));
    EXPECT_FALSE(parseBssid(QStringLiteral("+0b1c2d3e4f5")));
}

TEST(RecordTexts, TextsAreCutToTheirFieldWithoutSplittingACharacter)
{
    std::uint8_t field[8];
    std::memset(field, 0x7F, sizeof field);
    setGbkField(field, QStringLiteral("ab网关名字"), 7); // 2 + 2 * 2 fits, the next character would not
    EXPECT_EQ(kyvo::fieldTextLength(field, 8), 6u);
    EXPECT_EQ(gbkFieldText(field, 8), QStringLiteral("ab网关"));
    EXPECT_EQ(field[7], 0);

    std::uint8_t ssid[6];
    setUtf8Field(ssid, sizeof ssid, QStringLiteral("a车间"), 5); // 1 + 3 fits, 7 does not
    EXPECT_EQ(utf8FieldText(ssid, sizeof ssid), QStringLiteral("a车"));
}

TEST(RecordTexts, NumbersAndAddressesAsTyped)
{
    EXPECT_EQ(decimalValue(QStringLiteral("  42ms")), 42);
    EXPECT_EQ(decimalValue(QStringLiteral("x1")), 0);
    EXPECT_EQ(addressValue(QStringLiteral("192.168.1.20")), 0xC0A80114u);
    EXPECT_EQ(addressValue(QStringLiteral("10..3")), 0x0A000300u);
    EXPECT_EQ(addressValue(QStringLiteral("300.1.1.1")), 0xFF010101u);
    EXPECT_TRUE(productionTimeTrusted(1662023825u));
    EXPECT_FALSE(productionTimeTrusted(1662023824u));
    EXPECT_FALSE(productionTimeTrusted(0xFFFFFFFFu));
    EXPECT_STREQ(weekdayName(9), "星期日");
}
