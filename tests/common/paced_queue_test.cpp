// The paced schedule on an injected time base.
#include "common/paced_queue.h"

#include <gtest/gtest.h>

using kyvo::Millis;
using kyvo::PacedQueue;
using kyvo::PacedStep;

namespace {
struct Recorder {
    std::vector<std::pair<Millis, std::uint8_t>> sent; // time, first byte
    std::vector<std::pair<Millis, std::uint64_t>> done;
    Millis now{0};
    void run(PacedQueue &q)
    {
        q.run(now, [this](const kyvo::Ipv4Endpoint &, const kyvo::Bytes &b) { sent.push_back({now, b[0]}); },
              [this](std::uint64_t t) { done.push_back({now, t}); });
    }
    // Steps the clock from deadline to deadline until the queue is idle.
    void runAll(PacedQueue &q)
    {
        run(q);
        while (auto d = q.nextDeadline()) {
            now = std::max(now, *d);
            run(q);
        }
    }
};
PacedStep step(int delay, std::uint8_t marker) { return {Millis{delay}, {}, {marker}}; }
} // namespace

TEST(PacedQueue, RunsStepsWithTheirPausesAndJobsOneAfterAnother)
{
    PacedQueue q;
    Recorder r;
    q.enqueue({step(0, 1), step(30, 2), step(60, 3)}, 7, r.now);
    q.enqueue({step(30, 4)}, 8, r.now);
    r.runAll(q);
    ASSERT_EQ(r.sent.size(), 4u);
    EXPECT_EQ(r.sent[0], (std::pair{Millis{0}, std::uint8_t(1)}));
    EXPECT_EQ(r.sent[1], (std::pair{Millis{30}, std::uint8_t(2)}));
    EXPECT_EQ(r.sent[2], (std::pair{Millis{90}, std::uint8_t(3)}));
    EXPECT_EQ(r.sent[3], (std::pair{Millis{120}, std::uint8_t(4)}));
    EXPECT_EQ(r.done, (std::vector<std::pair<Millis, std::uint64_t>>{{Millis{90}, 7}, {Millis{120}, 8}}));
    EXPECT_TRUE(q.idle());
}

TEST(PacedQueue, ALateTimerNeverShortensThePauseThatFollows)
{
    PacedQueue q;
    Recorder r;
    q.enqueue({step(0, 1), step(30, 2), step(30, 3)}, 1, r.now);
    r.run(q);
    r.now = Millis{45}; // the timer fired 15 ms late
    r.run(q);
    EXPECT_EQ(q.nextDeadline(), Millis{75});
    r.now = Millis{74};
    r.run(q);
    EXPECT_EQ(r.sent.size(), 2u);
    r.now = Millis{75};
    r.run(q);
    EXPECT_EQ(r.sent.size(), 3u);
}

TEST(PacedQueue, AJobEnqueuedWhenIdleStartsFromItsOwnTime)
{
    PacedQueue q;
    Recorder r;
    r.now = Millis{500};
    q.enqueue({step(30, 9)}, 1, r.now);
    EXPECT_EQ(q.nextDeadline(), Millis{530});
    EXPECT_EQ(q.clear(), std::vector<std::uint64_t>{1});
    EXPECT_FALSE(q.nextDeadline());
}
