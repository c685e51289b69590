#include "common/core/TextHandling.h"

#include <gtest/gtest.h>

using namespace vantorel;

TEST(CountFieldsCore, CountsOneCharacterDelimiters)
{
    EXPECT_EQ(CountFieldsCore(L"", L"."), 1);
    EXPECT_EQ(CountFieldsCore(L"1.2.3.4", L"."), 4);
    EXPECT_EQ(CountFieldsCore(L"1..2", L"."), 3);
    EXPECT_EQ(CountFieldsCore(L".", L"."), 2);
    EXPECT_EQ(CountFieldsCore(L"a.B", L"b"), 1) << "comparison is case-sensitive";
}

TEST(CountFieldsCore, LongerDelimiterNeverMatches)
{
    EXPECT_EQ(CountFieldsCore(L"1.2", L".."), 1);
    EXPECT_EQ(CountFieldsCore(L"1..2", L".."), 1);
    EXPECT_EQ(CountFieldsCore(L"1.2", L""), 1);
}

TEST(CountFieldsCore, OverflowsPast32767)
{
    std::wstring atLimit(32767, L'x');
    EXPECT_EQ(CountFieldsCore(atLimit, L"."), 1);
    EXPECT_FALSE(CountFieldsCore(atLimit + L"x", L".").has_value()) << "text longer than 32767 characters";

    std::wstring dots(32766, L'.');
    EXPECT_EQ(CountFieldsCore(dots, L"."), 32767);
    EXPECT_FALSE(CountFieldsCore(dots + L".", L".").has_value()) << "count would pass 32767";
}

TEST(CountFields, EmptyDelimiterBecomesBlankForCaller)
{
    std::wstring delim;
    EXPECT_EQ(CountFields(L"a b c", delim), 3);
    EXPECT_EQ(delim, L" ");
}

TEST(CountFields, CountAboveByteOverflows)
{
    std::wstring delim = L".";
    EXPECT_EQ(CountFields(std::wstring(254, L'.'), delim), 255);
    EXPECT_FALSE(CountFields(std::wstring(255, L'.'), delim).has_value());
    EXPECT_FALSE(CountFields(std::wstring(40000, L'a'), delim).has_value());
}

TEST(IsBetween, BoundsAreInclusiveAndSigned)
{
    EXPECT_TRUE(IsBetween(48, 48, 57));
    EXPECT_TRUE(IsBetween(57, 48, 57));
    EXPECT_FALSE(IsBetween(47, 48, 57));
    EXPECT_FALSE(IsBetween(58, 48, 57));
    EXPECT_FALSE(IsBetween(-1, 0, 255));
    EXPECT_FALSE(IsBetween(256, 0, 255));
    EXPECT_TRUE(IsBetween(255, 0, 255));
    EXPECT_FALSE(IsBetween(5, 9, 1)) << "an empty range holds nothing";
}

TEST(WindowsVersion, KeepsBothNumbersAsWmiGivesThem)
{
    struct Case {
        const wchar_t* wmi;
        const wchar_t* text;
    } cases[] = {{L"5.1.2600", L"5.1"},   {L"6.1.7601", L"6.1"},   {L"6.3.9600", L"6.3"},
                 {L"10.0.19045", L"10.0"}, {L"10.0.22631", L"10.0"}, {L"6.0", L"6.0"}};
    for (auto& c : cases) {
        auto v = ParseWindowsVersion(c.wmi);
        ASSERT_TRUE(v.has_value()) << c.wmi;
        EXPECT_EQ(WindowsVersionText(*v), c.text);
    }
    EXPECT_FALSE(ParseWindowsVersion(L"").has_value());
    EXPECT_FALSE(ParseWindowsVersion(L"10").has_value());
    EXPECT_FALSE(ParseWindowsVersion(L"a.b.c").has_value());
    EXPECT_FALSE(ParseWindowsVersion(L"10..1").has_value());
}

TEST(WindowsVersion, ComparesNumbersNotText)
{
    // As text, "10.0" sorts below "6.0"; as numbers it is above every older version.
    EXPECT_GT(*CompareWindowsVersion(L"10.0", 6, 0), 0);
    EXPECT_GT(*CompareWindowsVersion(L"10.0", 5, 2), 0);
    EXPECT_GT(*CompareWindowsVersion(L"6.1", 6, 0), 0);
    EXPECT_EQ(*CompareWindowsVersion(L"6.0", 6, 0), 0);
    EXPECT_LT(*CompareWindowsVersion(L"5.2", 6, 0), 0);
    EXPECT_EQ(*CompareWindowsVersion(L"5.1", 5, 1), 0);
    EXPECT_LT(*CompareWindowsVersion(L"5.1", 5, 2), 0);
    EXPECT_GT(*CompareWindowsVersion(L"6.10", 6, 9), 0);
    EXPECT_FALSE(CompareWindowsVersion(L"", 6, 0).has_value());
}

TEST(TextRules, TrimAndLower)
{
    EXPECT_EQ(TrimBlanks(L"  3389 "), L"3389");
    EXPECT_EQ(TrimBlanks(L"   "), L"");
    EXPECT_EQ(ToLowerAscii(L"/STARTUP"), L"/startup");
}
