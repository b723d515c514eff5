// Link frames and the paced fragmenting sender.
#include "vorlet/link/device_message.h"
#include "vorlet/link/link_frame.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace vorlet;
using kyvo::Millis;
using testsupport::hex;

namespace {
const Mac kMac{0x00, 0x4B, 0x59, 0x0A, 0x00, 0x05};

Bytes messageOfLength(std::size_t n)
{
    Bytes body(n - kEnvelopeOverhead);
    for (std::size_t i = 0; i < body.size(); ++i) body[i] = std::uint8_t(i * 7);
    return buildDeviceMessage(0, 0x04, body, kMac);
}

// The times at which each datagram leaves, counting each pause from the last.
std::vector<Millis> departures(const std::vector<kyvo::PacedStep> &steps)
{
    std::vector<Millis> times;
    Millis t{0};
    for (const auto &s : steps) {
        t += s.delay;
        if (!s.datagram.empty()) times.push_back(t);
    }
    return times;
}
Millis jobLength(const std::vector<kyvo::PacedStep> &steps)
{
    Millis t{0};
    for (const auto &s : steps) t += s.delay;
    return t;
}
} // namespace

TEST(LinkFrame, ARestartMessageLeavesAsOne29ByteFrameAfter30Ms)
{
    const Bytes restart = buildDeviceMessage(0, command::kRestart, {}, kMac);
    ASSERT_EQ(restart, hex("ba 3a 00 06 00 00 00 4b 59 0a 00 05 45 2e"));
    const auto steps = fragmentMessage(restart, {kyvo::kBroadcastAddress, 1111});
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].delay, Millis{30});
    EXPECT_EQ(steps[0].destination, (kyvo::Ipv4Endpoint{0xFFFFFFFF, 1111}));
    EXPECT_EQ(steps[0].datagram, hex("cc 00 00 0e 00 0e 00 00  ba 3a 00 06 00 00 00 4b 59 0a 00 05 45 2e"
                                     "00 4b 59 0a 00 05 dd"));
}

TEST(LinkFrame, AnExactMultipleOf1024EndsWithItsLastFullFragment)
{
    const auto steps = fragmentMessage(messageOfLength(2048), {1, 1111});
    const auto times = departures(steps);
    ASSERT_EQ(times.size(), 2u);
    EXPECT_EQ(times, (std::vector<Millis>{Millis{0}, Millis{30}}));
    EXPECT_EQ(jobLength(steps), Millis{90}); // 30 ms after each fragment, then 30 ms more
    for (std::size_t i = 0; i < 2; ++i) {
        const Bytes &f = steps[i].datagram;
        ASSERT_EQ(f.size(), 1039u);
        EXPECT_EQ(testsupport::toHex(kyvo::ByteView(f).first(8)), i == 0 ? "cc 00 08 00 04 00 00 00" : "cc 00 08 00 04 00 00 01");
        EXPECT_EQ(f.back(), 0xDD);
        EXPECT_TRUE(std::equal(kMac.begin(), kMac.end(), f.end() - 7));
    }
}

TEST(LinkFrame, A2500ByteMessageIsCutInto1024_1024_452)
{
    const Bytes message = messageOfLength(2500);
    const auto steps = fragmentMessage(message, {1, 1111});
    std::vector<Bytes> frames;
    for (const auto &s : steps)
        if (!s.datagram.empty()) frames.push_back(s.datagram);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[2].size(), 452u + 15);
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(frames[2]).first(8)), "cc 00 09 c4 01 c4 00 02");
    EXPECT_EQ(departures(steps), (std::vector<Millis>{Millis{0}, Millis{30}, Millis{90}}));
    // The payloads put together give the message back.
    Bytes joined;
    for (const Bytes &f : frames) joined.insert(joined.end(), f.begin() + 8, f.end() - 7);
    EXPECT_EQ(joined, message);
}

TEST(LinkFrame, DeviceFramesAreCheckedAgainstTheirDatagram)
{
    const Bytes message = buildDeviceMessage(0, 0x86, {}, kMac);
    const auto frames = deviceFrames(message, kMac);
    ASSERT_EQ(frames.size(), 1u);
    const auto view = parseDeviceFrame(frames[0]);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->total, 14u);
    EXPECT_EQ(view->mac, kMac);
    Bytes bad = frames[0];
    bad.back() = 0xDD;
    EXPECT_FALSE(parseDeviceFrame(bad));
    Bytes lying = frames[0];
    lying[5] = 0xFF; // a fragment length longer than the datagram
    EXPECT_FALSE(parseDeviceFrame(lying));
    EXPECT_FALSE(parseDeviceFrame(hex("aa bb")));
}

TEST(DeviceMessage, TheEnvelopeMustEndInEDot)
{
    Bytes m = buildDeviceMessage(0, 0x86, hex("01 02"), kMac);
    const auto view = checkEnvelope(m);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->code, 0x86);
    EXPECT_EQ(view->mac, kMac);
    EXPECT_EQ(testsupport::toHex(view->lengthAndBody), "00 02 01 02");
    m.back() = 'x';
    EXPECT_FALSE(checkEnvelope(m));
    m.back() = '.';
    m[1] = 0x3B;
    EXPECT_FALSE(checkEnvelope(m));
    EXPECT_FALSE(checkEnvelope(hex("ba 3a 00 45 2e")));
}

TEST(DeviceMessage, TheReceiveThreadKeepsAnswersApartAndDropsWhatTheDispatchIgnores)
{
    using kyvo::Inbound;
    const Mac other{0x00, 0x4B, 0x59, 0x0A, 0x00, 0x06};
    Bytes badTail = buildDeviceMessage(0, 0x81, hex("01"), kMac);
    badTail.back() = 'x';
    struct Step
    {
        Bytes message;
        Inbound kind;
    };
    // In order: a query answer counts as an answer once its device answered a search.
    const Step steps[] = {
        {buildDeviceMessage(0, 0x83, hex("01"), kMac), Inbound::Other},
        {buildDeviceMessage(1, 0x81, hex("01"), kMac), Inbound::Answer},
        {buildDeviceMessage(0, 0x83, hex("01"), kMac), Inbound::Answer},
        {buildDeviceMessage(0, 0x83, hex("01"), other), Inbound::Other},
        {buildDeviceMessage(0, 0x84, hex("01 00"), kMac), Inbound::Other},
        {buildDeviceMessage(0, 0x85, {}, other), Inbound::Other},
        {buildDeviceMessage(0, 0x86, {}, other), Inbound::Other},
        {buildDeviceMessage(0, 0x87, {}, kMac), Inbound::Junk},
        {buildDeviceMessage(0, 0x01, {}, kMac), Inbound::Junk},
        {badTail, Inbound::Junk},
        {hex("ba 3a 00 81 00 00 45 2e"), Inbound::Junk},
    };
    MessageSorter sorter;
    for (std::size_t i = 0; i < std::size(steps); ++i)
        EXPECT_EQ(sorter.sort(steps[i].message), steps[i].kind) << i;
}
