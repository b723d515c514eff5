// The broadcast search's six requests and the sweep's 254 probes on a
// manual clock, the sweep prefix and the destination rule.
#include "pelmar/link/discovery.h"

#include <gtest/gtest.h>

using namespace pelmar;
using kyvo::Millis;
using Kind = SearchSession::Tick::Kind;

TEST(SearchSession, BroadcastSendsAtMostSixRequestsOneSecondApart)
{
    SearchSession s;
    s.startBroadcast("255.255.255.255", Millis{1000});
    EXPECT_EQ(s.nextDeadline(), Millis{1500});
    EXPECT_TRUE(s.run(Millis{1499}).empty());
    std::vector<Millis> sentAt;
    for (Millis t{1000}; t <= Millis{9000}; t += Millis{1}) {
        for (const auto &tick : s.run(t)) {
            EXPECT_EQ(tick.kind, Kind::Broadcast);
            EXPECT_EQ(tick.destination, "255.255.255.255");
            EXPECT_EQ(tick.last, tick.count == 6);
            sentAt.push_back(t);
        }
    }
    EXPECT_EQ(sentAt, (std::vector<Millis>{Millis{1500}, Millis{2500}, Millis{3500}, Millis{4500},
                                           Millis{5500}, Millis{6500}}));
    EXPECT_EQ(s.state(), SearchSession::State::Idle);
    EXPECT_FALSE(s.nextDeadline());
}

TEST(SearchSession, AnAnswerEndsTheBroadcastAndALateRunCatchesUpInOrder)
{
    SearchSession s;
    s.startBroadcast("10.0.5.255", Millis{0});
    s.answerArrived(); // a stray answer before the first request ends nothing
    EXPECT_EQ(s.state(), SearchSession::State::Broadcasting);
    ASSERT_EQ(s.run(Millis{600}).size(), 1u);
    s.answerArrived();
    EXPECT_TRUE(s.run(Millis{10000}).empty());

    s.startBroadcast("10.0.5.255", Millis{0});
    const auto late = s.run(Millis{3600});
    ASSERT_EQ(late.size(), 4u);
    EXPECT_EQ(late.back().count, 4);
    EXPECT_EQ(s.nextDeadline(), Millis{4500}); // the schedule keeps its own beat
}

TEST(SearchSession, SweepProbesHostsOneTo254Every10ms)
{
    SearchSession s;
    ASSERT_TRUE(s.startSweep("10.0.5.255", Millis{0}));
    EXPECT_EQ(s.prefix(), "10.0.5.");
    std::vector<std::string> probed;
    Millis endedAt{0};
    for (Millis t{0}; s.state() != SearchSession::State::Idle; t += Millis{1}) {
        for (const auto &tick : s.run(t)) {
            EXPECT_EQ(tick.kind, Kind::Probe);
            EXPECT_EQ(tick.count, int(probed.size()) + 1);
            probed.push_back(tick.destination);
            if (tick.last) endedAt = t;
        }
    }
    ASSERT_EQ(probed.size(), 254u);
    EXPECT_EQ(probed.front(), "10.0.5.1");
    EXPECT_EQ(probed.back(), "10.0.5.254");
    EXPECT_EQ(endedAt, Millis{2540});
    EXPECT_EQ(s.hostCounter(), 0);
}

TEST(SearchSession, EitherModeStopsTheOther)
{
    SearchSession s;
    s.startBroadcast("255.255.255.255", Millis{0});
    ASSERT_TRUE(s.startSweep("192.168.1.255", Millis{100}));
    const auto ticks = s.run(Millis{600});
    ASSERT_EQ(ticks.size(), 50u);
    for (const auto &t : ticks)
        EXPECT_EQ(t.kind, Kind::Probe);
    s.startBroadcast("255.255.255.255", Millis{600});
    EXPECT_EQ(s.run(Millis{1100}).size(), 1u);
    EXPECT_FALSE(s.startSweep("nodots", Millis{1100}));
    EXPECT_EQ(s.state(), SearchSession::State::Broadcasting); // a refused sweep changes nothing
}

TEST(SweepPrefix, CutsAfterTheThirdDotWithinSixteenCharacters)
{
    EXPECT_EQ(sweepPrefix("192.168.1.255"), "192.168.1.");
    EXPECT_EQ(sweepPrefix("10.0.5"), "10.0.5");
    EXPECT_EQ(sweepPrefix("1234567.12345678.1.255"), "1234567.12345678");
    EXPECT_FALSE(sweepPrefix(""));
    EXPECT_FALSE(sweepPrefix("broadcast"));
    EXPECT_FALSE(sweepPrefix("0123456789abcdef.1.2.3"));
    EXPECT_EQ(localPrefix("192.168.7.31"), "192.168.7.");
}

TEST(CommandDestination, IsTheBroadcastAddressWhileBroadcastSearchIsTicked)
{
    EXPECT_EQ(commandDestination(true, "10.0.5.255", "10.0.5.7"), "10.0.5.255");
    EXPECT_EQ(commandDestination(false, "10.0.5.255", "10.0.5.7"), "10.0.5.7");
}
