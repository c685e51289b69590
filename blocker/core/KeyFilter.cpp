#include "blocker/core/KeyFilter.h"

#include "blocker/core/FieldText.h"
#include "common/core/NumberKeyFilter.h"

#include <string>

namespace vantorel::brennix {

namespace {

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
    key = FilterNumberKey(key, box.text, KeyDots::Allowed);
    if (box.hasSelection || key < '0' || key > '9')
        return key;
    auto field = GetField(box.text, FieldIndexAtCaret(box.text, box.caret, L"."), L".");
    if (!field)
        return 0;
    const std::wstring typed = *field + static_cast<wchar_t>(key);
    return ValueOf(typed) > 255 || typed.size() > 3 ? 0 : key;
}

} // namespace vantorel::brennix
