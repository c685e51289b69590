// Any key on any box text: the filter passes the key unchanged or drops it, and what passes
// is a digit or one of the four control codes.
#include "monitor/core/NumberKeyFilter.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace vantorel;
using namespace vantorel::ostrevi;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    std::int32_t key = 0;
    std::memcpy(&key, data, 4);
    std::wstring text;
    for (std::size_t i = 4; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));

    int out = FilterNumberKey(key, text);
    if (out != 0 && out != key)
        std::abort();
    bool digit = out >= '0' && out <= '9';
    if (out != 0 && !digit && out != 8 && out != 3 && out != 23 && out != 24)
        std::abort();
    std::size_t points = 0;
    for (wchar_t c : text)
        points += c == L'.';
    // Five fields or more drop every key.
    if (points >= 4 && out != 0)
        std::abort();
    return 0;
}
