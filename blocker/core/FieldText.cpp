#include "blocker/core/FieldText.h"

#include "common/core/TextHandling.h"

namespace vantorel::brennix {

namespace {

wchar_t LowerChar(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Mid$(s, start, length) with a 1-based start: clipped to the text, empty past its end.
std::wstring_view Mid(std::wstring_view s, int start, std::size_t length)
{
    if (start < 1 || static_cast<std::size_t>(start) > s.size())
        return {};
    return s.substr(static_cast<std::size_t>(start) - 1, length);
}

bool EqualsLowered(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerChar(a[i]) != LowerChar(b[i]))
            return false;
    }
    return true;
}

} // namespace

int NthDelimiterPos(std::wstring_view s, std::wstring_view d, int n)
{
    const int last = static_cast<int>(s.size()) - static_cast<int>(d.size()) + 1;
    int count = 0;
    for (int i = 1; i <= last; ++i) {
        if (Mid(s, i, d.size()) == d && ++count == n)
            return i;
    }
    return static_cast<int>(s.size()) + 1;
}

int LastDelimiterBefore(std::wstring_view s, int p, std::wstring_view d)
{
    if (d.empty())
        d = L" ";
    for (int k = p; k >= 1; --k) {
        // Past the end Mid$ gives less than the delimiter's length, which never matches.
        if (EqualsLowered(Mid(s, k, d.size()), d))
            return k;
    }
    return 0;
}

int OccurrenceIndexAt(std::wstring_view s, int p)
{
    if (p > static_cast<int>(s.size()))
        p = static_cast<int>(s.size());
    if (p < 1)
        return 0;
    const wchar_t at = LowerChar(s[static_cast<std::size_t>(p) - 1]);
    int count = 0;
    for (int j = 1; j <= p; ++j) {
        if (LowerChar(s[static_cast<std::size_t>(j) - 1]) == at)
            ++count;
    }
    return count;
}

int FieldIndexAtCaret(std::wstring_view s, int caret, std::wstring_view d)
{
    return OccurrenceIndexAt(s, LastDelimiterBefore(s, caret, d));
}

std::optional<std::wstring> GetField(std::wstring_view s, int n, std::wstring_view d)
{
    std::wstring delimiter(d.empty() ? std::wstring_view(L" ") : d);
    auto count = CountFields(s, delimiter);
    if (!count)
        return std::nullopt;
    if (n >= *count)
        n = *count - 1;
    if (n <= 0) {
        int first = NthDelimiterPos(s, delimiter, 1);
        return std::wstring(s.substr(0, static_cast<std::size_t>(first - 1)));
    }
    int a = NthDelimiterPos(s, delimiter, n);
    int b = NthDelimiterPos(s, delimiter, n + 1);
    return std::wstring(Mid(s, a + 1, static_cast<std::size_t>(b - a - 1)));
}

} // namespace vantorel::brennix
