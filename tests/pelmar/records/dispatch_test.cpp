// One datagram through the routing into the device table.
#include "pelmar/records/dispatch.h"

#include "tests/pelmar/records/record_test_util.h"

#include <gtest/gtest.h>

using namespace pelmar;
using namespace recordtest;
using testsupport::hex;

namespace {
Bytes discoveryReply(MacTail tail, const char *portAndVersion = "V043S410", std::uint8_t kind = 1)
{
    Bytes item(16, 0);
    putText(item, 0, portAndVersion);
    item[8] = kind;
    return buildCommandFrame('R', 'P', item, tail);
}
} // namespace

TEST(Dispatch, ARecordReplyRegistersItsSenderAndIsTakenOver)
{
    DeviceTable table;
    Bytes record(362, 0);
    putText(record, 137, "V5.2W120");
    const auto out = dispatchDatagram(table, reply('P', record, {0x4D, 0x01, 0x05}), "10.77.1.5", 1111);
    EXPECT_TRUE(out.answered);
    EXPECT_EQ(out.index, 0u);
    EXPECT_TRUE(out.newRow);
    EXPECT_TRUE(out.showDevice);
    const DeviceEntry &e = table.at(0);
    EXPECT_TRUE(e.present && e.isWifi);
    EXPECT_EQ(e.addressText, "10.77.1.5");
    EXPECT_EQ(e.macTail, (MacTail{0x4D, 0x01, 0x05}));
    EXPECT_EQ(e.hardwareVersion.text(), "W120");
    // The same device again from another port: same row, the port updated.
    const auto again = dispatchDatagram(table, reply('P', record, {0x4D, 0x01, 0x05}), "10.77.1.5", 50000);
    EXPECT_FALSE(again.newRow);
    EXPECT_EQ(table.at(0).replyPort, 50000);
    // A record reply of an unlisted length registers nothing.
    Bytes odd(363, 0);
    EXPECT_FALSE(dispatchDatagram(table, reply('P', odd, {9, 9, 9}), "10.77.1.9", 1111).answered);
    EXPECT_EQ(table.presentCount(), 1u);
}

TEST(Dispatch, AShortDiscoveryReplyRegistersAndAsksForTheItemReading)
{
    DeviceTable table;
    const auto out = dispatchDatagram(table, discoveryReply({0xAA, 0xBB, 0xCC}, "V042S610", 0), "10.77.1.9", 41000);
    EXPECT_TRUE(out.answered);
    ASSERT_TRUE(out.readSequence);
    EXPECT_EQ(out.readSequence->portCountChar, '6');
    EXPECT_EQ(out.readSequence->version, 42);
    EXPECT_EQ(out.readSequence->flag, 0);
    EXPECT_EQ(out.readSequence->tail, (MacTail{0xAA, 0xBB, 0xCC}));
    EXPECT_FALSE(out.showDevice); // shown once its last port's item arrives
    EXPECT_EQ(table.at(0).deviceKind, 0);
    EXPECT_EQ(table.at(0).replyPort, 41000);
    // Its items then go to its slot.
    Bytes item(16, 0);
    item[0] = 9;
    const auto stored = dispatchDatagram(table, buildCommandFrame('R', 0x53, item, {0xAA, 0xBB, 0xCC}), "10.77.1.9", 41000);
    EXPECT_EQ(stored.item.kind, ItemOutcome::Kind::Stored);
    EXPECT_EQ(table.at(0).ports[0].baudIndex, 9);
}

TEST(Dispatch, MessagesCarryTheirTextAndThe257thDeviceIsIgnored)
{
    DeviceTable table;
    Bytes alert(4096, 0);
    putText(alert, 4, "设备忙");
    const auto a = dispatchDatagram(table, alert, "10.77.1.1", 1111);
    EXPECT_TRUE(a.route.alert && a.route.tftp);
    EXPECT_EQ(a.alertText, "设备忙");
    EXPECT_FALSE(a.answered);
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(dispatchDatagram(table, discoveryReply({1, std::uint8_t(i >> 8), std::uint8_t(i)}), "10.77.1.1", 1111).index);
    const auto late = dispatchDatagram(table, discoveryReply({2, 0, 0}), "10.77.2.1", 1111);
    EXPECT_TRUE(late.answered && late.ignored);
    EXPECT_FALSE(late.index);
    EXPECT_FALSE(late.readSequence);
    EXPECT_EQ(table.ignored(), 1u);
}
