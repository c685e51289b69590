#include "blocker/core/FieldText.h"

#include <gtest/gtest.h>

using namespace vantorel;

using namespace vantorel::brennix;

TEST(NthDelimiterPos, FindsNthOccurrenceOrOnePastTheEnd)
{
    EXPECT_EQ(NthDelimiterPos(L"1.2.3", L".", 1), 2);
    EXPECT_EQ(NthDelimiterPos(L"1.2.3", L".", 2), 4);
    EXPECT_EQ(NthDelimiterPos(L"1.2.3", L".", 3), 6);
    EXPECT_EQ(NthDelimiterPos(L"", L".", 1), 1);
    EXPECT_EQ(NthDelimiterPos(L"a::b::c", L"::", 2), 5);
    EXPECT_EQ(NthDelimiterPos(L"aXa", L"x", 1), 4) << "the comparison is case-sensitive";
}

TEST(LastDelimiterBefore, HighestMatchNotBeyondP)
{
    EXPECT_EQ(LastDelimiterBefore(L"1.2.3", 5, L"."), 4);
    EXPECT_EQ(LastDelimiterBefore(L"1.2.3", 3, L"."), 2);
    EXPECT_EQ(LastDelimiterBefore(L"1.2.3", 1, L"."), 0);
    EXPECT_EQ(LastDelimiterBefore(L"1.2.3", 0, L"."), 0);
    EXPECT_EQ(LastDelimiterBefore(L"aXbxc", 5, L"X"), 4) << "both sides are lower-cased";
    EXPECT_EQ(LastDelimiterBefore(L"a b c", 5, L""), 4) << "an empty delimiter stands for a blank";
}

TEST(OccurrenceIndexAt, CountsTheCharacterUpToP)
{
    EXPECT_EQ(OccurrenceIndexAt(L"1.2.3", 4), 2);
    EXPECT_EQ(OccurrenceIndexAt(L"1.2.3", 2), 1);
    EXPECT_EQ(OccurrenceIndexAt(L"1.2.3", 0), 0);
    EXPECT_EQ(OccurrenceIndexAt(L"aAa", 99), 3) << "p is lowered to the length; case-insensitive";
    EXPECT_EQ(OccurrenceIndexAt(L"", 3), 0);
}

TEST(FieldIndexAtCaret, IsTheZeroBasedFieldOfTheCaret)
{
    EXPECT_EQ(FieldIndexAtCaret(L"192.168.0.1", 0, L"."), 0);
    EXPECT_EQ(FieldIndexAtCaret(L"192.168.0.1", 3, L"."), 0);
    EXPECT_EQ(FieldIndexAtCaret(L"192.168.0.1", 4, L"."), 1);
    EXPECT_EQ(FieldIndexAtCaret(L"192.168.0.1", 11, L"."), 3);
    EXPECT_EQ(FieldIndexAtCaret(L"10.25", 3, L"."), 1);
}

TEST(GetField, SplitsAtTheDelimiterAndClampsTheIndex)
{
    EXPECT_EQ(GetField(L"1.2.3", 0, L"."), L"1");
    EXPECT_EQ(GetField(L"1.2.3", 1, L"."), L"2");
    EXPECT_EQ(GetField(L"1.2.3", 2, L"."), L"3");
    EXPECT_EQ(GetField(L"1.2.3", 7, L"."), L"3");
    EXPECT_EQ(GetField(L"", 0, L"."), L"");
    EXPECT_EQ(GetField(L"", 3, L"."), L"");
    EXPECT_EQ(GetField(L"1.", 1, L"."), L"");
    EXPECT_EQ(GetField(L"..x", 1, L"."), L"");
    EXPECT_EQ(GetField(L"a b", 1, L""), L"b") << "an empty delimiter stands for a blank";
    EXPECT_FALSE(GetField(std::wstring(300, L'.'), 0, L".").has_value()) << "more fields than a byte counts";
}
