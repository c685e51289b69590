#include "alphaimage/core/HoverState.h"

#include <gtest/gtest.h>

namespace {

using aic::HoverHolder;
using aic::HoverSteps;

TEST(HoverState, HitTestAndPollFollowTheHolder)
{
    struct Case {
        bool poll;
        HoverHolder holder;
        bool hit;
        HoverSteps steps;
    } cases[] = {
        {false, HoverHolder::None, true, {.capture = true}},
        {false, HoverHolder::None, false, {}},
        {false, HoverHolder::This, true, {}},
        {false, HoverHolder::This, false, {.release = true}},
        // Leaving A straight onto B: A exits, then B enters; onto B's transparent part A still exits.
        {false, HoverHolder::Other, true, {.release = true, .capture = true}},
        {false, HoverHolder::Other, false, {.release = true}},
        {true, HoverHolder::This, true, {.rearm = true}},
        {true, HoverHolder::This, false, {.release = true}},
        {true, HoverHolder::Other, true, {}},
        {true, HoverHolder::None, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.poll << ' ' << static_cast<int>(c.holder) << ' ' << c.hit);
        EXPECT_EQ(c.poll ? aic::HoverOnPoll(c.holder, c.hit) : aic::HoverOnHitTest(c.holder, c.hit), c.steps);
    }
}

} // namespace
