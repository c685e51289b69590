#include "alphaimage/core/FadeSteps.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

TEST(FadeSteps, OpacityStepsToTheTargetAndNeverPassesIt)
{
    struct Case {
        int from, to, step;
        std::vector<int> shown;
    } cases[] = {
        {100, 0, -30, {70, 40, 10, 0}}, {20, 60, 15, {35, 50, 60}}, {100, -5, 200, {0}},
        {0, 250, INT_MIN, {100}},       {40, 40, 10, {}},           {40, 0, 0, {}},
    };
    for (const Case& c : cases) {
        std::vector<int> shown;
        const auto fade = aic::StartFade(c.from, c.to, c.step, 0);
        for (aic::FadeTick t{c.from, !fade}; !t.ended && shown.size() < 200; shown.push_back(t.opacity))
            t = aic::NextFadeTick(t.opacity, *fade);
        EXPECT_EQ(shown, c.shown) << c.from << " to " << c.to << " by " << c.step;
    }
    EXPECT_EQ(aic::StartFade(100, 0, 5, 3)->interval, 10);
}
