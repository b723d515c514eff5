// The batch runner with operations that end on an injected clock.
#include "common/batch_runner.h"
#include "common/clock.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using kyvo::BatchRunner;
using kyvo::Millis;
using State = BatchRunner::State;

namespace {
// Each started row ends at its own time after its start; a silent row ends
// only by its time-out, as the single-device operation would.
struct FakeDevices
{
    kyvo::ManualClock clock;
    std::map<std::size_t, Millis> duration; // row -> time it takes (default 1 s)
    std::map<std::size_t, Millis> endsAt;   // running rows
    std::vector<std::size_t> startOrder;
    std::size_t maxRunning = 0;
    std::set<std::size_t> silent;
    static constexpr Millis kTimeout{10000};
    BatchRunner *runner = nullptr;

    BatchRunner::StartFn starter()
    {
        return [this](std::size_t row) {
            startOrder.push_back(row);
            const Millis d =
                silent.count(row) ? kTimeout : (duration.count(row) ? duration[row] : Millis{1000});
            endsAt[row] = clock.now() + d;
            maxRunning = std::max(maxRunning, endsAt.size());
        };
    }
    // Advances the clock in 10 ms steps until `until`, ending rows whose time has come.
    void runUntil(Millis until)
    {
        while (clock.now() < until) {
            clock.advance(Millis{10});
            for (auto it = endsAt.begin(); it != endsAt.end();) {
                if (it->second > clock.now()) {
                    ++it;
                    continue;
                }
                const std::size_t row = it->first;
                it = endsAt.erase(it);
                if (silent.count(row))
                    runner->finish(row, false, "no answer");
                else
                    runner->finish(row, true, "ok");
            }
        }
    }
};
} // namespace

TEST(BatchRunner, KeepsToTheLimitAndRunsEveryRowOnce)
{
    struct Case
    {
        std::size_t rows, parallel, expectedMax;
    };
    for (const Case c : {Case{20, 3, 3}, Case{5, 8, 5}, Case{4, 0, 1}}) {
        FakeDevices f;
        for (std::size_t i = 0; i < c.rows; ++i)
            f.duration[i] = Millis{100 * (i % 4 + 1)};
        BatchRunner runner(c.rows, c.parallel, f.starter());
        f.runner = &runner;
        runner.run();
        f.runUntil(f.clock.now() + Millis{60000});
        EXPECT_EQ(f.maxRunning, c.expectedMax) << c.rows << " rows, parallel " << c.parallel;
        EXPECT_EQ(f.startOrder.size(), c.rows);
        EXPECT_TRUE(runner.allSucceeded());
        EXPECT_EQ(runner.summary().done, c.rows);
    }
}

TEST(BatchRunner, ASilentDeviceDelaysNoOtherAndIsReportedFailed)
{
    FakeDevices f;
    f.silent = {0};
    BatchRunner runner(9, 2, f.starter());
    f.runner = &runner;
    const Millis start = f.clock.now();
    runner.run();
    // Rows 1..8 share the other place: eight seconds, while row 0 waits for its time-out.
    f.runUntil(start + Millis{8000});
    for (std::size_t i = 1; i < 9; ++i)
        EXPECT_EQ(runner.row(i).state, State::Done) << i;
    EXPECT_EQ(runner.row(0).state, State::Running);
    f.runUntil(start + FakeDevices::kTimeout);
    EXPECT_EQ(runner.row(0).state, State::Failed);
    EXPECT_EQ(runner.row(0).text, "no answer");
    EXPECT_TRUE(runner.finished());
    EXPECT_FALSE(runner.allSucceeded());
}

TEST(BatchRunner, CancelStartsNothingMoreAndLetsRunningRowsEnd)
{
    FakeDevices f;
    BatchRunner runner(10, 3, f.starter());
    f.runner = &runner;
    runner.run();
    f.runUntil(f.clock.now() + Millis{500});
    runner.cancel();
    EXPECT_FALSE(runner.finished());
    f.runUntil(f.clock.now() + Millis{5000});
    EXPECT_EQ(f.startOrder.size(), 3u);
    EXPECT_TRUE(runner.finished());
    const auto s = runner.summary();
    EXPECT_EQ(s.done, 3u);
    EXPECT_EQ(s.cancelled, 7u);
    EXPECT_EQ(s.waiting + s.running, 0u);
}

TEST(BatchRunner, RowsRefusedAtTheirStartFreeTheirPlaceWithoutNesting)
{
    std::vector<std::size_t> started;
    int depth = 0, maxDepth = 0;
    BatchRunner *self = nullptr;
    BatchRunner runner(6, 2, [&](std::size_t row) {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        started.push_back(row);
        if (row % 2 == 0) self->finish(row, false, "refused");
        --depth;
    });
    self = &runner;
    runner.run();
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(started, (std::vector<std::size_t>{0, 1, 2, 3}));
    EXPECT_EQ(runner.running(), 2u);
    // A late or repeated report of an ended row changes nothing.
    runner.finish(0, true, "late");
    runner.progress(0, 50, "late");
    EXPECT_EQ(runner.row(0).state, State::Failed);
    EXPECT_EQ(runner.row(0).text, "refused");
    runner.progress(1, 140, "sending");
    EXPECT_EQ(runner.row(1).percent, 100);
    runner.finish(1, true, "ok");
    runner.finish(3, true, "ok");
    EXPECT_EQ(started.size(), 6u);
    runner.finish(5, true, "ok");
    EXPECT_TRUE(runner.finished());
    EXPECT_EQ(runner.summary().failed, 3u);
}
