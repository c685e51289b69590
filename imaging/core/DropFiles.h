// The file list of a drag-and-drop or clipboard file drop (a DROPFILES block), checked to lie
// wholly inside its memory before any name is read from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace imaging {

struct DropFileList {
    bool wide = false;
    std::size_t count = 0;
};

// The block's names and character set when its header and its double-NUL-terminated list fit
// in `block`; none otherwise.
std::optional<DropFileList> CheckDropFiles(std::span<const std::uint8_t> block);

} // namespace imaging
