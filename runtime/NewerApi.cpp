#include "runtime/NewerApi.h"

#include "runtime/SystemLibrary.h"

namespace rt {

namespace {

struct Kernel32 {
    HMODULE module = GetModuleHandleW(L"kernel32.dll");
    ULONGLONG(WINAPI* GetTickCount64)() = Bind<ULONGLONG(WINAPI*)()>(module, "GetTickCount64");
    BOOL(WINAPI* IsWow64Process)(HANDLE, PBOOL) = Bind<BOOL(WINAPI*)(HANDLE, PBOOL)>(module, "IsWow64Process");
    BOOL(WINAPI* Wow64DisableWow64FsRedirection)(PVOID*) =
        Bind<BOOL(WINAPI*)(PVOID*)>(module, "Wow64DisableWow64FsRedirection");
    BOOL(WINAPI* Wow64RevertWow64FsRedirection)(PVOID) =
        Bind<BOOL(WINAPI*)(PVOID)>(module, "Wow64RevertWow64FsRedirection");
};

const Kernel32& Api()
{
    static const Kernel32 api;
    return api;
}

} // namespace

ULONGLONG TickCount64()
{
    if (Api().GetTickCount64)
        return Api().GetTickCount64();
    // The performance counter never wraps and exists on every supported system.
    LARGE_INTEGER count{}, frequency{};
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !QueryPerformanceCounter(&count))
        return GetTickCount();
    const auto c = static_cast<ULONGLONG>(count.QuadPart), f = static_cast<ULONGLONG>(frequency.QuadPart);
    return c / f * 1000 + c % f * 1000 / f;
}

bool IsWow64()
{
    BOOL wow64 = FALSE;
    return Api().IsWow64Process && Api().IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

bool DisableFsRedirection(PVOID& cookie)
{
    cookie = nullptr;
    return Api().Wow64DisableWow64FsRedirection && Api().Wow64DisableWow64FsRedirection(&cookie);
}

void RevertFsRedirection(PVOID cookie)
{
    if (Api().Wow64RevertWow64FsRedirection)
        Api().Wow64RevertWow64FsRedirection(cookie);
}

} // namespace rt
