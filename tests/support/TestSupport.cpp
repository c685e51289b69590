#include "tests/support/TestSupport.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace test {

void InitControls()
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
}

TempFolder::TempFolder()
{
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        path_ = std::wstring(base) + L"vantorel-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = path + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(path.c_str());
}

namespace {
int g_quits = 0;
}

int QuitCount() { return g_quits; }

void PumpFor(int ms)
{
    ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    while (GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ++g_quits;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ++g_quits;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (GetTickCount64() >= end)
            return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

::testing::AssertionResult WaitFor(const std::function<bool()>& condition, int timeoutMs, const std::string& reason)
{
    if (PumpUntil(condition, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "waited " << timeoutMs << " ms in vain for " << reason;
}

namespace {

constexpr UINT kBarrier = WM_APP + 0x3FF;
unsigned g_barrierSeen = 0;

LRESULT CALLBACK BarrierProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kBarrier) {
        g_barrierSeen = static_cast<unsigned>(wp);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A message-only window of this thread: posted messages reach it through every loop that
// dispatches, a menu's or a dialog's too.
HWND BarrierWindow()
{
    static HWND window = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &BarrierProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VantorelTestBarrier";
        RegisterClassW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }();
    return window;
}

} // namespace

::testing::AssertionResult PumpQueued(int timeoutMs)
{
    static unsigned sequence = 0;
    const unsigned mine = ++sequence;
    // Posted messages come out in order, so the barrier comes after all posted before it;
    // input is taken after posted messages, so the queue must also hold no input.
    if (!PostMessageW(BarrierWindow(), kBarrier, mine, 0))
        return ::testing::AssertionFailure() << "cannot post to this thread's barrier window";
    return WaitFor([&] { return g_barrierSeen == mine && HIWORD(GetQueueStatus(QS_INPUT)) == 0; }, timeoutMs,
                   "the messages and input queued before to be handled");
}

void PassDoubleClickTime() { PumpFor(static_cast<int>(GetDoubleClickTime()) + 50); }

::testing::AssertionResult SendMouse(DWORD flags, LONG dx, LONG dy)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = flags;
    if (SendInput(1, &in, sizeof(in)) != 1)
        return ::testing::AssertionFailure() << "SendInput took no mouse input";
    return PumpQueued();
}

::testing::AssertionResult SendKey(WORD vk, bool down)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    if (SendInput(1, &in, sizeof(in)) != 1)
        return ::testing::AssertionFailure() << "SendInput took no key";
    return PumpQueued();
}

std::vector<POINT> HandPath(POINT from, POINT to)
{
    constexpr int kStep = 6; // pixels between two moves: every window of the way is crossed
    const int dx = to.x - from.x, dy = to.y - from.y;
    const int steps = std::max(1, (std::max(std::abs(dx), std::abs(dy)) + kStep - 1) / kStep);
    std::vector<POINT> path;
    for (int i = 1; i <= steps; ++i)
        path.push_back(POINT{from.x + MulDiv(dx, i, steps), from.y + MulDiv(dy, i, steps)});
    return path;
}

bool SendCursorTo(POINT screen)
{
    // Absolute coordinates run over 0..65535 for the whole primary screen; round up so the
    // system's truncation lands on the pixel itself.
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(screen.x) * 65536 + sw - 1) / sw);
    in.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(screen.y) * 65536 + sh - 1) / sh);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return SendInput(1, &in, sizeof(in)) == 1;
}

::testing::AssertionResult MoveMouseTo(HWND hwnd, int x, int y)
{
    HWND top = GetAncestor(hwnd, GA_ROOT);
    if (GetForegroundWindow() != top) {
        SetForegroundWindow(top);
        if (auto r = WaitFor([&] { return GetForegroundWindow() == top; }, 5000, "the window in the foreground"); !r)
            return r;
    }
    POINT pt{x, y};
    ClientToScreen(hwnd, &pt);
    HWND there = WindowFromPoint(pt);
    // WindowFromPoint passes over a disabled or hidden window: its own form is then what is there.
    const bool skipped = !IsWindowEnabled(hwnd) || !IsWindowVisible(hwnd);
    if (there != hwnd && !IsChild(hwnd, there) && !(skipped && GetAncestor(there, GA_ROOT) == top)) {
        wchar_t cls[64] = {}, text[64] = {};
        GetClassNameW(there, cls, 64);
        GetWindowTextW(there, text, 64);
        return ::testing::AssertionFailure() << "point (" << pt.x << ", " << pt.y << ") is covered by window \""
                                             << Narrow(text) << "\" of class " << Narrow(cls);
    }
    POINT from{};
    GetCursorPos(&from);
    for (POINT step : HandPath(from, pt)) {
        if (!SendCursorTo(step))
            return ::testing::AssertionFailure() << "SendInput took no mouse move";
        POINT at{};
        if (auto r = WaitFor(
                [&] {
                    GetCursorPos(&at);
                    return at.x == step.x && at.y == step.y;
                },
                3000, "the cursor at its next step");
            !r)
            return r << " (it is at " << at.x << ", " << at.y << ")";
        if (auto r = PumpQueued(); !r)
            return r;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ClickAt(HWND hwnd, int x, int y, bool right)
{
    if (auto r = MoveMouseTo(hwnd, x, y); !r)
        return r;
    if (auto r = SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN); !r)
        return r;
    return SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

bool TrayIconExists(HWND hwnd)
{
    NOTIFYICONDATAW d{};
    d.cbSize = sizeof(d);
    d.hWnd = hwnd;
    d.uID = 1;
    return Shell_NotifyIconW(NIM_MODIFY, &d) != FALSE;
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return L"<no clipboard>";
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
            text = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return text;
}

void SetClipboardText(const std::wstring& text)
{
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (mem) {
        if (void* p = GlobalLock(mem)) {
            std::memcpy(p, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
            GlobalUnlock(mem);
            if (!SetClipboardData(CF_UNICODETEXT, mem))
                GlobalFree(mem);
        } else {
            GlobalFree(mem);
        }
    }
    CloseClipboard();
}

std::string ReadBytes(const std::wstring& path)
{
    std::string out;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return out;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof(buf), &got, nullptr) && got > 0)
        out.append(buf, got);
    CloseHandle(f);
    return out;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

bool FileExists(const std::wstring& path)
{
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path)
{
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FolderOfLength(const std::wstring& base, std::size_t length, std::size_t part)
{
    std::wstring p = base;
    while (p.size() + 1 < length) {
        std::size_t n = std::min(part, length - p.size() - 1);
        // Never leave a single character over, which could not hold a separator and a name.
        if (length - p.size() - 1 - n == 1)
            --n;
        p += L"\\" + std::wstring(n, static_cast<wchar_t>(L'a' + p.size() % 26));
    }
    return p;
}

std::wstring MissingDrive()
{
    DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter) {
        if (!(drives & (1u << (letter - L'A'))))
            return std::wstring(1, letter) + L":";
    }
    return L"Q:";
}

// Under Wine the Unix root is drive Z:, and /sys is mounted read-only.
std::wstring ReadOnlyFolder() { return L"Z:\\sys"; }

std::wstring Widen(const std::string& s)
{
    if (s.empty())
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

std::string Narrow(const std::wstring& s)
{
    if (s.empty())
        return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring ToWindowsPath(const std::string& unixPath)
{
    // Wine maps the Unix root to drive Z:.
    std::wstring p = L"Z:" + Widen(unixPath);
    for (auto& c : p) {
        if (c == L'/')
            c = L'\\';
    }
    return p;
}

std::wstring BuildDir()
{
    const char* dir = std::getenv("VANTOREL_BUILD_DIR");
    return dir ? ToWindowsPath(dir) : std::wstring();
}

Process::Process(const std::wstring& exe, const std::wstring& args, const std::wstring& workDir)
{
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!args.empty())
        cmd += L" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), &si, &info_))
        info_ = PROCESS_INFORMATION{};
}

Process::~Process()
{
    if (info_.hProcess) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

bool Process::WaitForExit(DWORD timeoutMs)
{
    return info_.hProcess && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess)
        GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

namespace {
struct FindState {
    DWORD pid;
    const std::wstring* title;
    HWND found;
};
BOOL CALLBACK FindWindowProc(HWND hwnd, LPARAM lp)
{
    auto* s = reinterpret_cast<FindState*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid)
        return TRUE;
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    if (*s->title == text) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND FindProcessWindow(DWORD pid, const std::wstring& title, int timeoutMs)
{
    FindState state{pid, &title, nullptr};
    PumpUntil(
        [&] {
            EnumWindows(&FindWindowProc, reinterpret_cast<LPARAM>(&state));
            return state.found != nullptr;
        },
        timeoutMs);
    return state.found;
}

} // namespace test
