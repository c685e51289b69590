#include "monitor/core/DayLogText.h"

#include <gtest/gtest.h>

using namespace vantorel;
using namespace vantorel::ostrevi;

TEST(DayLogFileName, SeparatorAndForbiddenCharactersBecomePoints)
{
    EXPECT_EQ(DayLogFileName(L"12/7/2026", L"/"), L"12.7.2026.txt");
    EXPECT_EQ(DayLogFileName(L"07.12.2026", L"."), L"07.12.2026.txt");
    EXPECT_EQ(DayLogFileName(L"2026-12-07", L"-"), L"2026.12.07.txt");
    EXPECT_EQ(DayLogFileName(L"7. 12. 2026", L". "), L"7.12.2026.txt") << "a two-character separator";
    // A separator that failed to arrive leaves a slash date: it must not become a path.
    EXPECT_EQ(DayLogFileName(L"12/7/2026", L""), L"12.7.2026.txt");
    EXPECT_EQ(DayLogFileName(L"12\\7:2026*?\"<>|", L"-"), L"12.7.2026.......txt");
    EXPECT_EQ(DayLogFileName(std::wstring(L"1\0" L"2", 3), L"-"), L"1.2.txt");
}

TEST(DayLogHeader, PortAndDateAsGiven)
{
    EXPECT_EQ(DayLogHeader(L"3389", L"12/7/2026"), L"Ip's Connected to 3389 Date: 12/7/2026");
    EXPECT_EQ(DayLogHeader(L" 3389 ", L"7.12.2026"), L"Ip's Connected to  3389  Date: 7.12.2026");
}
