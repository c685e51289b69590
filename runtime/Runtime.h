// The host layer's process-wide services: the message pump, work deferred until no handler
// is on the stack, the program's folder and command line, version numbers and twips.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace rt {

// Handlers of this layer's windows run inside a HandlerScope, so the layer knows whether a
// handler is on the stack. Work that destroys windows or objects waits until none is.
class HandlerScope {
public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};
int HandlerDepth();

// Runs `work` now when no handler is on the stack, else as soon as the outermost handler
// returns.
void Defer(std::function<void()> work);
// Runs deferred work when no handler is on the stack; a no-op inside handlers.
void RunDeferred();

// Lets the thread's other messages run: one pass over every pending one ("DoEvents"). Outside
// handlers it also runs deferred work.
void YieldToOtherMessages();

// The message loop: runs until WM_QUIT, running deferred work between messages.
int RunMessageLoop();

// Folder of the program's executable, without a trailing separator ("App.Path").
std::wstring AppPath();
// Tests place a program in a temporary folder of their own.
void SetAppPath(std::wstring path);
// The folder the running executable really is in, whatever SetAppPath says.
std::wstring ExecutableFolder();
// The system folder (System32), or empty when it can't be read.
std::wstring SystemFolder();

// The argument text of the command line: everything after the program's name and the one
// blank that follows it, so leading blanks of the argument text stay ("Command$").
std::wstring CommandLineArgs();
std::wstring CommandLineArgs(const std::wstring& fullCommandLine);

// Major, minor and revision from the executable's VERSIONINFO (FILEVERSION major,minor,0,revision).
struct AppVersionNumbers {
    int major = 0;
    int minor = 0;
    int revision = 0;
};
AppVersionNumbers AppVersion();

// The screen's logical pixels per inch (the system DPI), read once: the programs are system
// aware, so it holds for the process's life.
int ScreenDpiX();
int ScreenDpiY();
// Logical pixels per inch of `hwnd`'s window; the system DPI where the system cannot say.
int DpiOf(HWND hwnd);
// A design length in 96-DPI pixels at `dpi`: every position, size and font is scaled once, here.
inline int ScaleDesign(int designPixels, int dpi) { return MulDiv(designPixels, dpi, 96); }
// Twips (1440 an inch) and screen pixels, each rounded to the nearest whole unit.
int PixelsFromTwipsX(int twips);
int PixelsFromTwipsY(int twips);
int TwipsFromPixelsX(int pixels);
int TwipsFromPixelsY(int pixels);
// The system's message or caption font with its height at `dpi`.
LOGFONTW MessageFontAt(int dpi);
LOGFONTW CaptionFontAt(int dpi);

HINSTANCE Instance();

// Registers (once) a window class with the given procedure; returns the class name.
const wchar_t* RegisterClassOnce(const wchar_t* name, WNDPROC proc, UINT style = CS_DBLCLKS,
                                 HBRUSH background = nullptr, HCURSOR cursor = nullptr);

// Text of a window and a few string helpers used at the Win32 edge.
std::wstring WindowText(HWND hwnd);
std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);

} // namespace rt
