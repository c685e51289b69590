// Any key on any box text: the filter passes the key unchanged or drops it, and what passes
// is a digit, one of the four control codes or, where the box takes it, the point.
#include "common/core/NumberKeyFilter.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace vantorel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    std::int32_t key = 0;
    std::memcpy(&key, data, 4);
    std::wstring text;
    for (std::size_t i = 4; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));

    std::size_t points = 0;
    for (wchar_t c : text)
        points += c == L'.';
    for (KeyDots dots : {KeyDots::Dropped, KeyDots::Allowed}) {
        int out = FilterNumberKey(key, text, dots);
        if (out != 0 && out != key)
            std::abort();
        bool digit = out >= '0' && out <= '9';
        bool point = out == '.' && dots == KeyDots::Allowed && points < 3;
        if (out != 0 && !digit && !point && out != 8 && out != 3 && out != 23 && out != 24)
            std::abort();
        // Five fields or more drop every key.
        if (points >= 4 && out != 0)
            std::abort();
    }
    return 0;
}
