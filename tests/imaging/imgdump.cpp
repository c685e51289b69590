// imgdump IN OUT [--gdiplus on|off] [--want W H D] [--save png]: loads IN through the engine's
// file entry point, which offers it to every reader (GDI+ off unless asked; --want gives the
// wanted icon width, height and bit depth), and writes OUT as "width height\n" and the pixels as
// the engine holds them: premultiplied B, G, R, A, top row first; with --save png, OUT is the
// picture's PNG bytes from SaveToStream_PNG instead (GDI+ as loaded). Exits 0 on success; 1, with
// no OUT, when the load or the save fails; 2 for a wrong command line. A check from outside the
// engine, used by no program.
#include "imaging/c32bppDIB.h"
#include "tests/imaging/DumpWriter.h"
#include "runtime/Handles.h"

#include <windows.h>

#include <shellapi.h>

#include <cerrno>
#include <climits>
#include <cwchar>
#include <optional>
#include <string>

namespace {

struct Options {
    std::wstring in, out;
    bool gdiplus = false;
    tools::DumpFormat format = tools::DumpFormat::Pixels;
    int width = 0, height = 0, depth = 32; // the entry points' own defaults
};

std::optional<int> Number(const wchar_t* text)
{
    wchar_t* end = nullptr;
    errno = 0;
    const long v = std::wcstol(text, &end, 10);
    if (end == text || *end != L'\0' || errno != 0 || v < INT_MIN || v > INT_MAX)
        return std::nullopt;
    return static_cast<int>(v);
}

std::optional<Options> Parse(int argc, LPWSTR* argv)
{
    if (argc < 3)
        return std::nullopt;
    Options o{argv[1], argv[2]};
    bool gdiplusSeen = false, wantSeen = false, saveSeen = false;
    for (int i = 3; i < argc;) {
        const std::wstring name = argv[i];
        if (name == L"--gdiplus" && !gdiplusSeen && i + 1 < argc) {
            const std::wstring value = argv[i + 1];
            if (value != L"on" && value != L"off")
                return std::nullopt;
            o.gdiplus = value == L"on";
            gdiplusSeen = true;
            i += 2;
        } else if (name == L"--want" && !wantSeen && i + 3 < argc) {
            const auto w = Number(argv[i + 1]), h = Number(argv[i + 2]), d = Number(argv[i + 3]);
            if (!w || !h || !d)
                return std::nullopt;
            o.width = *w;
            o.height = *h;
            o.depth = *d;
            wantSeen = true;
            i += 4;
        } else if (name == L"--save" && !saveSeen && i + 1 < argc && std::wstring(argv[i + 1]) == L"png") {
            o.format = tools::DumpFormat::Png;
            saveSeen = true;
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return o;
}

int Dump(const Options& o)
{
    imaging::c32bppDIB host;
    host.isGDIplusEnabled(o.gdiplus);
    if (!host.LoadPicture_File(o.in, o.width, o.height, false, o.depth))
        return 1;
    return tools::WriteDump(host, o.out, o.format) ? 0 : 1;
}

} // namespace

int main()
{
    // A crash in here must end this process with an exit code, not a dialog that waits.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return 2;
    const auto options = Parse(argc, argv);
    LocalFree(argv);
    return options ? Dump(*options) : 2;
}
