#include "blocker/BatchFile.h"

#include "blocker/core/BatchText.h"
#include "runtime/Handles.h"
#include "runtime/NewerApi.h"
#include "runtime/Runtime.h"

#include <string>

namespace vantorel::brennix {

namespace {

rt::UniqueKernel g_lastBatchProcess;

struct FindTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindClose(h); }
};
using UniqueFind = rt::UniqueHandle<HANDLE, FindTraits>;

// Old enough: a block's console runs for seconds; ten minutes leaves a slow one its file.
constexpr ULONGLONG kOldBatchAge100ns = 10ULL * 60ULL * 10'000'000ULL;

// The code page's bytes, or nothing when a character has no exact byte form there: a
// replacement "?" would change a path or a name inside a command.
std::optional<std::string> ToAnsiExact(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, &usedDefault);
    if (n <= 0 || usedDefault)
        return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), out.data(), n,
                            nullptr, &usedDefault) != n ||
        usedDefault)
        return std::nullopt;
    return out;
}

bool WriteWhole(HANDLE file, const std::string& bytes)
{
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool FileExistsAt(const std::wstring& path)
{
    DWORD attr = GetFileAttributesW(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

// Opens the written file again as its guard and reads it back: the file is run only when
// it still holds exactly `bytes` and nobody else can change it while the guard is open.
std::optional<HeldBatchFile> HoldWritten(const std::wstring& path, const std::string& bytes)
{
    // Sharing only reading denies every other writer and deleter, and fails outright when
    // one has the file open already.
    rt::UniqueFile guard(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!guard || GetFileType(guard.get()) != FILE_TYPE_DISK)
        return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(guard.get(), &size) || size.QuadPart != static_cast<LONGLONG>(bytes.size()))
        return std::nullopt;
    std::string read(bytes.size(), '\0');
    DWORD got = 0;
    if (!bytes.empty() && (!ReadFile(guard.get(), read.data(), static_cast<DWORD>(read.size()), &got, nullptr) ||
                           got != read.size()))
        return std::nullopt;
    if (read != bytes)
        return std::nullopt;
    return HeldBatchFile{path, std::move(guard)};
}

} // namespace

std::optional<HeldBatchFile> WriteBatchFile(const std::wstring& folder, const std::wstring& text,
                                            BatchWrittenHook written)
{
    auto bytes = ToAnsiExact(text);
    if (!bytes || bytes->size() > 0x7fffffff)
        return std::nullopt;
    const auto process = static_cast<std::uint32_t>(GetCurrentProcessId());
    const auto tick = static_cast<std::uint64_t>(rt::TickCount64());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring path = folder + L"\\" + BatchFileName(process, tick, attempt);
        // CREATE_NEW: never reuse a file that an earlier console may still be reading, nor
        // one that somebody else placed under the name.
        rt::UniqueFile file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS)
                continue;
            return std::nullopt;
        }
        bool ok = WriteWhole(file.get(), *bytes);
        // The close is checked too: a failed close may have lost the written bytes.
        ok = CloseHandle(file.release()) && ok;
        if (!ok) {
            DeleteFileW(path.c_str());
            return std::nullopt;
        }
        if (written)
            written(path);
        return HoldWritten(path, *bytes);
    }
    return std::nullopt;
}

void RemoveOldBatchFiles(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    UniqueFind find(FindFirstFileW((folder + L"\\Brennix-*.bat").c_str(), &found));
    if (!find)
        return;
    FILETIME nowFt{};
    GetSystemTimeAsFileTime(&nowFt);
    const ULONGLONG now = (static_cast<ULONGLONG>(nowFt.dwHighDateTime) << 32) | nowFt.dwLowDateTime;
    do {
        // The pattern also matches the user's own "Brennix-notes.bat", and short 8.3 names.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsBatchFileName(found.cFileName))
            continue;
        const ULONGLONG written =
            (static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32) | found.ftLastWriteTime.dwLowDateTime;
        if (written < now && now - written > kOldBatchAge100ns)
            DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(find.get(), &found));
}

std::wstring CmdExePath()
{
    if (rt::IsWow64()) {
        // "Sysnative" names the 64-bit system folder to a 32-bit process, without switching
        // redirection off for the whole process.
        wchar_t windows[MAX_PATH + 1] = {};
        UINT n = GetSystemWindowsDirectoryW(windows, MAX_PATH + 1);
        if (n > 0 && n <= MAX_PATH) {
            std::wstring sysnative = std::wstring(windows, n) + L"\\Sysnative\\cmd.exe";
            if (FileExistsAt(sysnative))
                return sysnative;
        }
    }
    return rt::SystemFolder() + L"\\cmd.exe";
}

std::wstring BatchCommandLine(const std::wstring& cmdPath, const std::wstring& batchPath)
{
    return L"\"" + cmdPath + L"\" /d /t:80 /k \"\"" + batchPath + L"\" & exit\"";
}

bool RunBatchFile(const HeldBatchFile& batch)
{
    const std::wstring folder = rt::SystemFolder();
    // A path that cmd would expand or split would run some other file, or none.
    if (folder.empty() || !batch.guard || !IsPlainForCmd(batch.path))
        return false;
    const std::wstring cmd = CmdExePath();
    std::wstring line = BatchCommandLine(cmd, batch.path);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    // Without Sysnative (older 64-bit Windows) the redirection goes off around this one
    // start only, so the system folder is the 64-bit one.
    PVOID redirection = nullptr;
    const bool switched = rt::IsWow64() && cmd.rfind(L"\\Sysnative\\") == std::wstring::npos &&
                          rt::DisableFsRedirection(redirection);
    // Suspended until it holds its copy of the guard; the system folder as its current
    // folder, so no command of the batch is looked for in a folder that others can write.
    BOOL started = CreateProcessW(cmd.c_str(), line.data(), nullptr, nullptr, FALSE,
                                  CREATE_NEW_CONSOLE | CREATE_SUSPENDED, nullptr, folder.c_str(), &si, &pi);
    if (switched)
        rt::RevertFsRedirection(redirection);
    if (!started)
        return false;
    rt::UniqueKernel process(pi.hProcess);
    rt::UniqueKernel thread(pi.hThread);
    // The console's own handle closes when the console ends, whatever this program does
    // meanwhile; it is not inheritable, so the commands that the console starts get none.
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), batch.guard.get(), process.get(), &copy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS) ||
        ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        TerminateProcess(process.get(), 1);
        return false;
    }
    g_lastBatchProcess = std::move(process);
    return true;
}

HANDLE LastBatchProcess() { return g_lastBatchProcess.get(); }

} // namespace vantorel::brennix
