// Label bytes, the model list, the logo, the history line and the cloud
// enrolment exchange on a manual clock.
#include "vorlet/maintenance/label_codec.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace vorlet::labels;
using kyvo::Millis;

namespace {

ByteView bytes(std::string_view s)
{
    return ByteView(reinterpret_cast<const std::uint8_t *>(s.data()), s.size());
}

std::string text(const Bytes &b)
{
    return std::string(b.begin(), b.end());
}

LabelValues sampleValues()
{
    LabelValues v;
    v.id = "0a1b2c3d4e5f607182";
    v.mac = {0x00, 0x4B, 0x59, 0x7F, 0x0A, 0xEE};
    v.model = "HX-G200";
    v.version = "V10112";
    return v;
}

const std::array<std::uint8_t, 6> kMac{0x9C, 0x4B, 0x59, 0x7F, 0x0A, 0xEE};

} // namespace

TEST(LabelFiles, ModelListTakesLinesEndedByCrLf)
{
    struct Case
    {
        std::string file;
        std::vector<std::string> models;
    } cases[] = {
        {"A\r\nB\r\nC", {"A", "B"}},
        {"A\r\n\r\nB\r\n", {"A", "", "B"}},
        {"A\nB\n", {}},
        {"", {}},
        // Only the first 1024 bytes are scanned: the line across the limit is incomplete.
        {std::string(1020, 'x') + "\r\nlong\r\n", {std::string(1020, 'x')}},
        {std::string(1023, 'y') + "\r\n", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseModelList(bytes(c.file)), c.models) << c.file.substr(0, 20);
}

TEST(LabelFiles, LogoHexTextSkipsBlanksAndLineBreaks)
{
    struct Case
    {
        std::string text, logo;
    } cases[] = {
        {"0A 0B\r\n0C", "0a 0b 0c"},
        {"ff00\n\n7e", "ff 00 7e"},
        {"a", ""}, // an odd last digit is dropped
        {" \r\n", ""},
        {"1G2", "12"}, // a byte that is not a hex digit is skipped
    };
    for (const Case &c : cases)
        EXPECT_EQ(testsupport::toHex(logoFromHex(bytes(c.text))), c.logo) << c.text;
}

TEST(LabelDatagrams, LogoDownloadAnnouncesItsByteCount)
{
    const Bytes logo = logoFromHex(bytes("0A 0B\r\n0C"));
    EXPECT_EQ(text(logoDownload(logo)), std::string("DOWNLOAD \"LOGO.PCX\",3,\x0a\x0b\x0c\r\n"));
}

TEST(LabelDatagrams, SetupCommandsAreOneDatagram)
{
    EXPECT_EQ(
        text(setupCommands()),
        "SPEED 6\r\nDENSITY 8\r\nSET PEEL OFF\r\nSET CUTTER OFF\r\nSET PARTIAL_CUTTER OFF\r\nSET TEAR ON\r\n"
        "DIRECTION 1\r\nSIZE 40.00 mm,30.00 mm\r\nGAP 2.00 mm,0.00 mm\r\nOFFSET 0.00 mm\r\nSHIFT 0\r\n"
        "REFERENCE 0,0\r\n");
}

TEST(LabelDatagrams, MarkerLinesAreReplacedInFull)
{
    struct Case
    {
        std::string templ, label;
    } cases[] = {
        {"TEXT 10,60,\"2\",0,1,1,\"mac here\"\r\nPRINT 1\r\n",
         "TEXT 10,60,\"2\",0,1,1,\"MAC:004b597f0aee\"\r\nPRINT 1\r\n"},
        {"T \"id\"\r\n", "T \"ID:0a1b2c3d4e5f607182\"\r\n"},
        {"T \"model\"\nX", "T \"Model:HX-G200\"\r\nX"},
        {"T \"mac\"", "T \"MAC:004b597f0aee\"\r\n"}, // a last line without a line end
        {"CLS\r\nPRINT 1,1\r\n", "CLS\r\nPRINT 1,1\r\n"},
        {"MAC ID MODEL\r\n", "MAC ID MODEL\r\n"}, // markers are lower case
    };
    for (const Case &c : cases)
        EXPECT_EQ(text(buildLabel(bytes(c.templ), sampleValues())), c.label) << c.templ;
}

TEST(LabelDatagrams, TemplateIsScannedUpToItsLimit)
{
    const std::string head(kTemplateFileLimit - 1, ' ');
    // "id" straddles the limit: its first byte is read, its second is not.
    EXPECT_EQ(text(buildLabel(bytes(head + "id\r\n"), sampleValues())), head + "i");
    EXPECT_EQ(buildLabel(bytes(head + "xid\r\n"), sampleValues()).size(), kTemplateFileLimit);
}

TEST(LabelDatagrams, HistoryLineAndValueTexts)
{
    std::uint8_t identity[9] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xAB, 0xFF};
    EXPECT_EQ(identityText(std::span<const std::uint8_t, 9>(identity)), "01020304050607abff");
    EXPECT_EQ(historyLine(sampleValues(), {2026, 3, 8, 7, 5, 9}),
              "mac:004b597f0aee model:HX-G200 imei:0a1b2c3d4e5f607182 version V10112  time:2026-03-08 "
              "07:05:09\r\n");
}

TEST(CloudEnrolment, RequestIsTheMacWithItsFirstByteAsZero)
{
    EXPECT_EQ(text(enrolRequest(kMac)), "\xAD"
                                        "004b597f0aee");
    EXPECT_EQ(enrolRequest(kMac).size(), 13u);
}

TEST(CloudEnrolment, ReplyDecidesTheResult)
{
    struct Case
    {
        std::vector<std::string> pieces; // as they arrive
        EnrolResult result;
    } cases[] = {
        {{"ok"}, EnrolResult::Enrolled},
        {{"ko"}, EnrolResult::AlreadyEnrolled},
        {{"o", "k"}, EnrolResult::Enrolled}, // a reply in two pieces
        {{"k", "o"}, EnrolResult::AlreadyEnrolled},
        {{"okay"}, EnrolResult::Failed},
        {{"x"}, EnrolResult::Failed},
        {{std::string(40, 'o')}, EnrolResult::Failed},
    };
    for (const Case &c : cases) {
        EnrolSession s;
        s.start(Millis{0});
        EXPECT_EQ(text(s.connected(Millis{10}, kMac)), text(enrolRequest(kMac)));
        for (const std::string &p : c.pieces)
            s.received(bytes(p));
        EXPECT_EQ(s.state(), EnrolSession::State::Done) << c.pieces[0];
        EXPECT_EQ(s.result(), c.result) << c.pieces[0];
    }
}

TEST(CloudEnrolment, DeadlinesOfTheConnectionAndTheReply)
{
    struct Case
    {
        bool connects;
        std::string piece; // received before the deadline
        Millis at;         // when due() runs
        EnrolSession::State state;
    } cases[] = {
        {false, "", Millis{999}, EnrolSession::State::Connecting},
        {false, "", Millis{1000}, EnrolSession::State::Done}, // 1 s to connect
        {true, "", Millis{3499}, EnrolSession::State::AwaitingReply},
        {true, "", Millis{3500}, EnrolSession::State::Done}, // 3 s for the reply after connecting at 500
        {true, "o", Millis{3500}, EnrolSession::State::Done},
    };
    for (const Case &c : cases) {
        EnrolSession s;
        s.start(Millis{0});
        if (c.connects) s.connected(Millis{500}, kMac);
        s.received(bytes(c.piece));
        s.due(c.at);
        EXPECT_EQ(s.state(), c.state) << c.at.count();
        if (s.state() == EnrolSession::State::Done) {
            EXPECT_EQ(s.result(), EnrolResult::Failed);
        }
    }
}

TEST(CloudEnrolment, ClosedBeforeAReplyFails)
{
    EnrolSession s;
    s.start(Millis{0});
    s.closed();
    EXPECT_EQ(s.state(), EnrolSession::State::Done);
    EXPECT_EQ(s.result(), EnrolResult::Failed);
    EXPECT_FALSE(s.deadline().has_value());
}
