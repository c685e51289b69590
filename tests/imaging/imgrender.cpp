// imgrender IN OUT --size W H [--src X Y W H] [--opacity P] [--grey M] [--light L] [--angle A]
//           [--quality nearest|weighted] [--center] [--gdiplus on|off] [--onto FILE]
// Loads IN through LoadPicture_File, as imgdump does, and draws it with Render into a host image of |W| x |H| (cleared to
// transparent, or the picture loaded from FILE), destination 0, 0 and size W, H (negative
// mirrors), then writes OUT in imgdump's format: "width height\n" and the host's pixels as held,
// premultiplied B, G, R, A, top row first. AlphaBlend is left out, so that without GDI+ (the
// default) every draw takes the own pipeline and follows its formulas to the bit; nearest
// scaling unless asked. Exits 0 on success; 1, with no OUT, when a load or the draw fails; 2 for
// a wrong command line. A check from outside the engine, used by no program.
#include "imaging/c32bppDIB.h"
#include "tests/imaging/DumpWriter.h"
#include "runtime/Handles.h"

#include <windows.h>

#include <shellapi.h>

#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Options {
    std::wstring in, out, onto;
    int width = 0, height = 0, srcX = 0, srcY = 0, srcWidth = 0, srcHeight = 0, opacity = 100, grey = -1;
    float light = 0, angle = 0;
    bool weighted = false, center = false, gdiplus = false, sized = false;
};

std::optional<long long> Integer(const std::wstring& s)
{
    wchar_t* end = nullptr;
    const long long v = std::wcstoll(s.c_str(), &end, 10);
    if (s.empty() || *end || v < INT_MIN || v > INT_MAX)
        return std::nullopt;
    return v;
}

std::optional<float> Number(const std::wstring& s)
{
    wchar_t* end = nullptr;
    const float v = std::wcstof(s.c_str(), &end);
    if (s.empty() || *end)
        return std::nullopt;
    return v;
}

std::optional<Options> Parse(const std::vector<std::wstring>& a)
{
    if (a.size() < 2)
        return std::nullopt;
    Options o;
    o.in = a[0], o.out = a[1];
    for (std::size_t i = 2; i < a.size(); ++i) {
        const std::wstring& flag = a[i];
        auto ints = [&](std::initializer_list<int*> into) {
            for (int* target : into) {
                const auto v = ++i < a.size() ? Integer(a[i]) : std::nullopt;
                if (!v)
                    return false;
                *target = static_cast<int>(*v);
            }
            return true;
        };
        auto real = [&](float& into) {
            const auto v = ++i < a.size() ? Number(a[i]) : std::nullopt;
            return v && (into = *v, true);
        };
        auto word = [&](const wchar_t* yes, const wchar_t* no, bool& into) {
            if (++i >= a.size() || (a[i] != yes && a[i] != no))
                return false;
            into = a[i] == yes;
            return true;
        };
        bool ok = true;
        if (flag == L"--size")
            ok = ints({&o.width, &o.height}), o.sized = true;
        else if (flag == L"--src")
            ok = ints({&o.srcX, &o.srcY, &o.srcWidth, &o.srcHeight});
        else if (flag == L"--opacity")
            ok = ints({&o.opacity});
        else if (flag == L"--grey")
            ok = ints({&o.grey});
        else if (flag == L"--light")
            ok = real(o.light);
        else if (flag == L"--angle")
            ok = real(o.angle);
        else if (flag == L"--quality")
            ok = word(L"weighted", L"nearest", o.weighted);
        else if (flag == L"--gdiplus")
            ok = word(L"on", L"off", o.gdiplus);
        else if (flag == L"--center")
            o.center = true;
        else if (flag == L"--onto")
            ok = ++i < a.size() && (o.onto = a[i], true);
        else
            ok = false;
        if (!ok)
            return std::nullopt;
    }
    if (!o.sized)
        return std::nullopt;
    return o;
}

bool Load(const std::wstring& path, imaging::c32bppDIB& into)
{
    return into.LoadPicture_File(path, 0, 0, false, 32);
}

int Run(const Options& o)
{
    imaging::c32bppDIB image, host;
    image.isGDIplusEnabled(o.gdiplus);
    image.isAlphaBlendFriendly(false);
    image.HighQualityInterpolation(o.weighted);
    host.isGDIplusEnabled(false);
    if (!Load(o.in, image))
        return 1;
    if (!o.onto.empty() ? !Load(o.onto, host) : !host.InitializeDIB(std::llabs(o.width), std::llabs(o.height)))
        return 1;
    if (!image.Render(nullptr, 0, 0, o.width, o.height, o.srcX, o.srcY, o.srcWidth, o.srcHeight, o.opacity, true, true,
                      &host, o.grey, o.light, o.angle, o.center))
        return 1;
    return tools::WriteDump(host, o.out) ? 0 : 1;
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
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    LocalFree(argv);
    const auto options = Parse(args);
    return options ? Run(*options) : 2;
}
