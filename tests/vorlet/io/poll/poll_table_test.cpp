// The polling table's codec: cache addresses, k and b, cells, table edits,
// the text form both ways, the value query and the refresh on a manual clock.
#include "vorlet/io/poll/poll_table.h"
#include "vorlet/io/poll/poll_text.h"
#include "vorlet/io/poll/value_refresh.h"

#include "common/fixed_field.h"
#include "tests/support/test_support.h"
#include "vorlet/record/save_request.h"

#include <gtest/gtest.h>

#include <memory>

using namespace vorlet;
using namespace vorlet::poll;
using testsupport::hex;

namespace {

std::unique_ptr<ParameterRecord> newRecord()
{
    return std::make_unique<ParameterRecord>();
}

PollEntry entry(std::uint8_t function, std::uint8_t count, const char *name = "k0")
{
    PollEntry e{};
    e.address = 1;
    e.function = function;
    e.registerCount = count;
    kyvo::setFieldText(e.jsonName, name);
    return e;
}

void fill(PollBlock &block, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        block.entries[i] = entry(3, 1, ("k" + std::to_string(i)).c_str());
    block.entryCount = std::uint16_t(count);
}

ByteView bytes(const std::string &s)
{
    return kyvo::asBytes(s);
}

std::string lines(std::size_t n)
{
    std::string text;
    for (std::size_t i = 0; i < n; ++i)
        text += "addr=1;fun=3;regNum=1;json=n" + std::to_string(i) + "\r\n";
    return text;
}

} // namespace

TEST(PollTable, CacheAddressesFollowFunctionCodesAndCounts)
{
    auto r = newRecord();
    const std::pair<int, int> entries[] = {{3, 10}, {1, 9}, {2, 16}, {1, 8}, {4, 0}, {5, 3}};
    for (std::size_t i = 0; i < std::size(entries); ++i)
        r->poll.entries[i] = entry(std::uint8_t(entries[i].first), std::uint8_t(entries[i].second));
    r->poll.entryCount = std::uint16_t(std::size(entries));
    const std::vector<CacheAddress> a = cacheAddresses(r->poll);
    // byte, "02", "01" (-1 shows "--")
    const long expected[][3] = {{0, -1, -1}, {20, -1, 0},  {22, 0, -1},
                                {24, -1, 9}, {25, -1, -1}, {25, -1, -1}};
    ASSERT_EQ(a.size(), std::size(expected));
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].byteAddress, expected[i][0]) << i;
        EXPECT_EQ(a[i].discrete02, expected[i][1]) << i;
        EXPECT_EQ(a[i].coil01, expected[i][2]) << i;
    }
}

TEST(PollTable, ScaleAndOffsetTextsBothWays)
{
    EXPECT_EQ(parseOffset("-1.5"), 0x80003A98u);
    EXPECT_EQ(offsetText(0x80003A98u), "-1.5000");
    EXPECT_EQ(parseScale("0.00005"), 0u);
    EXPECT_EQ(parseScale("1.23456"), 12345u);
    EXPECT_EQ(parseScale("  2.5xyz"), 25000u);
    EXPECT_EQ(parseScale("abc"), 0u);
    EXPECT_EQ(parseScale("-0.5"), std::uint32_t(-5000));
    EXPECT_EQ(parseScale("1e9"), 0x7FFFFFFFu); // held at the 32-bit limit
    EXPECT_EQ(scaleText(12345), "1.2345");
    EXPECT_EQ(scaleText(16777217), "1677.7216"); // single precision, as shown
    EXPECT_EQ(offsetText(25000), "2.5000");
}

TEST(PollTable, CellsAreCutToTheirFields)
{
    PollEntry e{};
    const std::tuple<int, const char *, std::string> cases[] = {
        {kAddressColumn, "300", "44"},
        {kFunctionColumn, "4x", "4"},
        {kStartColumn, "70000", "4464"},
        {kCountColumn, "abc", "0"},
        {kTypeColumn, "float (CDAB)", "float (CDAB)"},
        {kThreshold1Column, "-5", "-5"},
        {kThreshold2Column, "2147483648", "-2147483648"},
        {kScaleColumn, "2", "2.0000"},
        {kOffsetColumn, "-0.25", "-0.2500"},
        {kUrgentColumn, "1", "1"}};
    for (const auto &[column, typed, shown] : cases) {
        setCell(e, column, typed);
        EXPECT_EQ(cellText(e, column), shown) << column;
    }
    setCell(e, kTypeColumn, "no such type");
    EXPECT_EQ(e.dataType, 0);
    e.dataType = 17;
    EXPECT_EQ(cellText(e, kTypeColumn), "17");
}

TEST(PollTable, NamesAreCutAtWholeCharacters)
{
    const std::string gbk = "a" + std::string(70, '\xce'); // "a" and 35 two-byte characters
    std::string threeByte;
    for (int i = 0; i < 22; ++i)
        threeByte += "\xe6\xb8\xa9";
    const std::tuple<std::string, NameEncoding, std::size_t> cases[] = {
        {gbk, NameEncoding::Gbk, 63},
        {threeByte, NameEncoding::Utf8, 63},
        {"ab" + threeByte, NameEncoding::Utf8, 62},
        {std::string(80, 'x'), NameEncoding::Gbk, 64},
        {"short", NameEncoding::Utf8, 5}};
    for (const auto &[name, encoding, kept] : cases) {
        PollEntry e{};
        std::memset(e.jsonName, 'z', sizeof e.jsonName);
        setName(e, bytes(name), encoding);
        EXPECT_EQ(kyvo::fieldTextLength(e.jsonName), kept) << name.size();
        EXPECT_EQ(e.jsonName[64], 0);
    }
}

TEST(PollTable, AppendFillsTheNextSlotAndKeepsItsKAndB)
{
    auto r = newRecord();
    fill(r->poll, 5);
    r->poll.entries[5].scaleK = 777;
    r->poll.entries[5].offsetB = 0x80000001u;
    r->poll.entries[5].threshold1 = 9;
    ASSERT_TRUE(appendEntry(r->poll));
    const PollEntry &e = r->poll.entries[5];
    EXPECT_EQ(r->poll.entryCount.get(), 6);
    EXPECT_EQ(cellText(e, kAddressColumn) + cellText(e, kFunctionColumn) + cellText(e, kCountColumn), "131");
    EXPECT_EQ(kyvo::fieldText(e.jsonName), "k5");
    EXPECT_EQ(e.threshold1.get(), 0u);
    EXPECT_EQ(e.scaleK.get(), 777u);
    EXPECT_EQ(e.offsetB.get(), 0x80000001u);
}

TEST(PollTable, InsertCopiesTheSelectedEntryAndDeleteCloses)
{
    auto r = newRecord();
    fill(r->poll, 5);
    ASSERT_TRUE(insertAbove(r->poll, 3));
    EXPECT_EQ(r->poll.entryCount.get(), 6);
    EXPECT_EQ(std::memcmp(&r->poll.entries[3], &r->poll.entries[4], sizeof(PollEntry)), 0);
    EXPECT_EQ(kyvo::fieldText(r->poll.entries[5].jsonName), "k4");
    EXPECT_FALSE(insertAbove(r->poll, 6)); // no such row
    ASSERT_TRUE(removeEntry(r->poll, 0));
    EXPECT_EQ(r->poll.entryCount.get(), 5);
    EXPECT_EQ(kyvo::fieldText(r->poll.entries[0].jsonName), "k1");
    EXPECT_FALSE(removeEntry(r->poll, 5));
}

TEST(PollTable, AFullTableRefusesAppendAndInsert)
{
    auto r = newRecord();
    fill(r->poll, 255);
    ASSERT_TRUE(appendEntry(r->poll));
    EXPECT_EQ(r->poll.entryCount.get(), 256);
    EXPECT_FALSE(appendEntry(r->poll));
    EXPECT_FALSE(insertAbove(r->poll, 0));
    EXPECT_EQ(r->poll.entryCount.get(), 256);
    EXPECT_EQ(r->poll.entries[256].address, 0); // slot 257 untouched
}

TEST(PollTable, OpeningRepairsValuesOutsideTheirLists)
{
    struct Case
    {
        std::uint8_t channel, reply;
        std::uint16_t count;
        std::uint8_t channelAfter, replyAfter;
        std::uint16_t countAfter;
    };
    const Case cases[] = {
        {0, 5, 256, 0, 5, 256}, {2, 6, 257, 2, 0, 0}, {3, 255, 0, 0, 0, 0}, {1, 0, 9, 1, 0, 9}};
    for (const Case &c : cases) {
        auto r = newRecord();
        r->poll.uploadChannel = c.channel;
        r->poll.writeReply = c.reply;
        r->poll.entryCount = c.count;
        repairOnOpen(r->poll);
        EXPECT_EQ(r->poll.uploadChannel, c.channelAfter);
        EXPECT_EQ(r->poll.writeReply, c.replyAfter);
        EXPECT_EQ(r->poll.entryCount.get(), c.countAfter);
    }
}

TEST(PollTable, TheWireFormOfAnEntryIsTwentySixBytesAndItsName)
{
    auto r = newRecord();
    r->poll.entries[0] = entry(3, 1, "k0");
    r->poll.entryCount = 1;
    EXPECT_EQ(pollTableValue(*r), hex("00 01"
                                      "1B 00 01 03 00 00 01 00 00 00 00 00 00 00 00 00"
                                      "00 00 00 00 00 00 00 00 00 02 6B 30"));
    r->poll.entryCount = 0;
    EXPECT_EQ(pollTableValue(*r), hex("00 00"));
}

TEST(PollText, EachEntryIsOneLineOfKeys)
{
    auto r = newRecord();
    PollEntry e = entry(4, 2, "t1");
    e.address = 7;
    e.startRegister = 300;
    e.dataType = 2;
    e.threshold1 = std::uint32_t(-3);
    e.scaleK = 15000;
    e.offsetB = 0x80003A98u;
    e.urgent = 1;
    r->poll.entries[0] = e;
    r->poll.entries[1] = entry(3, 1);
    r->poll.entryCount = 2;
    EXPECT_EQ(tableText(r->poll),
              "addr=7;fun=4;regAddr=300;regNum=2;dataType=2;json=t1;th1=-3;th2=0;k=1.5000;"
              "b=-1.5000;emg=1\r\n"
              "addr=1;fun=3;regAddr=0;regNum=1;dataType=0;json=k0;th1=0;th2=0;k=0.0000;"
              "b=0.0000;emg=0\r\n");
    // And back, byte for byte.
    const ParsedText parsed = parseTableText(bytes(tableText(r->poll)), NameEncoding::Gbk);
    ASSERT_EQ(parsed.entries.size(), 2u);
    EXPECT_TRUE(parsed.problems.empty());
    EXPECT_EQ(std::memcmp(&parsed.entries[0], &r->poll.entries[0], sizeof(PollEntry)), 0);
}

TEST(PollText, LinesLoseSpacesAndMissingKeysStayZero)
{
    const ParsedText parsed =
        parseTableText(bytes("addr=1;fun=3;regAddr=0;regNum=2;dataType=2;json=t 1;k=1;b=0;emg=0\n"
                             "addr=1\n"
                             "\r\n"
                             "addr=2; fun = 4 ;x=5;json=a=b;;regNum=3\r\n"),
                       NameEncoding::Gbk);
    ASSERT_EQ(parsed.entries.size(), 2u);
    const PollEntry &a = parsed.entries[0];
    EXPECT_EQ(kyvo::fieldText(a.jsonName), "t1");
    EXPECT_EQ(a.scaleK.get(), 10000u);
    EXPECT_EQ(a.threshold1.get() | a.threshold2.get(), 0u);
    EXPECT_EQ(a.dataType, 2);
    const PollEntry &b = parsed.entries[1];
    EXPECT_EQ(b.address, 2);
    EXPECT_EQ(b.function, 4);
    EXPECT_EQ(b.registerCount, 3);
    EXPECT_EQ(b.jsonName[0], 0);
    using Kind = TextProblem::Kind;
    ASSERT_EQ(parsed.problems.size(), 3u);
    EXPECT_EQ(std::tie(parsed.problems[0].kind, parsed.problems[0].line),
              std::make_tuple(Kind::ShortLine, 2));
    EXPECT_EQ(parsed.problems[1].kind, Kind::UnknownKey);
    EXPECT_EQ(parsed.problems[1].piece, "x=5");
    EXPECT_EQ(std::tie(parsed.problems[2].kind, parsed.problems[2].line), std::make_tuple(Kind::BadPiece, 4));
    EXPECT_FALSE(parsed.overLimitLine());
}

TEST(PollText, MoreEntriesThanTheTableHoldsAreRefusedWhole)
{
    EXPECT_EQ(parseTableText(bytes(lines(256)), NameEncoding::Gbk).entries.size(), 256u);
    const ParsedText over = parseTableText(bytes("\r\n" + lines(300)), NameEncoding::Gbk);
    EXPECT_EQ(over.overLimitLine(), 258);
    auto r = newRecord();
    fill(r->poll, 3);
    std::vector<PollEntry> tooMany(257, entry(3, 1));
    EXPECT_FALSE(storeEntries(r->poll, tooMany));
    EXPECT_EQ(r->poll.entryCount.get(), 3);
    EXPECT_TRUE(storeEntries(r->poll, {}));
    EXPECT_EQ(r->poll.entryCount.get(), 0);
    EXPECT_EQ(kyvo::fieldText(r->poll.entries[1].jsonName), "k1"); // slots stay as they were
}

TEST(PollValues, TheQueryAndTheAnswersPieces)
{
    const Mac mac{0x00, 0x4B, 0x59, 0x0A, 0x4D, 0x07};
    EXPECT_EQ(valuesQuery(1, mac), hex("BA 3A 01 03 00 01 B6 00 4B 59 0A 4D 07 45 2E"));
    std::uint8_t buffer[4096] = {};
    std::memcpy(buffer, "12;3.5;;7", 9);
    EXPECT_EQ(valuePieces(buffer), (std::vector<std::string>{"12", "3.5", "", "7"}));
    std::memset(buffer, '9', sizeof buffer); // no NUL: the whole buffer
    EXPECT_EQ(valuePieces(buffer).at(0).size(), 4096u);
}

TEST(PollValues, TheRefreshLooksEveryHalfSecondUntilTheBufferFills)
{
    std::uint8_t buffer[4096] = {};
    ValueRefresh refresh;
    refresh.start(kyvo::Millis{1000});
    EXPECT_FALSE(refresh.run(kyvo::Millis{1499}, buffer));
    EXPECT_FALSE(refresh.run(kyvo::Millis{1500}, buffer)); // nothing yet: the shown values stay
    EXPECT_EQ(refresh.nextDeadline(), kyvo::Millis{2000});
    std::memcpy(buffer, "4;5", 3);
    EXPECT_FALSE(refresh.run(kyvo::Millis{1999}, buffer));
    const auto values = refresh.run(kyvo::Millis{2000}, buffer);
    ASSERT_TRUE(values);
    EXPECT_EQ(*values, (std::vector<std::string>{"4", "5"}));
    EXPECT_FALSE(refresh.running());
}
