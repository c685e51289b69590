// Helpers for the tests that run under Wine: temporary folders, pumping until a condition
// holds, file contents and starting the built programs as processes.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace test {

// Registers the common-control classes (list view, tool tips) once for the test process.
void InitControls();

// A fresh folder under the temporary folder, removed with its content at scope exit.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

void RemoveTree(const std::wstring& path);

// Pumps messages until `done` is true or `timeoutMs` passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
void PumpFor(int ms);
// PumpUntil whose failure says what was awaited: EXPECT_TRUE(WaitFor(cond, 5000, "the icon")).
::testing::AssertionResult WaitFor(const std::function<bool()>& condition, int timeoutMs, const std::string& reason);
// Pumps until every message posted to this thread, and every input queued for it, before the
// call has been handled: after it, an effect that has not happened will not happen.
::testing::AssertionResult PumpQueued(int timeoutMs = 5000);
// Lets the system's double-click time pass, so that the next click is a single one.
void PassDoubleClickTime();

// The screen points a hand moves the cursor through from `from` to `to`: a few pixels apart,
// `to` last, so every window between the two sees the cursor pass.
std::vector<POINT> HandPath(POINT from, POINT to);
// One absolute move of the cursor to screen point `screen` by SendInput; false when not taken.
bool SendCursorTo(POINT screen);

// Real input (SendInput) at client point (x, y) of `hwnd`: its top-level window is brought to
// the foreground first, and the click fails, naming the window there, when another covers it.
// The cursor travels there from where it is along HandPath, each step handled before the next.
::testing::AssertionResult MoveMouseTo(HWND hwnd, int x, int y);
::testing::AssertionResult ClickAt(HWND hwnd, int x, int y, bool right = false);
// Both fail when the system took none of the input.
::testing::AssertionResult SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0);
::testing::AssertionResult SendKey(WORD vk, bool down);
// WM_QUIT messages the pumps above took from the queue: a loaded program's loop would end.
int QuitCount();

// The clipboard's text, or "<no clipboard>" when it cannot be opened.
std::wstring ClipboardText();
void SetClipboardText(const std::wstring& text);

std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);

// A folder path of exactly `length` characters: `base` and names of at most `part` characters.
std::wstring FolderOfLength(const std::wstring& base, std::size_t length, std::size_t part);
// The root of a drive letter that does not exist ("Q:").
std::wstring MissingDrive();
// A folder that exists but where the file system refuses new files (a read-only file system).
std::wstring ReadOnlyFolder();

// Folder of the CMake build tree (VANTOREL_BUILD_DIR), as a Windows path.
std::wstring BuildDir();
std::wstring ToWindowsPath(const std::string& unixPath);
std::wstring Widen(const std::string& s);
std::string Narrow(const std::wstring& s);

// A started process, ended (if still running) at scope exit.
class Process {
public:
    Process(const std::wstring& exe, const std::wstring& args, const std::wstring& workDir = L"");
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool Started() const { return info_.hProcess != nullptr; }
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    // True when the process ended within `timeoutMs`.
    bool WaitForExit(DWORD timeoutMs);
    DWORD ExitCode() const;

private:
    PROCESS_INFORMATION info_{};
};

// True while the shell holds an icon of `hwnd` with id 1: a modify succeeds only then.
bool TrayIconExists(HWND hwnd);

// The first visible or hidden top-level window of process `pid` whose title is `title`.
HWND FindProcessWindow(DWORD pid, const std::wstring& title, int timeoutMs);

} // namespace test
