// The block history's panel title. Platform-neutral.
#pragma once

#include <cstddef>
#include <string>

namespace vantorel::brennix {

// "Block IP History (" + count + ")".
std::wstring HistoryTitle(std::size_t count);

} // namespace vantorel::brennix
