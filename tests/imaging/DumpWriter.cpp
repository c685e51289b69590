#include "tests/imaging/DumpWriter.h"

#include "runtime/Handles.h"

namespace tools {
namespace {

bool WriteAll(HANDLE file, const void* data, std::size_t size)
{
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

} // namespace

bool WriteDump(const imaging::c32bppDIB& picture, const std::wstring& out)
{
    GdiFlush();
    const std::wstring part = out + L".part";
    bool ok = false;
    {
        const rt::UniqueFile file(CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!file)
            return false;
        const std::string head = std::to_string(picture.Width()) + ' ' + std::to_string(picture.Height()) + '\n';
        ok = WriteAll(file.get(), head.data(), head.size());
        for (int y = picture.Height() - 1; ok && y >= 0; --y)
            ok = WriteAll(file.get(), picture.BitsPointer() + std::size_t(y) * picture.scanWidth(), picture.scanWidth());
    }
    if (ok && MoveFileExW(part.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileW(part.c_str());
    return false;
}

} // namespace tools
