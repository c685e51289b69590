#include "tests/imaging/DumpWriter.h"

#include "runtime/Files.h"

#include <cstdint>
#include <vector>

namespace tools {
namespace {

std::string PixelDump(const imaging::c32bppDIB& picture)
{
    GdiFlush();
    std::string bytes = std::to_string(picture.Width()) + ' ' + std::to_string(picture.Height()) + '\n';
    const std::size_t row = static_cast<std::size_t>(picture.scanWidth());
    bytes.reserve(bytes.size() + row * static_cast<std::size_t>(picture.Height()));
    for (int y = picture.Height() - 1; y >= 0; --y)
        bytes.append(reinterpret_cast<const char*>(picture.BitsPointer()) + std::size_t(y) * row, row);
    return bytes;
}

} // namespace

bool WriteDump(const imaging::c32bppDIB& picture, const std::wstring& out, DumpFormat format)
{
    if (format == DumpFormat::Png) {
        std::vector<std::uint8_t> png;
        return picture.SaveToStream_PNG(png) &&
               rt::ReplaceFileContents(out, {reinterpret_cast<const char*>(png.data()), png.size()});
    }
    return rt::ReplaceFileContents(out, PixelDump(picture));
}

} // namespace tools
