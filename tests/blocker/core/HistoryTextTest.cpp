#include "blocker/core/HistoryText.h"

#include <gtest/gtest.h>

using namespace vantorel;

TEST(HistoryTitle, CountInBrackets) { EXPECT_EQ(vantorel::brennix::HistoryTitle(3), L"Block IP History (3)"); }
