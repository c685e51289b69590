#include "alphaimage/core/InstanceList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::uintptr_t> Items(const aic::InstanceList& list) { return {list.Items().begin(), list.Items().end()}; }

TEST(InstanceList, SortedWithoutDuplicatesInSlotsOfFiveSpare)
{
    aic::InstanceList list;
    EXPECT_FALSE(list.Add(0));
    for (std::uintptr_t p : {300, 100, 200})
        EXPECT_TRUE(list.Add(p));
    EXPECT_FALSE(list.Add(200));
    EXPECT_EQ(Items(list), (std::vector<std::uintptr_t>{100, 200, 300}));
    EXPECT_EQ(list.Slots(), 6u);
    for (std::uintptr_t p : {50, 250, 400})
        list.Add(p);
    EXPECT_EQ(list.Slots(), 6u);
    list.Add(150);
    EXPECT_EQ(list.Slots(), 12u);
    list.Add(350);
    // Shrinks only once more than five slots are spare.
    EXPECT_TRUE(list.Remove(350));
    EXPECT_EQ(list.Slots(), 12u);
    EXPECT_FALSE(list.Remove(350));
    list.Remove(50);
    EXPECT_EQ(list.Slots(), 6u);
    EXPECT_EQ(Items(list), (std::vector<std::uintptr_t>{100, 150, 200, 250, 300, 400}));
    for (std::uintptr_t p : {100, 150, 200, 250, 300, 400})
        list.Remove(p);
    EXPECT_EQ(list.Slots(), 0u);
    list.Add(7);
    EXPECT_EQ(list.Slots(), 6u);
    EXPECT_TRUE(list.Contains(7));
}

} // namespace
