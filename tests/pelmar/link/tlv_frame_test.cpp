// TLV frames: building, the reply check's messages in order, and the body walk.
#include "pelmar/link/tlv_frame.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace pelmar;
using testsupport::hex;
using testsupport::toHex;

namespace {
const Mac kMac{0x00, 0x4B, 0x5A, 0x01, 0x02, 0x03};

std::vector<std::string> walk(const Bytes &frame)
{
    std::vector<std::string> seen;
    walkTlvBody(frame, [&](const TlvEntry &e) {
        seen.push_back(std::to_string(e.port) + ":" + toHex(Bytes{e.type}) + "=" + toHex(e.value));
    });
    return seen;
}
} // namespace

TEST(TlvFrame, IsHeaderBigEndianLengthBodyMacAndTail)
{
    Bytes body{0x01};
    appendTlv(body, 0x21, hex("0a 0b"));
    appendPortTlv(body, 2, hex("31 01 05"));
    EXPECT_EQ(toHex(buildTlvFrame(kTlvWriteCode, body, kMac)),
              "68 3a 00 04 00 0c 01 21 02 0a 0b 10 00 04 02 31 01 05 00 4b 5a 01 02 03 45 2e");
}

TEST(TlvFrame, ReplyCheckReportsLengthThenHeaderThenTail)
{
    EXPECT_EQ(checkTlvReply(Bytes(9, 'h')), TlvCheck::TooShort);
    EXPECT_EQ(tlvCheckText(TlvCheck::TooShort), "长度太短");
    Bytes ten = hex("68 58 00 83 00 00 00 00 45 2e");
    EXPECT_EQ(checkTlvReply(ten), TlvCheck::BadHeader);
    EXPECT_EQ(tlvCheckText(TlvCheck::BadHeader), "协议头错误");
    EXPECT_EQ(checkTlvReply(hex("68 3a 00 83 00 00 00 00 45 2f")), TlvCheck::BadTail);
    EXPECT_EQ(tlvCheckText(TlvCheck::BadTail), "协议尾错误");
    const Bytes good = buildTlvFrame(kTlvReplyCode, {}, kMac);
    EXPECT_EQ(checkTlvReply(good), TlvCheck::Ok);
    const auto view = parseTlvFrame(good);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->code, kTlvReplyCode);
    EXPECT_EQ(view->mac, kMac);
    EXPECT_FALSE(parseTlvFrame(ten));
}

TEST(TlvFrame, WalkVisitsDeviceItemsAndEachPortsNestedItems)
{
    Bytes body;
    appendTlv(body, 0x21, hex("aa"));
    appendPortTlv(body, 0, hex("31 02 01 02 32 00"));
    appendTlv(body, 0x22, {});
    appendPortTlv(body, 3, hex("31 01 09"));
    EXPECT_EQ(walk(buildTlvFrame(kTlvReplyCode, body, kMac)),
              (std::vector<std::string>{"-1:21=aa", "0:31=01 02", "0:32=", "-1:22=", "3:31=09"}));
}

TEST(TlvFrame, WalkNeverLeavesTheBytesThatArrived)
{
    // N claims 0x40 bytes but only 5 arrived before the MAC.
    Bytes f = hex("68 3a 00 83 00 40 21 01 aa 22 05 00 4b 5a 01 02 03 45 2e");
    EXPECT_EQ(walk(f), (std::vector<std::string>{"-1:21=aa"}));
    // A port TLV whose length runs past the body ends the walk; so does a
    // nested item that runs past its port.
    Bytes body;
    appendTlv(body, 0x21, hex("01"));
    body.insert(body.end(), {0x10, 0x00, 0x30, 0x01});
    EXPECT_EQ(walk(buildTlvFrame(kTlvReplyCode, body, kMac)), (std::vector<std::string>{"-1:21=01"}));
    Bytes nested;
    appendPortTlv(nested, 1, hex("31 01 07 32 09 01"));
    EXPECT_EQ(walk(buildTlvFrame(kTlvReplyCode, nested, kMac)), (std::vector<std::string>{"1:31=07"}));
    walkTlvBody(hex("68 3a 00"), [](const TlvEntry &) { FAIL(); });
}
