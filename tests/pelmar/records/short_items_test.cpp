// Short-frame item replies taken over into the entry, and when the device is shown.
#include "pelmar/records/short_items.h"

#include "tests/pelmar/records/record_test_util.h"

#include <gtest/gtest.h>

using namespace pelmar;
using namespace recordtest;
using testsupport::hex;
using Kind = ItemOutcome::Kind;

namespace {
const MacTail kTail{0x4D, 0x01, 0x07};

Bytes item(std::uint8_t code, std::string_view data, MacTail tail = kTail)
{
    Bytes d = hex(data);
    d.resize(16, 0);
    return buildCommandFrame('R', code, d, tail);
}

struct Fixture : ::testing::Test {
    DeviceTable table;
    void SetUp() override { table.registerReply("10.77.1.7", 1111, kTail); }
    DeviceEntry &entry() { return table.at(0); }
};
using ShortItems = Fixture;
} // namespace

TEST_F(ShortItems, SerialItemSetsPortOneWithBigEndianPorts)
{
    const auto out = takeOverItem(table, item(0x53, "0B 02 08 01 01 00 00 00 00 1F 90 01 F6 02 01 03"));
    EXPECT_EQ(out.kind, Kind::Stored);
    EXPECT_EQ(out.index, 0u);
    const PortSettings &p = entry().ports[0];
    EXPECT_EQ(p.baudIndex, 11);
    EXPECT_EQ(p.parity, 2);
    EXPECT_EQ(p.dataBits, 8);
    EXPECT_EQ(p.stopBits, 1);
    EXPECT_EQ(p.workMode, 1);
    EXPECT_EQ(p.targetPort, 8080);
    EXPECT_EQ(p.localPort, 502);
    EXPECT_EQ(p.enable, 2);
    EXPECT_EQ(p.modbusTcpToRtu, 1);
    EXPECT_EQ(p.serialType, 3);
    // Port 8's serial item has its own code.
    takeOverItem(table, item(0x75, "05 01 07 03 04 0a 0b 0c 0d 00 10 00 20 01 02 01"));
    EXPECT_EQ(entry().ports[7].baudIndex, 5);
    EXPECT_EQ(entry().ports[7].itemExtra, (std::array<std::uint8_t, 4>{0x0A, 0x0B, 0x0C, 0x0D}));
    EXPECT_EQ(entry().ports[7].localPort, 0x20);
}

TEST_F(ShortItems, EightPortListsAreLittleEndian)
{
    takeOverItem(table, item(0x9C, "E8 03 01 00 00 00 00 00 00 00 00 00 00 00 FF FF"));
    EXPECT_EQ(entry().ports[0].packLength, 1000);
    EXPECT_EQ(entry().ports[1].packLength, 1);
    EXPECT_EQ(entry().ports[7].packLength, 0xFFFF);
    takeOverItem(table, item(0x98, "1E 00 3C 00"));
    EXPECT_EQ(entry().ports[0].heartbeatInterval, 30);
    EXPECT_EQ(entry().ports[1].heartbeatInterval, 60);
    takeOverItem(table, item(0x9D, "00 00 64 00"));
    EXPECT_EQ(entry().ports[1].timeout, 100);
    takeOverItem(table, item(0x9B, "01 02 03 04 05 06 07 08"));
    EXPECT_EQ(entry().ports[6].packTime, 7);
}

TEST_F(ShortItems, HostHalvesReplaceTheirSixteenCharactersOnly)
{
    entry().ports[0].targetHost.set("old-old-old-old-old-old-old-old!");
    takeOverItem(table, item(0x58, "2e 65 78 61 6d 70 6c 65 2e 63 6f 6d"));
    EXPECT_EQ(entry().ports[0].targetHost.text(), "old-old-old-old-.example.com");
    takeOverItem(table, item(0x57, "73 65 72 76 65 72 2d 30 31 2e 70 6c 61 6e 74 31"));
    EXPECT_EQ(entry().ports[0].targetHost.text(), "server-01.plant1.example.com");
    takeOverItem(table, item(0x90, "48 42 00 41"));
    EXPECT_EQ(entry().ports[0].heartbeatData.text(), "HB");
}

TEST_F(ShortItems, DeviceItems)
{
    takeOverItem(table, item(0x51, "0a 4d 01 07 ff ff 00 00 0a 4d 00 fe 08 08 08 08"));
    EXPECT_EQ(entry().ip, (Ipv4Bytes{10, 77, 1, 7}));
    EXPECT_EQ(entry().mask, (Ipv4Bytes{255, 255, 0, 0}));
    EXPECT_EQ(entry().gateway, (Ipv4Bytes{10, 77, 0, 254}));
    EXPECT_EQ(entry().dns, (Ipv4Bytes{8, 8, 8, 8}));
    takeOverItem(table, item(0x52, "00 4b 5a 4d 01 07 02 01"));
    EXPECT_EQ(entry().mac, (Mac{0x00, 0x4B, 0x5A, 0x4D, 0x01, 0x07}));
    EXPECT_EQ(entry().ipMode, 2);
    EXPECT_EQ(entry().broadcastFilterOff, 1);
    takeOverItem(table, item(0x55, "56 30 34 33 53 34 31 30 01 02 03 04 05 06 07 08"));
    EXPECT_EQ(entry().firmwareVersion.text(), "V043");
    EXPECT_EQ(entry().portCountChar(), '4');
    EXPECT_EQ(entry().versionExtra[7], 8);
    takeOverItem(table, item(0x56, "61 64 6d 69 6e 00 00 00 31 32 33 34 35 36 37 38"));
    EXPECT_EQ(entry().user.text(), "admin");
    EXPECT_EQ(entry().password.text(), "12345678");
}

TEST_F(ShortItems, WriteRepliesNeedNoDeviceAndFaultyOrForeignRepliesChangeNothing)
{
    EXPECT_EQ(takeOverItem(table, item(0x10, "", {9, 9, 9})).kind, Kind::WriteAccepted);
    EXPECT_EQ(takeOverItem(table, item(0x11, "", {9, 9, 9})).kind, Kind::WriteRefused);
    Bytes off = item(0x51, "0a 00 00 01");
    ++off[23];
    EXPECT_EQ(takeOverItem(table, off).kind, Kind::Ignored);
    EXPECT_EQ(entry().ip, Ipv4Bytes{});
    // An item of a device that is not in the table goes nowhere (not into a free slot).
    EXPECT_EQ(takeOverItem(table, item(0x51, "0a 00 00 02", {9, 9, 9})).kind, Kind::Ignored);
    EXPECT_EQ(table.at(1).ip, Ipv4Bytes{});
    EXPECT_EQ(takeOverItem(table, item(0x45, "01")).kind, Kind::Ignored);
}

TEST_F(ShortItems, TheDeviceIsShownAfterTheReplyThatCompletesItsLastPort)
{
    const auto shownAfter = [&](const char *hardware, std::uint8_t code) {
        entry().hardwareVersion.set(hardware);
        return takeOverItem(table, item(code, "")).showDevice;
    };
    EXPECT_TRUE(shownAfter("S110", 0x60));
    EXPECT_TRUE(shownAfter("SB10", 0x60));
    EXPECT_FALSE(shownAfter("S410", 0x60));
    EXPECT_TRUE(shownAfter("S410", 0x66));
    EXPECT_FALSE(shownAfter("S610", 0x66));
    EXPECT_TRUE(shownAfter("S610", 0x73));
    EXPECT_TRUE(shownAfter("S810", 0x79));
    EXPECT_TRUE(shownAfter("S110", 0x79));
    EXPECT_FALSE(shownAfter("S810", 0x73));
}

TEST(ShortItemWrite, SerialItemIsWrittenAsItIsRead)
{
    PortSettings p;
    p.baudIndex = 11;
    p.parity = 2;
    p.dataBits = 8;
    p.stopBits = 1;
    p.workMode = 1;
    p.itemExtra = {1, 2, 3, 4};
    p.targetPort = 8080;
    p.localPort = 502;
    p.enable = 2;
    p.modbusTcpToRtu = 1;
    p.serialType = 3;
    EXPECT_EQ(testsupport::toHex(serialItem(p)), "0b 02 08 01 01 01 02 03 04 1f 90 01 f6 02 01 03");
    EXPECT_EQ(portItemCodes(3).hostSecond, 0x22);
    EXPECT_EQ(portItemCodes(7).hostSecondReply, 0x79);
}
