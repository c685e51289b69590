// imgdump IN OUT [--gdiplus on|off] [--save png]: loads IN through the PNG reader's file entry
// point (GDI+ off unless asked) and writes OUT as "width height\n" and the pixels as the engine
// holds them: premultiplied B, G, R, A, top row first; with --save png, OUT is the picture's PNG
// bytes from SaveToStream_PNG instead. Exits 0 on success; 1, with no OUT, when the load or the
// save fails; 2 for a wrong command line. A check from outside the engine, used by no program.
#include "imaging/Files.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cPNGparser.h"
#include "runtime/Files.h"
#include "runtime/Handles.h"

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

bool WriteAll(HANDLE file, const void* data, std::size_t size)
{
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

// OUT as the PNG the engine saves, GDI+ as the host has it; no OUT when the save fails.
int SavePng(const imaging::c32bppDIB& host, const std::wstring& out)
{
    std::vector<std::uint8_t> png;
    if (!host.SaveToStream_PNG(png) ||
        !rt::ReplaceFileContents(out, {reinterpret_cast<const char*>(png.data()), png.size()}))
        return 1;
    return 0;
}

int Dump(const std::wstring& in, const std::wstring& out, bool gdiplus, bool savePng)
{
    imaging::c32bppDIB host;
    host.isGDIplusEnabled(gdiplus);
    {
        const rt::UniqueFile file(imaging::OpenImageFile(in, true));
        if (!file)
            return 1;
        imaging::cPNGparser().LoadFile(file.get(), in, host, host.gdiToken());
    }
    if (!host.BitsPointer())
        return 1;
    if (savePng)
        return SavePng(host, out);
    const std::wstring part = out + L".part";
    bool ok = false;
    {
        const rt::UniqueFile file(CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!file)
            return 1;
        const std::string head = std::to_string(host.Width()) + ' ' + std::to_string(host.Height()) + '\n';
        ok = WriteAll(file.get(), head.data(), head.size());
        for (int y = host.Height() - 1; ok && y >= 0; --y)
            ok = WriteAll(file.get(), host.BitsPointer() + std::size_t(y) * host.scanWidth(), host.scanWidth());
    }
    // Written beside OUT and moved into place, so a failed run leaves no OUT behind.
    if (ok && MoveFileExW(part.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING))
        return 0;
    DeleteFileW(part.c_str());
    return 1;
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
    int result = 2;
    const bool savePng = argc >= 5 && std::wstring(argv[argc - 2]) == L"--save" && std::wstring(argv[argc - 1]) == L"png";
    if (savePng)
        argc -= 2;
    const bool withSwitch = argc == 5 && std::wstring(argv[3]) == L"--gdiplus";
    if (argc == 3 || (withSwitch && (std::wstring(argv[4]) == L"on" || std::wstring(argv[4]) == L"off")))
        result = Dump(argv[1], argv[2], withSwitch && std::wstring(argv[4]) == L"on", savePng);
    LocalFree(argv);
    return result;
}
