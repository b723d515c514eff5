// Command frames: the fixed requests byte for byte, the checksum and the short-reply check.
#include "pelmar/link/command_frame.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace pelmar;
using testsupport::hex;
using testsupport::toHex;

TEST(CommandFrame, SearchRequestIsTheFixed26Bytes)
{
    EXPECT_EQ(toHex(buildSearchRequest()),
              "48 3a 52 01 01 01 01 01 aa aa aa aa aa aa aa aa aa aa aa aa 00 00 00 d1 45 2e");
}

TEST(CommandFrame, DeviceCommandsCarrySixteen55AndTheMacTail)
{
    const Bytes restart = buildDeviceCommand(code::kRestart, {0x11, 0x22, 0x33});
    ASSERT_EQ(restart.size(), kShortFrameSize);
    EXPECT_EQ(toHex(kyvo::ByteView(restart).first(4)), "48 3a 57 08");
    EXPECT_EQ(Bytes(restart.begin() + 4, restart.begin() + 20), Bytes(16, 0x55));
    EXPECT_EQ(toHex(kyvo::ByteView(restart).subspan(20, 3)), "11 22 33");
    EXPECT_EQ(restart[23], frameChecksum(kyvo::ByteView(restart).first(23)));
    EXPECT_EQ(toHex(kyvo::ByteView(restart).last(2)), "45 2e");
    EXPECT_EQ(buildDeviceCommand(code::kCommit, {1, 2, 3})[3], 0x49);
}

TEST(CommandFrame, ItemReadsAndWritesAreReadOrWriteFramesOfTheItem)
{
    const Bytes read = buildItemRead(0x12, {0xAB, 0xCD, 0xEF});
    EXPECT_EQ(toHex(read), "48 3a 52 12 aa aa aa aa aa aa aa aa aa aa aa aa aa aa aa aa ab cd ef " +
                               toHex(Bytes{std::uint8_t((0x48 + 0x3A + 0x52 + 0x12 + 16 * 0xAA + 0xAB + 0xCD + 0xEF) & 0xFF)}) +
                               " 45 2e");
    ItemData item{};
    for (std::size_t i = 0; i < item.size(); ++i) item[i] = std::uint8_t(i);
    const Bytes write = buildItemWrite(0x02, item, {1, 2, 3});
    EXPECT_EQ(write[2], 'W');
    EXPECT_EQ(toHex(kyvo::ByteView(write).subspan(4, 16)), toHex(item));
}

TEST(CommandFrame, LongFramesKeepTheTailRule)
{
    const Bytes record(362, 0x01);
    const Bytes f = buildCommandFrame(kWrite, code::kRecordWrite, record, {7, 8, 9});
    ASSERT_EQ(f.size(), 372u);
    EXPECT_EQ(toHex(kyvo::ByteView(f).subspan(366, 3)), "07 08 09");
    EXPECT_EQ(f[369], frameChecksum(kyvo::ByteView(f).first(369)));
    EXPECT_EQ(frameMacTail(f), (MacTail{7, 8, 9}));
    EXPECT_EQ(frameMacTail(hex("01 02")), MacTail{});
}

TEST(CommandFrame, ShortReplyCheckWantsLengthHeaderTailAndChecksum)
{
    Bytes reply = buildCommandFrame(kRead, 0x53, Bytes(16, 0x20), {1, 2, 3});
    EXPECT_TRUE(checkShortReply(reply));
    Bytes off = reply;
    ++off[23];
    EXPECT_FALSE(checkShortReply(off));
    Bytes head = reply;
    head[0] = 'h';
    head[23] = frameChecksum(kyvo::ByteView(head).first(23));
    EXPECT_FALSE(checkShortReply(head));
    Bytes tail = reply;
    tail[25] = ',';
    EXPECT_FALSE(checkShortReply(tail));
    Bytes longer = reply;
    longer.push_back(0);
    EXPECT_FALSE(checkShortReply(longer));
}
