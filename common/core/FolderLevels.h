// How a folder path divides into the folders that make it up. Platform-neutral.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace vantorel {

// The lengths of the prefixes of `path` that name its folders, outermost first, one a level;
// separators ("\" or "/") at the end or doubled add none. The root is no level: a drive ("C:",
// "\\?\C:") or the first name of a network path ("\\server"). No result when the path has
// more than `maxDepth` levels.
std::optional<std::vector<std::size_t>> FolderLevels(std::wstring_view path, std::size_t maxDepth);

} // namespace vantorel
