#include "blocker/core/KeyFilter.h"

#include <gtest/gtest.h>

#include <string>

using namespace vantorel;

using namespace vantorel::brennix;

namespace {

// Types `keys` at the end of `text` the way the box does: each key judged, then inserted.
std::wstring TypeInto(std::wstring text, const std::wstring& keys)
{
    for (wchar_t k : keys) {
        int key = FilterAddressKey({text, static_cast<int>(text.size()), false}, k);
        if (key != 0)
            text += static_cast<wchar_t>(key);
    }
    return text;
}

int AtEnd(const std::wstring& text, int key) { return FilterAddressKey({text, static_cast<int>(text.size()), false}, key); }

} // namespace

TEST(KeyFilter, TypingAnAddressKeepsIt)
{
    EXPECT_EQ(TypeInto(L"", L"192.168.0.1"), L"192.168.0.1");
    EXPECT_EQ(TypeInto(L"", L"19x2.1a68"), L"192.168") << "letters are dropped";
    EXPECT_EQ(TypeInto(L"", L"1.2.3.4.5"), L"1.2.3.45") << "a fourth dot is dropped";
}

TEST(KeyFilter, FieldValueAndLengthLimits)
{
    EXPECT_EQ(AtEnd(L"192.168.0.25", '6'), 0) << "256 is above 255";
    EXPECT_EQ(AtEnd(L"192.168.0.25", '5'), '5');
    EXPECT_EQ(AtEnd(L"10.0.0.000", '1'), 0) << "four characters, although the value read is 1";
    EXPECT_EQ(AtEnd(L"192.168.0.1", '.'), 0) << "three dots already";
    EXPECT_EQ(AtEnd(L"192.168.0.1", '9'), '9') << "digits are still judged by their field";
    // Caret between the dot and the 2 of 10.25: the test appends, reading 253.
    EXPECT_EQ(FilterAddressKey({L"10.25", 3, false}, '3'), '3');
    EXPECT_EQ(FilterAddressKey({L"10.26", 3, false}, '3'), 0) << "263 read the same way";
    EXPECT_EQ(FilterAddressKey({L"300.1", 5, false}, '1'), '1') << "only the caret's field counts";
}

TEST(KeyFilter, SelectionSkipsTheFieldTests)
{
    EXPECT_EQ(FilterAddressKey({L"10.0.0.255", 10, true}, '9'), '9');
    EXPECT_EQ(FilterAddressKey({L"10.0.0.255", 10, true}, 'a'), 0) << "letters are still dropped";
    EXPECT_EQ(FilterAddressKey({L"1.2.3.4", 0, true}, '.'), 0) << "four fields drop a dot even with a selection";
}
