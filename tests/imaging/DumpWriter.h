// The tools' output: "width height\n" and the picture's pixels as held (premultiplied B, G, R, A),
// top row first.
#pragma once

#include "imaging/c32bppDIB.h"

#include <string>

namespace tools {

// Writes `picture` to `out` through a file beside it, moved into place only when complete, so a
// failed run leaves no `out` behind; false when anything failed.
bool WriteDump(const imaging::c32bppDIB& picture, const std::wstring& out);

} // namespace tools
