// The bounded hand-over queue between a receive thread and the window thread.
#include "common/drop_oldest_queue.h"

#include <gtest/gtest.h>

#include <string>

using kyvo::AnswerFirstQueue;
using kyvo::Inbound;

TEST(AnswerFirstQueue, EachLaneDropsItsOldestBeyondItsCountOrSizeAndAnswersComeFirst)
{
    struct Push
    {
        Inbound kind;
        std::size_t bytes;
    };
    struct Case
    {
        std::vector<Push> pushes; // item i is "i"
        std::vector<std::string> taken;
        std::uint64_t answersDropped, othersDropped;
    };
    constexpr auto A = Inbound::Answer, O = Inbound::Other;
    // Answers: 2 items or 10 bytes; others: 3 items or 100 bytes.
    const Case cases[] = {
        {{{O, 1}, {A, 1}, {O, 1}, {A, 1}}, {"1", "3", "0", "2"}, 0, 0},
        {{{A, 1}, {O, 1}, {O, 1}, {O, 1}, {O, 1}, {O, 1}}, {"0", "3", "4", "5"}, 0, 2},
        {{{A, 1}, {A, 1}, {O, 1}, {A, 1}}, {"1", "3", "2"}, 1, 0},
        {{{A, 6}, {A, 6}, {O, 50}, {O, 50}, {O, 1}}, {"1", "3", "4"}, 1, 1},
        {{{A, 40}}, {"0"}, 0, 0}, // one item above the size limit still passes
    };
    for (const Case &c : cases) {
        AnswerFirstQueue<std::string> q({2, 10}, {3, 100});
        for (std::size_t i = 0; i < c.pushes.size(); ++i)
            q.push(std::to_string(i), c.pushes[i].bytes, c.pushes[i].kind);
        EXPECT_EQ(q.takeAll(), c.taken);
        EXPECT_EQ(q.droppedAnswers(), c.answersDropped);
        EXPECT_EQ(q.droppedOthers(), c.othersDropped);
    }
}

TEST(AnswerFirstQueue, AsksForAWakeUpOnlyWhenBothLanesWereEmpty)
{
    AnswerFirstQueue<int> q({4, 100}, {4, 100});
    EXPECT_TRUE(q.push(1, 1, Inbound::Other));
    EXPECT_FALSE(q.push(2, 1, Inbound::Answer));
    EXPECT_EQ(q.takeAll(), (std::vector<int>{2, 1}));
    EXPECT_TRUE(q.takeAll().empty());
    EXPECT_TRUE(q.push(3, 1, Inbound::Answer));
}

TEST(AnswerFirstQueue, TakingTheAnswersLeavesTheOthers)
{
    AnswerFirstQueue<int> q({4, 100}, {4, 100});
    q.push(1, 1, Inbound::Other);
    q.push(2, 1, Inbound::Answer);
    EXPECT_EQ(q.takeAnswers(), (std::vector<int>{2}));
    EXPECT_FALSE(q.push(3, 1, Inbound::Answer)); // the wake-up for 1 is still due
    EXPECT_EQ(q.takeAll(), (std::vector<int>{3, 1}));
}
