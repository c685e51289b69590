// A system DLL comes from the system folder only: a copy planted beside the program or in the
// current folder is never loaded, even with the safe DLL search off, and GDI+ still works.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// The system's safe DLL search, off until scope exit. Off, a bare name is looked for in the
// current folder before the system folder. Each process reads it when it starts.
class UnsafeDllSearch {
public:
    UnsafeDllSearch()
    {
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS)
            return;
        DWORD value = 0, size = sizeof(value);
        if (RegQueryValueExW(key_, kName, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS)
            before_ = value;
        const DWORD off = 0;
        set_ = RegSetValueExW(key_, kName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof(off)) ==
               ERROR_SUCCESS;
    }
    ~UnsafeDllSearch()
    {
        if (!key_)
            return;
        if (before_)
            RegSetValueExW(key_, kName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*before_), sizeof(DWORD));
        else
            RegDeleteValueW(key_, kName);
        RegCloseKey(key_);
    }
    UnsafeDllSearch(const UnsafeDllSearch&) = delete;
    UnsafeDllSearch& operator=(const UnsafeDllSearch&) = delete;
    bool Set() const { return set_; }

private:
    static constexpr const wchar_t* kKey = L"System\\CurrentControlSet\\Control\\Session Manager";
    static constexpr const wchar_t* kName = L"SafeDllSearchMode";
    HKEY key_ = nullptr;
    std::optional<DWORD> before_;
    bool set_ = false;
};

TEST(SystemLibrary, PlantedGdiPlusIsNeverLoaded)
{
    UnsafeDllSearch unsafe;
    ASSERT_TRUE(unsafe.Set());
    const struct {
        const char* place;
        bool besideProgram;
    } cases[] = {{"beside the program", true}, {"in the current folder", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.place);
        test::TempFolder program, current;
        const std::wstring exe = program / L"probe.exe", marker = current / L"planted-was-loaded";
        ASSERT_TRUE(CopyFileW(test::ToWindowsPath(PROBE_EXE).c_str(), exe.c_str(), FALSE));
        const std::wstring plant = (c.besideProgram ? program : current) / L"gdiplus.dll";
        ASSERT_TRUE(CopyFileW(test::ToWindowsPath(PLANTED_DLL).c_str(), plant.c_str(), FALSE));
        ASSERT_TRUE(SetEnvironmentVariableW(L"VANTOREL_PLANT_MARKER", marker.c_str()));

        for (const wchar_t* user : {L"engine", L"control"}) {
            SCOPED_TRACE(test::Narrow(user));
            DeleteFileW(marker.c_str());
            test::Process probe(exe, user, current.Path());
            ASSERT_TRUE(probe.Started());
            ASSERT_TRUE(probe.WaitForExit(60000));
            EXPECT_FALSE(test::FileExists(marker)) << "the planted gdiplus.dll ran";
            EXPECT_EQ(probe.ExitCode(), 0u) << "GDI+ decoded nothing";
        }
    }
}

} // namespace
