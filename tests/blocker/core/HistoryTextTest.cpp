#include "blocker/core/HistoryText.h"

#include <gtest/gtest.h>

TEST(HistoryTitle, CountInBrackets) { EXPECT_EQ(brennix::HistoryTitle(3), L"Block IP History (3)"); }
