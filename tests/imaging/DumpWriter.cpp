#include "tests/imaging/DumpWriter.h"

#include "runtime/Files.h"
#include "runtime/Handles.h"

#include <cstdint>
#include <vector>

namespace tools {

bool WriteDump(const imaging::c32bppDIB& picture, const std::wstring& out, DumpFormat format)
{
    if (format == DumpFormat::Png) {
        std::vector<std::uint8_t> png;
        return picture.SaveToStream_PNG(png) &&
               rt::ReplaceFileContents(out, {reinterpret_cast<const char*>(png.data()), png.size()});
    }
    // Row by row, top row first: a copy of all the pixels would double the tool's peak memory.
    GdiFlush();
    const std::wstring part = out + L".part";
    const std::size_t row = static_cast<std::size_t>(picture.scanWidth());
    const auto* bits = reinterpret_cast<const char*>(picture.BitsPointer());
    rt::UniqueFile file(CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::string size = std::to_string(picture.Width()) + ' ' + std::to_string(picture.Height()) + '\n';
    bool ok = file && rt::WriteAll(file.get(), size);
    for (int y = picture.Height() - 1; ok && y >= 0; --y)
        ok = rt::WriteAll(file.get(), {bits + std::size_t(y) * row, row});
    file.reset();
    if (ok && MoveFileExW(part.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileW(part.c_str());
    return false;
}

} // namespace tools
