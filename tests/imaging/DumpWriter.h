// The tools' output: "width height\n" and the picture's pixels as held (premultiplied B, G, R, A),
// top row first; or the picture's PNG bytes as the engine saves them.
#pragma once

#include "imaging/c32bppDIB.h"

#include <string>

namespace tools {

enum class DumpFormat { Pixels, Png };

// Writes `picture` to `out` in `format` through a file beside it, moved into place only when
// complete, so a failed run leaves no new `out` behind; false when anything failed, the PNG save
// included.
bool WriteDump(const imaging::c32bppDIB& picture, const std::wstring& out, DumpFormat format = DumpFormat::Pixels);

} // namespace tools
