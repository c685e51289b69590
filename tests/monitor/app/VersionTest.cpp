// The Windows version as WMI reports it on this machine, kept as numbers.
#include "common/ModCommon.h"
#include "common/core/TextHandling.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace vantorel;

TEST(GetOSVersion, MatchesTheKernelsOwnVersion)
{
    // RtlGetVersion answers without the compatibility shims of GetVersionEx.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto rtlGetVersion =
        reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtlGetVersion, nullptr);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_EQ(rtlGetVersion(&info), 0);

    const std::wstring OSVersion = GetOSVersion();
    EXPECT_EQ(OSVersion, std::to_wstring(info.dwMajorVersion) + L"." + std::to_wstring(info.dwMinorVersion));
    // Whatever Wine claims, the comparisons with the old versions are numeric.
    auto vs60 = CompareWindowsVersion(OSVersion, 6, 0);
    ASSERT_TRUE(vs60.has_value());
    EXPECT_EQ(*vs60 >= 0, info.dwMajorVersion >= 6);
}
