#include "alphaimage/core/HoverState.h"

#include <gtest/gtest.h>

using aic::HoverHolder;

TEST(HoverState, HitTestAndPollFollowTheHolder)
{
    constexpr HoverHolder kNone = HoverHolder::None, kThis = HoverHolder::This, kOther = HoverHolder::Other;
    struct Case {
        bool poll;
        HoverHolder holder;
        bool hit;
        aic::HoverSteps steps;
    } cases[] = {
        {false, kNone, true, {.capture = true}}, {false, kNone, false, {}}, {false, kThis, true, {}},
        {false, kThis, false, {.release = true}},
        // Leaving A straight onto B: A exits, then B enters; onto B's transparent part A still exits.
        {false, kOther, true, {.release = true, .capture = true}}, {false, kOther, false, {.release = true}},
        {true, kThis, true, {.rearm = true}}, {true, kThis, false, {.release = true}}, {true, kOther, true, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.poll ? aic::HoverOnPoll(c.holder, c.hit) : aic::HoverOnHitTest(c.holder, c.hit), c.steps)
            << c.poll << ' ' << static_cast<int>(c.holder) << ' ' << c.hit;
}
