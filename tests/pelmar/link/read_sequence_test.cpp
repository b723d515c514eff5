// The item-by-item reading of short-frame servers: codes, pauses and start
// delay on a manual clock, and several readings side by side.
#include "pelmar/link/read_sequence.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace pelmar;
using kyvo::Millis;

namespace {
std::vector<std::uint8_t> codes(char portChar, int version, std::uint8_t flag)
{
    return readSequenceCodes(ReadSequence{{0, 0, 0}, portChar, version, flag});
}
} // namespace

TEST(ReadSequence, CodesFollowPortCountVersionAndFlag)
{
    EXPECT_EQ(codes('4', 42, 0), (std::vector<std::uint8_t>{0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x12, 0x13, 0x14,
                                                            0x3F, 0x17, 0x18, 0x19, 0x20, 0x21, 0x22}));
    const auto flagged = codes('4', 42, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(flagged.begin() + 6, flagged.begin() + 9),
              (std::vector<std::uint8_t>{0x41, 0x42, 0x43}));
    EXPECT_EQ(codes('1', 43, 0), (std::vector<std::uint8_t>{0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x12, 0x13, 0x14,
                                                            0x37, 0x38, 0x3F, 0x15}));
    const auto six = codes('6', 43, 0);
    EXPECT_EQ(six.back(), 0x29);
    EXPECT_EQ(std::count(six.begin(), six.end(), 0x3B), 1);
    const auto eight = codes('8', 50, 1);
    EXPECT_EQ(eight.size(), 6u + 3 + 3 + 2 + 1 + 5 + 2 + 5 + 2 + 5 + 2 + 1);
    EXPECT_EQ(eight.back(), 0x36);
    EXPECT_EQ(codes('B', 43, 0).back(), 0x36); // only '1' stops after port 2
}

TEST(ReadSequence, ParamsComeFromTheDiscoveryReply)
{
    const Bytes reply = testsupport::hex("48 3a 52 50 56 30 34 33 53 34 31 30 01 0a 4d 01 05 00 00 00 aa bb cc 00 45 2e");
    const ReadSequence p = shortDiscoveryParams(reply);
    EXPECT_EQ(p.tail, (MacTail{0xAA, 0xBB, 0xCC}));
    EXPECT_EQ(p.portCountChar, '4');
    EXPECT_EQ(p.version, 43);
    EXPECT_EQ(p.flag, 1);
}

TEST(ReadSequence, WaitsBy800PlusTheMacTailThen20msOr10msBeforeEachRead)
{
    EXPECT_EQ(readSequenceStartDelay({0xFF, 0xFF, 0xFF}), Millis{1565});
    kyvo::ManualClock clock;
    ParallelSchedule schedule;
    const ReadSequence p{{0x00, 0x00, 0x0A}, '4', 42, 0};
    const kyvo::Ipv4Endpoint to{0x7F000002, 5000};
    schedule.start(readSequenceSteps(p, to), 1, clock.now());
    std::vector<std::pair<Millis, std::uint8_t>> sent;
    bool done = false;
    const Millis start = clock.now();
    while (!done) {
        schedule.run(
            clock.now(),
            [&](std::uint64_t token, const kyvo::Ipv4Endpoint &dest, const Bytes &frame) {
                EXPECT_EQ(token, 1u);
                EXPECT_EQ(dest, to);
                EXPECT_EQ(frame[2], 'R');
                EXPECT_EQ(frameMacTail(frame), p.tail);
                sent.emplace_back(clock.now() - start, frame[3]);
            },
            [&](std::uint64_t) { done = true; });
        clock.advance(Millis{1});
    }
    ASSERT_EQ(sent.size(), 16u);
    EXPECT_EQ(sent[0], std::make_pair(Millis{830}, std::uint8_t(0x02)));
    EXPECT_EQ(sent[1].first, Millis{850});
    // 0x19 at 830 + 12 * 20, then 0x20 and 0x21 10 ms apart, 0x22 20 ms later.
    EXPECT_EQ(sent[12], std::make_pair(Millis{1070}, std::uint8_t(0x19)));
    EXPECT_EQ(sent[13], std::make_pair(Millis{1080}, std::uint8_t(0x20)));
    EXPECT_EQ(sent[14], std::make_pair(Millis{1090}, std::uint8_t(0x21)));
    EXPECT_EQ(sent[15], std::make_pair(Millis{1110}, std::uint8_t(0x22)));
    EXPECT_EQ(schedule.running(), 0u);
}

TEST(ReadSequence, ReadingsRunSideBySideAndALateTimerNeverShortensAPause)
{
    kyvo::ManualClock clock;
    ParallelSchedule schedule;
    const kyvo::Ipv4Endpoint to{0x7F000001, 1};
    const Millis start = clock.now();
    schedule.start(readSequenceSteps({{0, 0, 0}, '1', 42, 0}, to), 1, start);
    schedule.start(readSequenceSteps({{0, 0, 5}, '1', 42, 0}, to), 2, start);
    EXPECT_EQ(schedule.nextDeadline(), start + Millis{800});
    std::vector<std::pair<Millis, std::uint64_t>> sent;
    const auto send = [&](std::uint64_t token, const kyvo::Ipv4Endpoint &, const Bytes &) {
        sent.emplace_back(clock.now() - start, token);
    };
    for (int i = 0; i < 850; ++i) {
        schedule.run(clock.now(), send, [](std::uint64_t) {});
        clock.advance(Millis{1});
    }
    // Each reading keeps its own start delay: 820 and 825 ms, then 840 and 845.
    EXPECT_EQ(sent, (std::vector<std::pair<Millis, std::uint64_t>>{
                        {Millis{820}, 1}, {Millis{825}, 2}, {Millis{840}, 1}, {Millis{845}, 2}}));
    clock.advance(Millis{100}); // a late timer: one read each, and the next pause counts from now
    sent.clear();
    schedule.run(clock.now(), send, [](std::uint64_t) {});
    EXPECT_EQ(sent.size(), 2u);
    EXPECT_EQ(schedule.nextDeadline(), clock.now() + Millis{20});
}

TEST(ReadSequence, ReReadIsItems2To7)
{
    const auto frames = rereadFrames({1, 2, 3});
    ASSERT_EQ(frames.size(), 6u);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i][3], 0x02 + i);
        EXPECT_EQ(frameMacTail(frames[i]), (MacTail{1, 2, 3}));
    }
}
