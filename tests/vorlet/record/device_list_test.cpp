// The device list and the dispatch of answers.
#include "vorlet/record/dispatch.h"

#include "common/fixed_field.h"
#include "tests/vorlet/record/record_test_util.h"

#include <gtest/gtest.h>

using namespace vorlet;
using namespace recordtest;
using testsupport::hex;

namespace {
Mac macOf(int i) { return Mac{0x00, 0x4B, 0x59, 0, std::uint8_t(i >> 8), std::uint8_t(i)}; }

Bytes searchAnswer(int device, const char *name)
{
    Bytes items;
    putItem(items, 0x1A, text(name));
    return buildDeviceMessage(0, 0x81, items, macOf(device));
}
} // namespace

TEST(DeviceList, AnswersAreKeptSortedByTheAddressTheyCameFrom)
{
    DeviceList list;
    dispatchMessage(list, 0x0A000005, searchAnswer(5, "five"));
    dispatchMessage(list, 0x0A000002, searchAnswer(2, "two"));
    const auto r = dispatchMessage(list, 0x0A000009, searchAnswer(9, "nine"));
    EXPECT_EQ(r.kind, DispatchResult::Kind::DeviceAdded);
    EXPECT_EQ(r.index, 2u);
    ASSERT_EQ(list.count(), 3u);
    EXPECT_EQ(kyvo::fieldText(list.at(0).deviceName), "two");
    EXPECT_EQ(kyvo::fieldText(list.at(2).deviceName), "nine");
    EXPECT_EQ(list.findByMac(macOf(5)), 1u);
    EXPECT_EQ(list.findByMac(macOf(7)), 3u);
}

TEST(DeviceList, ADeviceAnsweringTwiceKeepsOneRowAndItsFirstAddress)
{
    DeviceList list;
    dispatchMessage(list, 0x0A000005, searchAnswer(5, "first"));
    const auto r = dispatchMessage(list, 0xC0A80105, searchAnswer(5, "second"));
    EXPECT_EQ(r.kind, DispatchResult::Kind::DeviceUpdated);
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(seenAddress(list.at(0)), 0x0A000005u);
    EXPECT_EQ(kyvo::fieldText(list.at(0).deviceName), "second");
}

TEST(DeviceList, The513thDeviceIsIgnoredAndCountedOnce)
{
    DeviceList list;
    for (int i = 0; i < 512; ++i) dispatchMessage(list, std::uint32_t(0x0A000000 + i), searchAnswer(i, "g"));
    EXPECT_EQ(dispatchMessage(list, 0x0B000001, searchAnswer(600, "late")).kind, DispatchResult::Kind::ListFull);
    dispatchMessage(list, 0x0B000001, searchAnswer(600, "late"));
    dispatchMessage(list, 0x0B000002, searchAnswer(601, "later"));
    EXPECT_EQ(list.count(), 512u);
    EXPECT_EQ(list.ignored(), 2u);
    EXPECT_EQ(dispatchMessage(list, 0x0A000001, searchAnswer(1, "known")).kind, DispatchResult::Kind::DeviceUpdated);
    EXPECT_FALSE(list.ignoredBeyondCount());
    list.clear();
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.ignored(), 0u);
}

TEST(DeviceList, IgnoredDevicesAreRememberedUpToABoundThenOnlyFlagged)
{
    DeviceList list;
    const auto add = [&](int i) {
        return list.add(Mac{0x00, 0x4B, 0xCE, std::uint8_t(i >> 16), std::uint8_t(i >> 8), std::uint8_t(i)},
                        1);
    };
    for (int i = 0; i < 512; ++i)
        ASSERT_TRUE(add(i));
    const int bound = int(DeviceList::kIgnoredTracked);
    for (int i = 512; i < 512 + bound; ++i)
        EXPECT_FALSE(add(i));
    EXPECT_EQ(list.ignored(), DeviceList::kIgnoredTracked);
    EXPECT_FALSE(list.ignoredBeyondCount());
    add(600); // one already counted
    EXPECT_FALSE(list.ignoredBeyondCount());
    for (int i = 512 + bound; i < 512 + 2 * bound; ++i)
        add(i);
    EXPECT_EQ(list.ignored(), DeviceList::kIgnoredTracked);
    EXPECT_TRUE(list.ignoredBeyondCount());
    list.clear();
    EXPECT_FALSE(list.ignoredBeyondCount());
}

TEST(Dispatch, QueryAnswersUpdateKnownDevicesOnlyAndCommandResultsCarryTheirBody)
{
    DeviceList list;
    Bytes items;
    putItem(items, 0xB5, text("pong"));
    EXPECT_EQ(dispatchMessage(list, 1, buildDeviceMessage(0, 0x83, items, macOf(3))).kind, DispatchResult::Kind::Ignored);
    dispatchMessage(list, 1, searchAnswer(3, "x"));
    const auto q = dispatchMessage(list, 1, buildDeviceMessage(0, 0x83, items, macOf(3)));
    EXPECT_EQ(q.kind, DispatchResult::Kind::QueryAnswer);
    ASSERT_TRUE(q.events.pingAnswer);
    const Bytes result = buildDeviceMessage(0, 0x84, hex("74 00"), macOf(3));
    const auto c = dispatchMessage(list, 1, result);
    EXPECT_EQ(c.kind, DispatchResult::Kind::CommandResult);
    EXPECT_EQ(c.code, 0x84);
    EXPECT_EQ(Bytes(c.body.begin(), c.body.end()), hex("74 00"));
    EXPECT_EQ(dispatchMessage(list, 1, buildDeviceMessage(0, 0x82, {}, macOf(3))).kind, DispatchResult::Kind::Ignored);
    Bytes broken = searchAnswer(4, "y");
    broken.back() = '!';
    EXPECT_EQ(dispatchMessage(list, 1, broken).kind, DispatchResult::Kind::Ignored);
}
