// Reassembly of answers from many gateways at once.
#include "vorlet/link/device_message.h"
#include "vorlet/link/reassembly.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace vorlet;

namespace {
Mac macOf(int i) { return Mac{0x00, 0x4B, 0x59, 0, std::uint8_t(i >> 8), std::uint8_t(i)}; }

Bytes answer(int device, std::size_t bodyLength)
{
    Bytes body(bodyLength);
    for (std::size_t i = 0; i < bodyLength; ++i) body[i] = std::uint8_t(device + i);
    return buildDeviceMessage(0, 0x81, body, macOf(device));
}

Bytes joined(const std::optional<Reassembler::Complete> &c) { return Bytes(c->message.begin(), c->message.end()); }
} // namespace

TEST(Reassembly, AOneDatagramAnswerIsDeliveredAtOnce)
{
    Reassembler r;
    const Bytes m = answer(1, 100);
    const auto frames = deviceFrames(m, macOf(1));
    const auto c = r.accept(frames[0]);
    ASSERT_TRUE(c);
    EXPECT_EQ(joined(c), m);
    EXPECT_EQ(r.busySlots(), 0u);
}

TEST(Reassembly, ADeclaredTotalLongerThanTheDatagramOccupiesASlot)
{
    Reassembler r;
    Bytes frame = deviceFrames(answer(1, 100), macOf(1))[0];
    frame[3] += 1; // total one byte more than carried
    EXPECT_FALSE(r.accept(frame));
    EXPECT_EQ(r.busySlots(), 1u);
}

TEST(Reassembly, AContinuationFromAnUnknownMacIsDropped)
{
    Reassembler r;
    const auto frames = deviceFrames(answer(1, 3000), macOf(1));
    EXPECT_FALSE(r.accept(frames[1]));
    EXPECT_EQ(r.droppedDatagrams(), 1u);
    EXPECT_EQ(r.busySlots(), 0u);
}

TEST(Reassembly, InterleavedAnswersOf512DevicesAllComplete)
{
    Reassembler r;
    std::vector<std::vector<Bytes>> frames;
    std::vector<Bytes> messages;
    for (int d = 0; d < 512; ++d) {
        messages.push_back(answer(d, 2500 + std::size_t(d)));
        frames.push_back(deviceFrames(messages.back(), macOf(d)));
    }
    int completed = 0;
    for (std::size_t f = 0; f < 3; ++f)
        for (int d = 0; d < 512; ++d)
            if (auto c = r.accept(frames[std::size_t(d)][f])) {
                EXPECT_EQ(joined(c), messages[std::size_t(d)]);
                EXPECT_EQ(c->mac, macOf(d));
                ++completed;
            }
    EXPECT_EQ(completed, 512);
    EXPECT_EQ(r.evictedMessages(), 0u);
}

TEST(Reassembly, ARepeatedFragmentIsHarmlessAndOrderDoesNotMatter)
{
    Reassembler r;
    const Bytes m = answer(3, 3500);
    const auto f = deviceFrames(m, macOf(3));
    ASSERT_EQ(f.size(), 4u);
    EXPECT_FALSE(r.accept(f[0]));
    EXPECT_FALSE(r.accept(f[2]));
    EXPECT_FALSE(r.accept(f[2]));
    EXPECT_FALSE(r.accept(f[1]));
    const auto c = r.accept(f[3]);
    ASSERT_TRUE(c);
    EXPECT_EQ(joined(c), m);
}

TEST(Reassembly, ANewFirstFragmentReplacesTheUnfinishedMessage)
{
    Reassembler r;
    const auto lost = deviceFrames(answer(4, 3000), macOf(4));
    const Bytes second = answer(4, 2100);
    const auto f = deviceFrames(second, macOf(4));
    EXPECT_FALSE(r.accept(lost[0]));
    EXPECT_FALSE(r.accept(lost[1])); // its last fragment never comes
    EXPECT_FALSE(r.accept(f[0]));
    EXPECT_FALSE(r.accept(f[1]));
    const auto c = r.accept(f[2]);
    ASSERT_TRUE(c);
    EXPECT_EQ(joined(c), second);
    EXPECT_EQ(r.busySlots(), 0u);
}

TEST(Reassembly, OversizedMessagesAndFragmentsPastTheTotalAreDropped)
{
    Reassembler r(8, 4096);
    EXPECT_FALSE(r.accept(deviceFrames(answer(5, 5000), macOf(5))[0]));
    EXPECT_EQ(r.busySlots(), 0u);
    auto f = deviceFrames(answer(6, 2000), macOf(6));
    EXPECT_FALSE(r.accept(f[0]));
    f[1][7] = 5; // index 5 would land beyond the message
    EXPECT_FALSE(r.accept(f[1]));
    EXPECT_EQ(r.droppedDatagrams(), 2u);
}

TEST(Reassembly, WhenEverySlotIsBusyTheLeastRecentlyFedGivesWay)
{
    Reassembler r(2);
    std::vector<std::vector<Bytes>> f;
    for (int d = 0; d < 3; ++d) f.push_back(deviceFrames(answer(d, 2000), macOf(d)));
    r.accept(f[0][0]);
    r.accept(f[1][0]);
    r.accept(f[2][0]); // device 0 gives way
    EXPECT_EQ(r.evictedMessages(), 1u);
    EXPECT_FALSE(r.accept(f[0][1]));
    EXPECT_TRUE(r.accept(f[1][1]));
    EXPECT_TRUE(r.accept(f[2][1]));
}
