// The clock and the summary line of the native benches (those that run on the build machine).
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace nativebench {

inline double NowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// One table row: min / median of each side, in ms with `digits` decimals, and of their ratios
// taken run by run.
inline void Report(const char* what, const std::vector<double>& ours, const std::vector<double>& theirs, int digits = 1)
{
    std::vector<double> r, a = ours, b = theirs;
    for (std::size_t i = 0; i < ours.size(); ++i)
        r.push_back(ours[i] / theirs[i]);
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    std::sort(r.begin(), r.end());
    std::printf("| %s | %.*f / %.*f ms | %.*f / %.*f ms | %.2f / %.2f |\n", what, digits, a.front(), digits,
                a[a.size() / 2], digits, b.front(), digits, b[b.size() / 2], r.front(), r[r.size() / 2]);
}

} // namespace nativebench
