#include "monitor/core/NumberKeyFilter.h"

#include <gtest/gtest.h>

#include <string>

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace {

struct KeyCase {
    int key;
    const wchar_t* text;
    int expected;
};

class NumberKeyFilterTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(NumberKeyFilterTest, PassesOnlyDigitsAndFourControlCodes)
{
    const KeyCase& c = GetParam();
    EXPECT_EQ(FilterNumberKey(c.key, c.text), c.expected) << "key " << c.key << " text " << std::wstring(c.text).size();
}

INSTANTIATE_TEST_SUITE_P(
    Keys, NumberKeyFilterTest,
    ::testing::Values(
        // Digits pass, at both ends of the range.
        KeyCase{'0', L"", '0'}, KeyCase{'9', L"33", '9'}, KeyCase{'5', L"1.2.3", '5'},
        // Letters, blanks, signs and the point never pass.
        KeyCase{'a', L"", 0}, KeyCase{'/', L"", 0}, KeyCase{':', L"", 0}, KeyCase{' ', L"1", 0},
        KeyCase{'-', L"", 0}, KeyCase{'.', L"1", 0}, KeyCase{'.', L"1.2.3.4", 0},
        // Backspace, Ctrl+C, Ctrl+W and Ctrl+X pass; Ctrl+V (22) does not, so no keyboard paste.
        KeyCase{8, L"3389", 8}, KeyCase{3, L"3389", 3}, KeyCase{23, L"3389", 23}, KeyCase{24, L"3389", 24},
        KeyCase{22, L"3389", 0}, KeyCase{13, L"3389", 0}, KeyCase{27, L"", 0},
        // Four fields still take digits and Backspace.
        KeyCase{'7', L"1.2.3.4", '7'}, KeyCase{8, L"1.2.3.4", 8},
        // Five fields or more (a loaded or mouse-pasted text) drop every key, Backspace too.
        KeyCase{'7', L"1.2.3.4.5", 0}, KeyCase{8, L"1.2.3.4.5", 0}, KeyCase{3, L"......", 0},
        // Codes outside 16 bits are not digits.
        KeyCase{'0' + 65536, L"", 0}, KeyCase{-1, L"", 0}));

TEST(NumberKeyFilter, AFieldCountPastAByteDropsTheKey)
{
    // 300 points make 301 fields: too many for the byte the count is held in.
    std::wstring text(300, L'.');
    EXPECT_EQ(FilterNumberKey('1', text), 0);
    EXPECT_EQ(FilterNumberKey(8, text), 0);
}

} // namespace
