#include "monitor/core/DayLogText.h"

#include <gtest/gtest.h>

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

TEST(ParseDayLog, OnlyDottedIPv4LinesAfterTrimming)
{
    std::string file = "Ip's Connected to 3389 Date: 12/7/2026\r\n"
                       "\r\n"
                       "10.0.0.5\r\n"
                       "  192.168.1.20 \r\n"
                       "IP's Connected to 3389 Date: again\r\n"
                       "1.2.3.4 & calc.exe\r\n"
                       "\"1.2.3.4\"\r\n"
                       "300.1.1.1\r\n"
                       "010.000.000.007\n"
                       "8.8.8.8";
    std::vector<std::wstring> expected{L"10.0.0.5", L"192.168.1.20", L"10.0.0.7", L"8.8.8.8"};
    EXPECT_EQ(ParseDayLog(file), expected);
    EXPECT_TRUE(ParseDayLog("").empty());
    EXPECT_TRUE(ParseDayLog("\r\n\r\n").empty());
    EXPECT_EQ(ParseDayLog("1.1.1.1\r2.2.2.2"), (std::vector<std::wstring>{L"1.1.1.1", L"2.2.2.2"})) << "bare CR";
    EXPECT_TRUE(ParseDayLog("1.1.1.1\xA0").empty()) << "a code-page blank is not trimmed";
}

TEST(AppendAsciiLine, AsciiOnly)
{
    std::string out = "h\r\n";
    EXPECT_TRUE(AppendAsciiLine(out, L"10.0.0.5"));
    EXPECT_FALSE(AppendAsciiLine(out, L"caf\x00E9"));
    EXPECT_EQ(out, "h\r\n10.0.0.5\r\n");
}

TEST(DayAddressList, KeepsOrderAndFindsKnownAddresses)
{
    DayAddressList list;
    EXPECT_TRUE(list.Add(L"10.0.0.5"));
    EXPECT_TRUE(list.Add(L"1.2.3.4"));
    EXPECT_FALSE(list.Add(L"10.0.0.5"));
    EXPECT_TRUE(list.Contains(L"1.2.3.4"));
    EXPECT_FALSE(list.Contains(L"1.2.3.40"));
    EXPECT_EQ(list.Items(), (std::vector<std::wstring>{L"10.0.0.5", L"1.2.3.4"}));
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_FALSE(list.Contains(L"10.0.0.5"));
    EXPECT_TRUE(list.Add(L"10.0.0.5"));

    // The known-address test compares with the lower-cased item.
    EXPECT_TRUE(list.Add(L"HOST"));
    EXPECT_TRUE(list.Contains(L"host"));
    EXPECT_FALSE(list.Contains(L"HOST"));
}
