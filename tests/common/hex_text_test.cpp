// The hex text converter and the plain decimal conversion.
#include "common/decimal.h"
#include "common/hex_text.h"

#include <gtest/gtest.h>

using kyvo::Bytes;

TEST(HexText, ReadsPairsIgnoringSpacesAndAnOddLastDigitIsItsOwnByte)
{
    EXPECT_EQ(kyvo::parseHexText("41 42 4"), (Bytes{0x41, 0x42, 0x04}));
    EXPECT_EQ(kyvo::parseHexText("AB cd"), (Bytes{0xAB, 0xCD}));
    EXPECT_EQ(kyvo::parseHexText(""), Bytes{});
    EXPECT_FALSE(kyvo::parseHexText("12G4"));
    EXPECT_FALSE(kyvo::parseHexText("12\t34"));
}

TEST(HexText, TakesAtMostTheBytesTheFieldHolds)
{
    std::string text;
    for (int i = 0; i < 130; ++i) text += "7f ";
    const auto bytes = kyvo::parseHexText(text, 128);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 128u);
}

TEST(HexText, ShowsAndReadsBack128BytesUnchanged)
{
    Bytes data;
    for (int i = 0; i < 128; ++i) data.push_back(std::uint8_t(i * 2 + 1));
    const std::string shown = kyvo::hexTextSpaced(data);
    EXPECT_EQ(shown.size(), 384u);
    EXPECT_EQ(shown.substr(0, 9), "01 03 05 ");
    EXPECT_EQ(kyvo::parseHexText(shown), data);
}

TEST(Decimal, ReadsLeadingDigitsElseZero)
{
    EXPECT_EQ(kyvo::parseDecimal("123abc"), 123);
    EXPECT_EQ(kyvo::parseDecimal("  -45"), -45);
    EXPECT_EQ(kyvo::parseDecimal("abc"), 0);
    EXPECT_EQ(kyvo::parseDecimal(""), 0);
    EXPECT_EQ(kyvo::parseDecimal32("4294967297"), 1); // cut to 32 bits as C does
    EXPECT_GT(kyvo::parseDecimal("99999999999999999999999999"), 0); // saturates, no overflow
}
