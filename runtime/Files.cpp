#include "runtime/Files.h"

#include "runtime/Handles.h"

namespace rt {

namespace {

std::wstring FolderOf(const std::wstring& path)
{
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

} // namespace

std::wstring LongPathForm(const std::wstring& path)
{
    // Below this length every folder and file name function takes the path as it is.
    if (path.size() < 200 || path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size())
        return path;
    full.resize(n);
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

bool WriteAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool ReplaceFileContents(const std::wstring& path, std::string_view bytes)
{
    const std::wstring target = LongPathForm(path);
    // Windows refuses to replace a read-only file; Wine's MoveFileEx does not, so say it here.
    const DWORD old = GetFileAttributesW(target.c_str());
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY))
        return false;
    // The new file is made with the old one's attributes, since the move brings the temporary's.
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                       FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD attributes =
        old == INVALID_FILE_ATTRIBUTES || (old & kept) == 0 ? FILE_ATTRIBUTE_NORMAL : (old & kept);
    // A name of our own, created new, so two writers never share a temporary file.
    static unsigned counter = 0;
    std::wstring temp;
    UniqueFile file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temp = LongPathForm(FolderOf(path) + L"\\~vtl" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(++counter) + L".tmp");
        file.reset(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr));
        if (!file && GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    if (!file)
        return false;
    bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    file.reset();
    if (ok)
        ok = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!ok) {
        SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(temp.c_str());
    }
    return ok;
}

} // namespace rt
