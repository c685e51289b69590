#include "monitor/core/NumberKeyFilter.h"

#include "common/core/TextHandling.h"

#include <string>

namespace vantorel::ostrevi {

namespace {
constexpr int kBackspace = 8;
constexpr int kCtrlC = 3;
constexpr int kCtrlW = 23;
constexpr int kCtrlX = 24;
} // namespace

int FilterNumberKey(int key, std::wstring_view text)
{
    std::wstring point = L".";
    auto fields = CountFields(text, point);
    // A count too large to hold counts as "more than four fields".
    if (!fields || *fields > 4)
        key = 0;
    if (fields && *fields == 4 && key == '.')
        key = 0;
    if (key != kBackspace && key != kCtrlC && key != kCtrlW && key != kCtrlX &&
        (key < INT16_MIN || key > INT16_MAX || !IsBetween(static_cast<std::int16_t>(key), '0', '9')))
        key = 0;
    return key;
}

} // namespace vantorel::ostrevi
