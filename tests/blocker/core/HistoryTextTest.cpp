#include "blocker/core/HistoryText.h"

#include <gtest/gtest.h>

using namespace brennix;
using Items = std::vector<std::wstring>;

TEST(HistoryItems, SkipsBlankLinesAndKeepsOthersUntrimmed)
{
    EXPECT_EQ(HistoryItems(L"192.0.2.1\r\n\r\n   \r\n198.51.100.2\r\n"), (Items{L"192.0.2.1", L"198.51.100.2"}));
    EXPECT_EQ(HistoryItems(L"  192.0.2.1 \r\n"), (Items{L"  192.0.2.1 "}));
    EXPECT_EQ(HistoryItems(L"192.0.2.1\r\n198.51.100.2"), (Items{L"192.0.2.1", L"198.51.100.2"}))
        << "a last line without a line end";
    EXPECT_EQ(HistoryItems(L"a\nb\rc\r\n"), (Items{L"a", L"b", L"c"}));
    EXPECT_EQ(HistoryItems(L"not an address\r\n"), (Items{L"not an address"}));
    EXPECT_TRUE(HistoryItems(L"").empty());
}

TEST(HistoryText, WritesEveryItemWithCrLfAndRoundTrips)
{
    Items items{L"192.0.2.1", L"10.1.1.1", L"198.51.100.2"};
    EXPECT_EQ(HistoryText(items), L"192.0.2.1\r\n10.1.1.1\r\n198.51.100.2\r\n");
    EXPECT_EQ(HistoryItems(HistoryText(items)), items);
    EXPECT_EQ(HistoryText({}), L"");
    EXPECT_EQ(HistoryTitle(3), L"Block IP History (3)");
}
