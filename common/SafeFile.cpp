#include "common/SafeFile.h"

#include "common/ModCommon.h"
#include "runtime/Files.h"
#include "runtime/Handles.h"

#include <windows.h>

namespace vantorel {

namespace {

std::wstring FolderOf(const std::wstring& path)
{
    auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

bool IsBusy(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

// Another copy holds the file only while it reads its new tail and appends a few lines: try
// again every 10 ms for up to `waitMs`. The last error stays that of the last try.
template <typename Open> HANDLE OpenWaitingForWriter(Open open, DWORD waitMs)
{
    for (DWORD waited = 0;; waited += 10) {
        HANDLE file = open();
        if (file != INVALID_HANDLE_VALUE || !IsBusy(GetLastError()) || waited >= waitMs)
            return file;
        Sleep(10);
    }
}

// Reads what the file gained since the cursor's last read. Another file under the same name,
// or one grown shorter, is read from its start.
bool ReadNewTail(HANDLE file, AddressFileCursor& cursor, AddressLog& log, std::vector<AddressValue>& listed,
                 std::uint64_t& size)
{
    BY_HANDLE_FILE_INFORMATION info{};
    LARGE_INTEGER length{};
    if (!GetFileInformationByHandle(file, &info) || !GetFileSizeEx(file, &length))
        return false;
    size = static_cast<std::uint64_t>(length.QuadPart);
    std::uint64_t index = static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    if (index != cursor.fileIndex || info.dwVolumeSerialNumber != cursor.volume || size < cursor.readTo) {
        cursor.fileIndex = index;
        cursor.volume = info.dwVolumeSerialNumber;
        cursor.readTo = 0;
        cursor.endsWithLineEnd = true;
        // Whatever the list knew of the old file says nothing about this one.
        log.ForgetFile();
    }
    if (size == cursor.readTo)
        return true;

    std::uint64_t end = size - cursor.readTo > kAddressFileReadLimit ? cursor.readTo + kAddressFileReadLimit : size;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(cursor.readTo);
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN))
        return false;
    AddressLineReader reader;
    std::vector<AddressValue> values;
    std::string chunk(1 << 20, '\0');
    std::uint64_t pos = cursor.readTo;
    char last = '\n';
    while (pos < end) {
        DWORD want = static_cast<DWORD>(end - pos < chunk.size() ? end - pos : chunk.size());
        DWORD got = 0;
        if (!ReadFile(file, chunk.data(), want, &got, nullptr))
            return false;
        if (got == 0)
            break;
        reader.Feed(std::string_view(chunk.data(), got), values);
        last = chunk[got - 1];
        pos += got;
    }
    if (pos < size) {
        // Too large to read at once: the rest is skipped, and only its last byte matters.
        at.QuadPart = static_cast<LONGLONG>(size - 1);
        DWORD got = 0;
        if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) || !ReadFile(file, &last, 1, &got, nullptr) || got != 1)
            return false;
        pos = size;
    } else {
        // Nobody writes while the file is held, so a last line without its end is whole.
        reader.Finish(values);
    }
    cursor.readTo = pos;
    cursor.endsWithLineEnd = last == '\n' || last == '\r';
    log.Reserve(values.size());
    for (AddressValue v : values) {
        if (log.AddSaved(v))
            listed.push_back(v);
    }
    return true;
}

} // namespace

bool ReadFileContents(const std::wstring& path, std::string& bytes)
{
    rt::UniqueFile file(CreateFileW(LongPathForm(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (1LL << 30))
        return false;
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr))
            return false;
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return true;
}

bool LoadAddressFile(AddressFileCursor& cursor, AddressLog& log, std::vector<AddressValue>& listed)
{
    const std::wstring path = LongPathForm(cursor.path);
    rt::UniqueFile file(OpenWaitingForWriter([&] {
        return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    }, 1000));
    if (!file)
        return false;
    std::uint64_t size = 0;
    return ReadNewTail(file.get(), cursor, log, listed, size);
}

SaveResult SaveAddressFile(AddressFileCursor& cursor, AddressLog& log, std::string_view firstLine,
                           std::vector<AddressValue>& listed, unsigned long waitMs)
{
    const std::wstring path = LongPathForm(cursor.path);
    // Windows refuses to write a read-only file; Wine lets an administrator do it, so say it here.
    DWORD attr = GetFileAttributesW(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY))
        return SaveResult::Failed;
    auto open = [&] {
        return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    };
    rt::UniqueFile file(OpenWaitingForWriter(open, waitMs));
    if (!file && GetLastError() == ERROR_PATH_NOT_FOUND && CreateFolderPath(FolderOf(cursor.path)))
        file.reset(OpenWaitingForWriter(open, waitMs));
    if (!file)
        return IsBusy(GetLastError()) ? SaveResult::Busy : SaveResult::Failed;

    std::uint64_t size = 0;
    if (!ReadNewTail(file.get(), cursor, log, listed, size))
        return SaveResult::Failed;
    std::vector<AddressValue> unsaved = log.Unsaved();
    if (unsaved.empty())
        return SaveResult::Saved;

    std::string bytes;
    if (size == 0 && !firstLine.empty()) {
        bytes.append(firstLine);
        bytes += "\r\n";
    } else if (!cursor.endsWithLineEnd) {
        // The file's last line ends here, so the first address never joins it.
        bytes += "\r\n";
    }
    AppendAddressLines(bytes, unsaved);
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN))
        return SaveResult::Failed;
    if (!rt::WriteAll(file.get(), bytes)) {
        // A write cut short (full disk) takes back its own part line, and only that.
        SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN);
        SetEndOfFile(file.get());
        return SaveResult::Failed;
    }
    cursor.readTo = size + bytes.size();
    cursor.endsWithLineEnd = true;
    log.MarkSaved(unsaved);
    return SaveResult::Saved;
}

} // namespace vantorel
