#include "runtime/Runtime.h"

#include "runtime/SystemLibrary.h"

#include <deque>
#include <vector>

namespace rt {

namespace {

int g_depth = 0;
std::deque<std::function<void()>> g_deferred;
std::wstring g_appPath;

int ScreenPixelsPerInch(int index)
{
    HDC dc = GetDC(nullptr);
    int ppi = dc ? GetDeviceCaps(dc, index) : 96;
    if (dc)
        ReleaseDC(nullptr, dc);
    return ppi > 0 ? ppi : 96;
}

} // namespace

HandlerScope::HandlerScope() { ++g_depth; }
HandlerScope::~HandlerScope()
{
    // The outermost handler has returned: work deferred under it can run now.
    if (--g_depth == 0 && !g_deferred.empty())
        RunDeferred();
}
int HandlerDepth() { return g_depth; }

void Defer(std::function<void()> work)
{
    g_deferred.push_back(std::move(work));
    RunDeferred();
}

void RunDeferred()
{
    while (g_depth == 0 && !g_deferred.empty()) {
        auto work = std::move(g_deferred.front());
        g_deferred.pop_front();
        work();
    }
}

void YieldToOtherMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit for the message loop that owns it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    RunDeferred();
}

int RunMessageLoop()
{
    MSG msg;
    RunDeferred();
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        RunDeferred();
    }
    return static_cast<int>(msg.wParam);
}

std::wstring ExecutableFolder()
{
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0)
            return {};
        if (n < buf.size()) {
            std::wstring path(buf.data(), n);
            auto slash = path.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
        }
        buf.resize(buf.size() * 2);
    }
}

std::wstring SystemFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    UINT n = GetSystemDirectoryW(buffer, MAX_PATH + 1);
    return n > 0 && n <= MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

std::wstring AppPath()
{
    if (g_appPath.empty())
        g_appPath = ExecutableFolder();
    return g_appPath;
}

void SetAppPath(std::wstring path)
{
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    g_appPath = std::move(path);
}

std::wstring CommandLineArgs(const std::wstring& line)
{
    std::size_t i = 0;
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t'))
        ++i;
    // The program's name: quoted, or up to the first blank.
    if (i < line.size() && line[i] == L'"') {
        auto close = line.find(L'"', i + 1);
        i = close == std::wstring::npos ? line.size() : close + 1;
    }
    while (i < line.size() && line[i] != L' ' && line[i] != L'\t')
        ++i;
    // One blank separates the name; any further blanks belong to the argument text.
    if (i < line.size())
        ++i;
    return line.substr(i);
}

std::wstring CommandLineArgs() { return CommandLineArgs(GetCommandLineW()); }

AppVersionNumbers AppVersion()
{
    AppVersionNumbers v;
    wchar_t path[MAX_PATH * 2];
    DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    if (n == 0 || n >= std::size(path))
        return v;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0)
        return v;
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(path, 0, size, data.data()))
        return v;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info ||
        len < sizeof(VS_FIXEDFILEINFO))
        return v;
    v.major = HIWORD(info->dwFileVersionMS);
    v.minor = LOWORD(info->dwFileVersionMS);
    v.revision = LOWORD(info->dwFileVersionLS);
    return v;
}

int ScreenDpiX()
{
    static const int dpi = ScreenPixelsPerInch(LOGPIXELSX);
    return dpi;
}

int ScreenDpiY()
{
    static const int dpi = ScreenPixelsPerInch(LOGPIXELSY);
    return dpi;
}

int DpiOf(HWND hwnd)
{
    // Windows before 10 (1607) lack the call: there every window has the system DPI.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = Bind<GetDpiForWindowFn>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    UINT dpi = hwnd && getDpi ? getDpi(hwnd) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : ScreenDpiY();
}

int PixelsFromTwipsX(int twips) { return MulDiv(twips, ScreenDpiX(), 1440); }
int PixelsFromTwipsY(int twips) { return MulDiv(twips, ScreenDpiY(), 1440); }
int TwipsFromPixelsX(int pixels) { return MulDiv(pixels, 1440, ScreenDpiX()); }
int TwipsFromPixelsY(int pixels) { return MulDiv(pixels, 1440, ScreenDpiY()); }

namespace {
LOGFONTW SystemFontAt(int dpi, bool caption)
{
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
        LOGFONTW lf{};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
        lf.lfHeight = MulDiv(lf.lfHeight, dpi, ScreenDpiY());
        return lf;
    }
    LOGFONTW lf = caption ? ncm.lfCaptionFont : ncm.lfMessageFont;
    // The system gives the height at its own DPI.
    lf.lfHeight = MulDiv(lf.lfHeight, dpi, ScreenDpiY());
    return lf;
}
} // namespace

LOGFONTW MessageFontAt(int dpi) { return SystemFontAt(dpi, false); }
LOGFONTW CaptionFontAt(int dpi) { return SystemFontAt(dpi, true); }

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

const wchar_t* RegisterClassOnce(const wchar_t* name, WNDPROC proc, UINT style, HBRUSH background,
                                 HCURSOR cursor)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(Instance(), name, &existing))
        return name;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = Instance();
    wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    wc.hIcon = LoadIconW(Instance(), MAKEINTRESOURCEW(1));
    RegisterClassExW(&wc);
    return name;
}

std::wstring WindowText(HWND hwnd)
{
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

std::string ToAnsi(const std::wstring& text)
{
    if (text.empty())
        return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring FromAnsi(const std::string& text)
{
    if (text.empty())
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

} // namespace rt
