// The bounded hand-over queue between a receive thread and the window thread.
#include "common/drop_oldest_queue.h"

#include <gtest/gtest.h>

#include <string>

using kyvo::DropOldestQueue;

TEST(DropOldestQueue, DropsTheOldestBeyondItsCountOrSizeAndCountsThem)
{
    struct Case
    {
        std::size_t maxItems, maxBytes;
        std::vector<std::size_t> sizes; // pushed in order, item i is "i"
        std::vector<std::string> kept;
    };
    const Case cases[] = {
        {3, 100, {1, 1, 1, 1, 1}, {"2", "3", "4"}},
        {10, 10, {4, 4, 4}, {"1", "2"}},
        {10, 10, {4, 50}, {"1"}}, // one item above the size limit still passes
        {2, 100, {1}, {"0"}},
    };
    for (const Case &c : cases) {
        DropOldestQueue<std::string> q(c.maxItems, c.maxBytes);
        for (std::size_t i = 0; i < c.sizes.size(); ++i)
            q.push(std::to_string(i), c.sizes[i]);
        EXPECT_EQ(q.takeAll(), c.kept);
        EXPECT_EQ(q.dropped(), c.sizes.size() - c.kept.size());
    }
}

TEST(DropOldestQueue, AsksForAWakeUpOnlyWhenItWasEmpty)
{
    DropOldestQueue<int> q(4, 100);
    EXPECT_TRUE(q.push(1, 1));
    EXPECT_FALSE(q.push(2, 1));
    EXPECT_EQ(q.takeAll(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(q.takeAll().empty());
    EXPECT_TRUE(q.push(3, 1));
    EXPECT_EQ(q.dropped(), 0u);
}
