#include "common/core/NumberKeyFilter.h"

#include <gtest/gtest.h>

#include <string>

using namespace vantorel;

TEST(NumberKeyFilter, DigitsFourControlCodesAndTheAddressBoxsPoint)
{
    const std::wstring pastAByte(300, L'.'); // 301 fields: more than the byte the count is held in
    const struct {
        const char* what;
        int key;
        std::wstring_view text;
        int number, address; // what reaches a box of digits, and an address box
    } rows[] = {
        {"0", '0', L"", '0', '0'},
        {"9", '9', L"33", '9', '9'},
        {"a digit after points", '5', L"1.2.3", '5', '5'},
        {"a letter", 'a', L"", 0, 0},
        {"the code below 0", '/', L"", 0, 0},
        {"the code above 9", ':', L"", 0, 0},
        {"a blank", ' ', L"1", 0, 0},
        {"a sign", '-', L"", 0, 0},
        {"the point", '.', L"1.2", 0, '.'},
        {"a fourth point", '.', L"1.2.3.4", 0, 0},
        {"Backspace", 8, L"3389", 8, 8},
        {"Ctrl+C", 3, L"3389", 3, 3},
        {"Ctrl+W", 23, L"", 23, 23},
        {"Ctrl+X", 24, L"1.2.3.4", 24, 24},
        {"Ctrl+V: no paste by keyboard", 22, L"1.2", 0, 0},
        {"Enter", 13, L"3389", 0, 0},
        {"Esc", 27, L"", 0, 0},
        {"four fields still take a digit", '7', L"1.2.3.4", '7', '7'},
        {"and Backspace", 8, L"1.2.3.4", 8, 8},
        {"five fields drop a digit", '7', L"1.2.3.4.5", 0, 0},
        {"and Backspace", 8, L"1.2.3.4.5", 0, 0},
        {"and the point", '.', L"1.2.3.4.5", 0, 0},
        {"seven fields drop Ctrl+C", 3, L"......", 0, 0},
        {"a digit's code beyond 16 bits", '0' + 65536, L"", 0, 0},
        {"a negative code", -1, L"", 0, 0},
        {"another script's digit", 0x661, L"1.2", 0, 0},
        {"a field count past a byte fails: a digit is dropped", '1', pastAByte, 0, 0},
        {"and Backspace", 8, pastAByte, 0, 0},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(FilterNumberKey(r.key, r.text), r.number) << r.what;
        EXPECT_EQ(FilterNumberKey(r.key, r.text, KeyDots::Allowed), r.address) << r.what;
    }
}
