// Any folder text from Settings.ini or the path box: each level ends a name, the levels run
// outward in, and past the depth there is no answer rather than a cut one.
#include "common/core/FolderLevels.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace vantorel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t maxDepth = data[0] % 8;
    std::wstring path;
    for (std::size_t i = 1; i + 1 < size; i += 2)
        path.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));

    auto separator = [&](std::size_t i) { return path[i] == L'\\' || path[i] == L'/'; };
    std::size_t names = 0;
    for (std::size_t i = 0; i < path.size(); ++i)
        names += !separator(i) && (i + 1 == path.size() || separator(i + 1));
    auto levels = FolderLevels(path, maxDepth);
    if (!levels) {
        if (names <= maxDepth)
            std::abort();
        return 0;
    }
    if (levels->size() > maxDepth || levels->size() > names)
        std::abort();
    std::size_t last = 0;
    for (std::size_t end : *levels) {
        if (end <= last || end > path.size() || separator(end - 1) || (end < path.size() && !separator(end)))
            std::abort();
        last = end;
    }
    return 0;
}
