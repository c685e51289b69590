#include "common/ModCommon.h"

#include "common/core/FolderLevels.h"
#include "common/core/TextHandling.h"
#include "runtime/ComApartment.h"
#include "runtime/Controls.h"
#include "runtime/Handles.h"
#include "runtime/Runtime.h"
#include "runtime/SystemLibrary.h"

#include <objbase.h>
#include <optional>
#include <wbemidl.h>

#include <vector>

namespace vantorel {

namespace {

std::wstring QueryWmiVersion()
{
    rt::ComApartment com;
    rt::ComPtr<IWbemLocator> locator;
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                locator.put_void())))
        return {};
    rt::ComPtr<IWbemServices> services;
    HRESULT hr = locator->ConnectServer(rt::Bstr(L"ROOT\\CIMV2"), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                        services.put());
    if (FAILED(hr))
        return {};
    CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    rt::ComPtr<IEnumWbemClassObject> rows;
    hr = services->ExecQuery(rt::Bstr(L"WQL"), rt::Bstr(L"SELECT * FROM Win32_OperatingSystem"),
                             WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY, nullptr, rows.put());
    rt::YieldToOtherMessages();
    if (FAILED(hr))
        return {};
    std::wstring version;
    for (;;) {
        rt::ComPtr<IWbemClassObject> row;
        ULONG got = 0;
        if (rows->Next(static_cast<LONG>(WBEM_INFINITE), 1, row.put(), &got) != WBEM_S_NO_ERROR || got == 0)
            break;
        rt::Variant v;
        if (SUCCEEDED(row->Get(L"Version", 0, v.put(), nullptr, nullptr)) && v->vt == VT_BSTR && v->bstrVal)
            version = v->bstrVal; // the last object wins; there is one
        rt::YieldToOtherMessages();
    }
    return version;
}

// The kernel's version, which no compatibility shim changes; nothing when ntdll lacks the
// call.
std::optional<WindowsVersion> KernelVersion()
{
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto fn = rt::Bind<RtlGetVersionFn>(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!fn || fn(&info) != 0)
        return std::nullopt;
    return WindowsVersion{static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion)};
}

} // namespace

std::wstring GetOSVersion(VersionQuery wmi)
{
    std::wstring version = (wmi ? wmi : &QueryWmiVersion)();
    auto parsed = ParseWindowsVersion(version);
    // Without a version the blocker would write no block command and the monitor would pick
    // the wrong task interface.
    if (!parsed)
        parsed = KernelVersion();
    rt::YieldToOtherMessages();
    return parsed ? WindowsVersionText(*parsed) : std::wstring();
}

std::wstring GetDateSeparator()
{
    char buf[5] = {' ', ' ', ' ', ' ', ' '};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, buf, 5);
    return rt::FromAnsi(std::string(buf, 4));
}

void ListAdd(rt::ListBox& list, const std::wstring& text) { list.AddItem(text); }

namespace {

// Creates the missing folders of `path` from the outermost in, recording each one made.
bool MakeFolders(const std::wstring& path, std::vector<std::wstring>& made)
{
    const std::wstring full = LongPathForm(path);
    if (full.size() > kLongestPath)
        return false;
    const auto levels = FolderLevels(full, kDeepestFolder);
    if (!levels)
        return false;
    if (levels->empty()) {
        DWORD attr = GetFileAttributesW(full.c_str());
        return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    auto level = [&](std::size_t i) { return full.substr(0, (*levels)[i]); };
    // Every level above one that exists exists too, so a binary search finds the first missing
    // one; the whole folder, which usually exists, is looked up first.
    std::size_t lo = 0, hi = levels->size();
    DWORD above = INVALID_FILE_ATTRIBUTES; // of level lo - 1
    for (std::size_t probe = hi - 1; lo < hi; probe = lo + (hi - lo) / 2) {
        DWORD attr = GetFileAttributesW(level(probe).c_str());
        if (attr == INVALID_FILE_ATTRIBUTES) {
            hi = probe;
        } else {
            lo = probe + 1;
            above = attr;
        }
    }
    if (lo > 0 && (above & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return false;
    for (std::size_t i = lo; i < levels->size(); ++i) {
        std::wstring folder = level(i);
        if (CreateDirectoryW(folder.c_str(), nullptr))
            made.push_back(std::move(folder));
        else if (GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}

void RemoveFolders(std::vector<std::wstring>& made)
{
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        RemoveDirectoryW(LongPathForm(*it).c_str());
    made.clear();
}

} // namespace

bool CreateFolderPath(const std::wstring& path)
{
    std::vector<std::wstring> made;
    return MakeFolders(path, made);
}

bool FolderIsUsable(const std::wstring& folder, bool keep)
{
    std::vector<std::wstring> made;
    bool ok = MakeFolders(folder, made);
    if (ok) {
        std::wstring probe = folder;
        if (probe.back() != L'\\' && probe.back() != L'/')
            probe += L'\\';
        probe += L"~vtl" + std::to_wstring(GetCurrentProcessId()) + L".probe";
        HANDLE h = CreateFileW(LongPathForm(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        ok = h != INVALID_HANDLE_VALUE;
        if (ok)
            CloseHandle(h);
    }
    if (!ok || !keep)
        RemoveFolders(made);
    return ok;
}

} // namespace vantorel
