#include "common/core/FolderLevels.h"

namespace vantorel {

namespace {
bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
} // namespace

std::optional<std::vector<std::size_t>> FolderLevels(std::wstring_view path, std::size_t maxDepth)
{
    // "\\server\share" and "\\?\C:\" begin with a name that no folder function takes.
    const bool network = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    std::vector<std::size_t> levels;
    std::size_t names = 0;
    for (std::size_t i = 0; i < path.size();) {
        if (IsSeparator(path[i])) {
            ++i;
            continue;
        }
        while (i < path.size() && !IsSeparator(path[i]))
            ++i;
        ++names;
        if (path[i - 1] == L':' || (network && names == 1))
            continue;
        if (levels.size() == maxDepth)
            return std::nullopt;
        levels.push_back(i);
    }
    return levels;
}

} // namespace vantorel
