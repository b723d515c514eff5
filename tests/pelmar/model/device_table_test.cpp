// Registration in the device table: slots by MacTail, new rows, the 256 limit.
#include "pelmar/model/device_table.h"

#include <gtest/gtest.h>

using namespace pelmar;

TEST(DeviceTable, RepliesRegisterByMacTailOnlyAndClearTheFamilyFlags)
{
    DeviceTable t;
    const auto a = t.registerReply("10.0.0.5", 1111, {1, 2, 3});
    ASSERT_TRUE(a);
    EXPECT_EQ(a->index, 0u);
    EXPECT_TRUE(a->newRow);
    t.at(0).isWifi = t.at(0).wifiExtended = t.at(0).longRecord = true;
    t.at(0).registerCapable = true;
    const auto b = t.registerReply("10.0.0.6", 1111, {4, 5, 6});
    EXPECT_EQ(b->index, 1u);
    // Another address, same MacTail: the same slot, updated in place.
    const auto again = t.registerReply("10.0.0.9", 40000, {1, 2, 3});
    EXPECT_EQ(again->index, 0u);
    EXPECT_FALSE(again->newRow);
    const DeviceEntry &e = t.at(0);
    EXPECT_EQ(e.addressText, "10.0.0.9");
    EXPECT_EQ(e.replyPort, 40000);
    EXPECT_EQ(e.replyPort32, 40000u);
    EXPECT_FALSE(e.isWifi || e.wifiExtended || e.longRecord);
    EXPECT_TRUE(e.registerCapable); // not a family flag
    EXPECT_EQ(t.presentCount(), 2u);
    EXPECT_EQ(t.find({4, 5, 6}), 1u);
    EXPECT_FALSE(t.find({7, 7, 7}));
}

TEST(DeviceTable, DevicesBeyondThe256thAreIgnoredAndCounted)
{
    DeviceTable t;
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(t.registerReply("10.0.1.1", 1111, {0, std::uint8_t(i >> 8), std::uint8_t(i)}));
    EXPECT_FALSE(t.registerReply("10.0.2.1", 1111, {9, 0, 1}));
    EXPECT_FALSE(t.registerReply("10.0.2.1", 1111, {9, 0, 1}));
    EXPECT_FALSE(t.registerReply("10.0.2.2", 1111, {9, 0, 2}));
    EXPECT_EQ(t.ignored(), 2u);
    EXPECT_EQ(t.presentCount(), 256u);
    // A registered device still updates its slot.
    EXPECT_EQ(t.registerReply("10.0.3.3", 1111, {0, 0, 7})->index, 7u);
    t.clearForSearch();
    EXPECT_EQ(t.ignored(), 0u);
}

TEST(DeviceTable, ANewSearchClearsThePresenceAndTheSearchFieldsOnly)
{
    DeviceTable t;
    t.registerReply("10.0.0.5", 1111, {1, 2, 3});
    DeviceEntry &e = t.at(0);
    e.ip = {10, 0, 0, 5};
    e.registerCapable = e.native4 = true;
    e.user.set("admin");
    e.ports[3].localPort = 4004;
    t.clearForSearch();
    EXPECT_FALSE(e.present);
    EXPECT_EQ(e.ip, (Ipv4Bytes{0, 0, 0, 0}));
    EXPECT_TRUE(e.addressText.empty());
    EXPECT_FALSE(e.registerCapable || e.native4);
    EXPECT_EQ(e.user.text(), "admin");
    EXPECT_EQ(e.ports[3].localPort, 4004);
    EXPECT_EQ(t.presentCount(), 0u);
    EXPECT_EQ(t.registerReply("10.0.0.7", 1111, {9, 9, 9})->index, 0u);
}

TEST(TextField, CutsToItsWidthAndTakesReceivedTextsUpToTheirZero)
{
    TextField<8> f;
    f.set("0123456789");
    EXPECT_EQ(f.text(), "01234567");
    const std::uint8_t field[8] = {'a', 'b', 0, 'x', 'y', 0, 0, 0};
    f.assign(field);
    EXPECT_EQ(f.text(), "ab");
    EXPECT_EQ(f.bytes[3], 0); // nothing after the terminator is kept
}
