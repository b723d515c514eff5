// Heartbeat and registration data as hex or text, and back.
#include "vorlet/services/packet_text.h"

#include "common/gbk_text.h"
#include "tests/support/test_support.h"

#include <QLineEdit>

#include <gtest/gtest.h>

using namespace vorlet;
using testsupport::hex;

namespace {

kyvo::Bytes counting(std::size_t n)
{
    kyvo::Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = std::uint8_t(i * 7 + 3);
    return b;
}

} // namespace

TEST(PacketText, HexShowsEachByteWithATrailingSpaceAndReadsBack)
{
    EXPECT_EQ(packetText(hex("41 42 04"), true), QStringLiteral("41 42 04 "));
    EXPECT_EQ(packetBytes(QStringLiteral("41 42 4"), true), hex("41 42 04"));
    EXPECT_EQ(packetBytes(QStringLiteral("AB CD"), true), hex("ab cd"));
    EXPECT_EQ(packetBytes(QString(), true), kyvo::Bytes{});

    const kyvo::Bytes full = counting(128);
    const QString shown = packetText(full, true);
    EXPECT_EQ(shown.size(), 384);
    EXPECT_EQ(packetBytes(shown, true), full);
    // Digits beyond 128 bytes are not taken.
    EXPECT_EQ(packetBytes(shown + QStringLiteral("ff"), true), full);
}

TEST(PacketText, BadHexDigitsGiveNothing)
{
    EXPECT_FALSE(packetBytes(QStringLiteral("12G4"), true));
    EXPECT_FALSE(packetBytes(QString::fromUtf8("41 中"), true));
    EXPECT_FALSE(packetBytes(QStringLiteral("41\t42"), true));
}

TEST(PacketText, TextIsGbkCutAt128BytesWithoutSplittingACharacter)
{
    EXPECT_EQ(packetBytes(QStringLiteral("AB CD"), false), hex("41 42 20 43 44"));
    EXPECT_EQ(packetBytes(QString(200, QLatin1Char('x')), false)->size(), 128u);
    // 127 ASCII bytes leave one byte: the two-byte character does not fit.
    const QString text = QString(127, QLatin1Char('a')) + QString::fromUtf8("中");
    EXPECT_EQ(packetBytes(text, false)->size(), 127u);
    const QString gbk = QString(126, QLatin1Char('a')) + QString::fromUtf8("中");
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(packetBytes(gbk, false)->data()), 128).right(2),
              kyvo::toGbk(QString::fromUtf8("中")));
}

TEST(PacketEdit, UntouchedTextKeepsBinaryDataExactly)
{
    QLineEdit line;
    PacketEdit edit(&line);
    // Bytes that are no GBK text: shown as text they cannot be read back.
    std::uint8_t data[128] = {0xFF, 0x80, 0x00, 0x81, 0x7F};
    std::uint8_t length = 5;
    edit.load(data, length, false);
    std::uint8_t stored[128] = {};
    std::uint8_t storedLength = 0;
    ASSERT_TRUE(edit.store(stored, storedLength, false));
    EXPECT_EQ(storedLength, 5);
    EXPECT_EQ(0, std::memcmp(stored, data, 128));

    // Once typed over, the text is what counts.
    line.setText(QStringLiteral("hello"));
    ASSERT_TRUE(edit.store(stored, storedLength, false));
    EXPECT_EQ(storedLength, 5);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(stored), 5), QByteArray("hello"));
}

TEST(PacketEdit, ALengthBeyondTheFieldShowsOnlyTheField)
{
    QLineEdit line;
    PacketEdit edit(&line);
    std::uint8_t data[128];
    std::memset(data, 0xAB, sizeof data);
    edit.load(data, 200, true);
    EXPECT_EQ(line.text().size(), 384);
    std::uint8_t length = 200;
    ASSERT_TRUE(edit.store(data, length, true));
    EXPECT_EQ(length, 128);
}
