// Day's-list lines come from log files on disk: the address test must take any text.
#include "common/core/Ipv4Text.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace vantorel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    bool ok = IsDottedIPv4(text);
    // An accepted text is made of digits and exactly three points.
    if (ok) {
        int points = 0;
        for (wchar_t c : text) {
            if (c == L'.')
                ++points;
            else if (c < L'0' || c > L'9')
                __builtin_trap();
        }
        if (points != 3)
            __builtin_trap();
    }
    return 0;
}
