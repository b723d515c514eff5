// The search request, the range editor's rules and the cross-router pacing.
#include "vorlet/link/cross_router_sweep.h"
#include "vorlet/link/search_request.h"

#include "common/ipv4.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

using namespace vorlet;
using kyvo::Millis;
using testsupport::hex;

namespace {
std::uint32_t ip(const char *text) { return *kyvo::parseIpv4(text); }
} // namespace

TEST(SearchRequest, Is172BytesWithTheWantedTagsAndBothChannelBlocks)
{
    const Bytes r = buildSearchRequest(1);
    ASSERT_EQ(r.size(), kSearchRequestSize);
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(r).first(8)), "ba 3a 01 01 00 9e 01 02");
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(r).subspan(70, 4)), "b1 b2 b8 40");
    EXPECT_EQ(kyvo::ByteView(r).subspan(73, 11).size(), 11u);
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(r).subspan(73, 11)), "40 00 08 00 01 02 04 05 06 07 08");
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(r).subspan(84, 5)), "41 00 25 00 01");
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(r).subspan(121, 8)), "53 54 55 41 00 25 01 01");
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(r).last(8)), "00 00 00 00 00 00 45 2e");
    EXPECT_EQ(buildSearchRequest(0)[2], 0);
}

TEST(SearchRanges, FollowTheRangeEditorsRules)
{
    SearchRanges ranges;
    EXPECT_EQ(ranges.add(ip("192.168.1.1"), ip("192.168.1.254")), SearchRanges::AddResult::Added);
    EXPECT_EQ(rangeSize(ip("192.168.1.1"), ip("192.168.1.254")), 254u);
    EXPECT_EQ(ranges.add(ip("192.168.1.100"), ip("192.168.2.10")), SearchRanges::AddResult::Overlaps);
    EXPECT_EQ(ranges.add(ip("10.0.0.9"), ip("10.0.0.1")), SearchRanges::AddResult::Overlaps);
    EXPECT_EQ(rangeSize(ip("10.0.0.9"), ip("10.0.0.1")), 0u);
    EXPECT_EQ(ranges.add(0, ip("10.0.0.1")), SearchRanges::AddResult::ZeroAddress);
    EXPECT_EQ(ranges.add(ip("10.0.0.1"), ip("10.0.0.10")), SearchRanges::AddResult::Added);
    EXPECT_EQ(ranges.totalAddresses(), 264u);
    EXPECT_TRUE(ranges.modify(1, ip("10.0.0.5"), ip("10.0.0.6")));
    EXPECT_FALSE(ranges.modify(5, ip("10.0.0.5"), ip("10.0.0.6")));
    ranges.add(ip("172.16.0.1"), ip("172.16.0.1"));
    ranges.remove({0, 2});
    ASSERT_EQ(ranges.count(), 1u);
    EXPECT_EQ(ranges.ranges()[0], (SearchRange{ip("10.0.0.5"), ip("10.0.0.6")}));
}

TEST(SearchRanges, RefuseA256thRange)
{
    SearchRanges ranges;
    for (std::uint32_t i = 0; i < 255; ++i)
        ASSERT_EQ(ranges.add(0x0A000000 + i * 2 + 1, 0x0A000000 + i * 2 + 1), SearchRanges::AddResult::Added);
    EXPECT_EQ(ranges.add(ip("11.0.0.1"), ip("11.0.0.2")), SearchRanges::AddResult::Full);
    EXPECT_EQ(ranges.count(), 255u);
}

TEST(CrossRouterSweep, SendsToEveryAddressWithItsPacing)
{
    CrossRouterSweep sweep({{ip("10.0.0.1"), ip("10.0.0.3")}, {ip("10.0.0.9"), ip("10.0.0.8")}, {ip("10.0.1.1"), ip("10.0.1.1")}},
                           buildSearchRequest(1), 1111);
    EXPECT_EQ(sweep.total(), 4u);
    std::vector<std::uint32_t> sentTo;
    std::vector<Millis> pauses;
    while (auto job = sweep.nextJob()) {
        ASSERT_EQ(job->size(), 1u);
        EXPECT_EQ((*job)[0].datagram.size(), kSearchRequestSize + 15);
        EXPECT_EQ((*job)[0].destination.port, 1111);
        sentTo.push_back((*job)[0].destination.address);
        pauses.push_back((*job)[0].delay);
    }
    EXPECT_EQ(sentTo, (std::vector<std::uint32_t>{ip("10.0.0.1"), ip("10.0.0.2"), ip("10.0.0.3"), ip("10.0.1.1")}));
    // 30 ms inside the sender; 10 ms after each address, 30 more after the first of each 500.
    EXPECT_EQ(pauses, (std::vector<Millis>{Millis{30}, Millis{70}, Millis{40}, Millis{40}}));
    EXPECT_EQ(sweep.done(), 4u);
    EXPECT_EQ(sweep.currentAddress(), "10.0.1.1");
    EXPECT_TRUE(sweep.finished());
}

TEST(CrossRouterSweep, AStopEndsItAfterTheAddressBeingSent)
{
    CrossRouterSweep sweep({{ip("10.0.0.1"), ip("10.0.3.254")}}, buildSearchRequest(1));
    EXPECT_EQ(sweep.total(), 1022u);
    EXPECT_EQ(sweep.progressMaximum(), 102u);
    for (int i = 0; i < 25; ++i) ASSERT_TRUE(sweep.nextJob());
    EXPECT_EQ(sweep.progressPosition(), 2u);
    sweep.requestStop();
    EXPECT_FALSE(sweep.nextJob());
    EXPECT_TRUE(sweep.finished());
    EXPECT_EQ(sweep.done(), 25u);
}

TEST(CrossRouterSweep, ARangeEndingAtTheLastAddressEnds)
{
    CrossRouterSweep sweep({{0xFFFFFFFEu, 0xFFFFFFFFu}}, buildSearchRequest(1));
    int jobs = 0;
    while (sweep.nextJob()) ++jobs;
    EXPECT_EQ(jobs, 2);
}
