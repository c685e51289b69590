#include "monitor/common/core/AddressText.h"

bool IsDottedIPv4(std::wstring_view text)
{
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        int value = 0, digits = 0;
        while (i < text.size() && text[i] >= L'0' && text[i] <= L'9' && digits < 4) {
            value = value * 10 + (text[i] - L'0');
            ++digits;
            ++i;
        }
        if (digits == 0 || digits > 3 || value > 255)
            return false;
        ++parts;
        if (parts < 4) {
            if (i >= text.size() || text[i] != L'.')
                return false;
            ++i;
        }
    }
    return i == text.size();
}
