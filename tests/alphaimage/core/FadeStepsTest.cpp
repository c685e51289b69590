#include "alphaimage/core/FadeSteps.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// The opacities a fade shows, tick by tick, until it ends.
std::vector<int> Shown(int opacity, int finalOpacity, int step)
{
    std::vector<int> shown;
    const auto fade = aic::StartFade(opacity, finalOpacity, step, 0);
    if (!fade)
        return shown;
    for (bool ended = false; !ended && shown.size() < 200;) {
        const aic::FadeTick tick = aic::NextFadeTick(opacity, *fade);
        opacity = tick.opacity;
        ended = tick.ended;
        shown.push_back(opacity);
    }
    return shown;
}

TEST(FadeSteps, OpacityStepsToTheTargetAndNeverPassesIt)
{
    struct Case {
        int from, to, step;
        std::vector<int> shown;
    } cases[] = {
        {100, 0, 25, {75, 50, 25, 0}},
        {100, 0, 30, {70, 40, 10, 0}},
        {100, 0, -30, {70, 40, 10, 0}},
        {20, 60, 15, {35, 50, 60}},
        {100, 0, 200, {0}},
        {100, -5, 60, {40, 0}},
        {0, 250, INT_MIN, {100}},
        {40, 40, 10, {}},
        {40, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.to << " by " << c.step);
        EXPECT_EQ(Shown(c.from, c.to, c.step), c.shown);
    }
    EXPECT_EQ(aic::StartFade(100, 0, 5, 3)->interval, 10);
}

} // namespace
