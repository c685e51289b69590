#include "tests/imaging/DumpWriter.h"

#include "runtime/Files.h"
#include "runtime/Handles.h"

#include <cstdint>
#include <vector>

namespace tools {
namespace {

// Row by row, top row first: a copy of all the pixels would double the tool's peak memory.
bool WritePixels(const imaging::c32bppDIB& picture, HANDLE file)
{
    GdiFlush();
    const std::size_t row = static_cast<std::size_t>(picture.scanWidth());
    bool ok = rt::WriteAll(file, std::to_string(picture.Width()) + ' ' + std::to_string(picture.Height()) + '\n');
    for (int y = picture.Height() - 1; ok && y >= 0; --y)
        ok = rt::WriteAll(file, {reinterpret_cast<const char*>(picture.BitsPointer()) + std::size_t(y) * row, row});
    return ok;
}

} // namespace

bool WriteDump(const imaging::c32bppDIB& picture, const std::wstring& out, DumpFormat format)
{
    if (format == DumpFormat::Png) {
        std::vector<std::uint8_t> png;
        return picture.SaveToStream_PNG(png) &&
               rt::ReplaceFileContents(out, {reinterpret_cast<const char*>(png.data()), png.size()});
    }
    const std::wstring part = out + L".part";
    rt::UniqueFile file(CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const bool written = file && WritePixels(picture, file.get());
    file.reset();
    if (written && MoveFileExW(part.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileW(part.c_str());
    return false;
}

} // namespace tools
