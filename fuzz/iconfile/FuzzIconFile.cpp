// Icon bytes come from stored properties: any bytes must be taken without reading outside
// them, and an image read that the writer takes must give a file that reads back the same.
#include "imaging/core/IcoDirectory.h"
#include "skin/core/IconFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace {

std::optional<imaging::IcoBitmap> FirstImage(std::span<const std::uint8_t> file)
{
    const auto dir = imaging::ReadIcoDirectory(file);
    return dir ? imaging::ReadIcoBitmap(file, dir->entries[0]) : std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto img = FirstImage(std::span<const std::uint8_t>(data, size));
    if (!img)
        return 0;
    const std::vector<std::uint8_t> again = skin::WriteIconFile(img->image);
    // The writer refuses only an image that says nothing of its bit count but in the directory.
    if (again.empty()) {
        if (imaging::ReadIcoImage(img->image))
            __builtin_trap();
        return 0;
    }
    const auto back = FirstImage(again);
    if (!back || back->width != img->width || back->height != img->height ||
        !std::ranges::equal(back->image, img->image))
        __builtin_trap();
    return 0;
}
