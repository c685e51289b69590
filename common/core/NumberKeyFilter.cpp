#include "common/core/NumberKeyFilter.h"

#include "common/core/TextHandling.h"

#include <cstdint>
#include <string>

namespace vantorel {

namespace {
constexpr int kBackspace = 8;
constexpr int kCtrlC = 3;
constexpr int kCtrlW = 23;
constexpr int kCtrlX = 24;
} // namespace

int FilterNumberKey(int key, std::wstring_view text, KeyDots dots)
{
    std::wstring point = L".";
    const auto fields = CountFields(text, point);
    // A count too large to hold counts as "more than four fields".
    if (!fields || *fields > 4)
        return 0;
    if (*fields == 4 && key == '.')
        return 0;
    const bool editing = key == kBackspace || key == kCtrlC || key == kCtrlW || key == kCtrlX;
    // Key codes beyond 16 bits are no characters a box takes.
    const bool digit = key >= INT16_MIN && key <= INT16_MAX && IsBetween(static_cast<std::int16_t>(key), '0', '9');
    return editing || digit || (dots == KeyDots::Allowed && key == '.') ? key : 0;
}

} // namespace vantorel
