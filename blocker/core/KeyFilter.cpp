#include "blocker/core/KeyFilter.h"

#include "blocker/core/FieldText.h"
#include "common/core/TextHandling.h"

#include <cstdint>
#include <string>

namespace vantorel::brennix {

namespace {

constexpr int kBackspace = 8;
constexpr int kCopy = 3;
constexpr int kCut = 23;
constexpr int kCutAlt = 24;

bool IsDigitKey(int key)
{
    // Key codes beyond 16 bits are no characters the box takes.
    if (key < INT16_MIN || key > INT16_MAX)
        return false;
    return IsBetween(static_cast<std::int16_t>(key), '0', '9');
}

// The number that a text starts with, read as the old Val() reads it: blanks are skipped,
// digits are taken up to the first other character. Saturates far above 255.
long ValueOf(std::wstring_view text)
{
    long value = 0;
    for (wchar_t c : text) {
        if (c == L' ' || c == L'\t')
            continue;
        if (c < L'0' || c > L'9')
            break;
        if (value < 100000)
            value = value * 10 + (c - L'0');
    }
    return value;
}

} // namespace

int FilterAddressKey(const AddressBoxState& box, int key)
{
    std::wstring dot = L".";
    auto fields = CountFields(box.text, dot);
    // A count the byte cannot hold is a failed step: the key is dropped.
    if (!fields)
        return 0;
    if (*fields > 4)
        key = 0;
    if (*fields == 4 && key == '.')
        key = 0;
    if (key != kBackspace && key != kCopy && key != kCut && key != kCutAlt) {
        if (!IsDigitKey(key) && key != '.')
            key = 0;
    }
    if (box.hasSelection)
        return key;
    if (IsDigitKey(key)) {
        auto field = GetField(box.text, FieldIndexAtCaret(box.text, box.caret, L"."), L".");
        if (!field)
            return 0;
        std::wstring typed = *field + static_cast<wchar_t>(key);
        if (ValueOf(typed) > 255)
            key = 0;
        else if (typed.size() > 3)
            key = 0;
    }
    return key;
}

} // namespace vantorel::brennix
