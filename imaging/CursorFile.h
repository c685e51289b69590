// Mouse cursors as the bytes of a cursor file, so that a control can keep its mouse icon in its
// property bag: written from a cursor's picture and hot spot, read back through the icon reader.
#pragma once

#include "runtime/Handles.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

namespace imaging {

// A one-entry 32-bit cursor file of `cursor` (its alpha, its hot spot); false for a handle that
// is neither a cursor nor an icon, or one larger than a cursor file holds.
bool SaveCursorToStream(HCURSOR cursor, std::vector<std::uint8_t>& outStream);

// A cursor of the best 32 x 32 entry of a cursor or icon file, with the entry's hot spot (an
// icon's entry has none: its top left); none when the bytes make no picture.
rt::UniqueIcon LoadCursorFromStream(std::span<const std::uint8_t> inStream);

} // namespace imaging
