// A gdiplus.dll planted beside the program or in the current folder never runs; the system's does.
#include "imaging/GdiPlusSession.h"
#include "imaging/cGDIPlus.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

// Each runs only in a child of the test below, the first to load GDI+ in its process.
TEST(SystemLibrary, DISABLED_EngineStartsGdiPlus) { EXPECT_TRUE(imaging::GdiPlusUsable()); }
TEST(SystemLibrary, DISABLED_SessionStartsGdiPlus) { EXPECT_NE(imaging::GdiPlusSession::Start(), nullptr); }

TEST(SystemLibrary, PlantedGdiPlusNeverRuns)
{
    // Off, a bare name is looked for in the current folder before the system folder. Every process
    // reads it as it starts, so this test runs alone; without the value (Wine's default) it is on.
    static const wchar_t* const kKey = L"System\\CurrentControlSet\\Control\\Session Manager";
    const DWORD off = 0;
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, L"SafeDllSearchMode", REG_DWORD, &off, sizeof(off)), ERROR_SUCCESS);
    struct SafeAgain { ~SafeAgain() { RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kKey, L"SafeDllSearchMode"); } } safe;
    for (bool besideProgram : {true, false}) {
        test::TempFolder program, current;
        const std::wstring exe = program / L"probe.exe", marker = current / L"planted-ran";
        ASSERT_TRUE(CopyFileW(test::ToWindowsPath(SELF).c_str(), exe.c_str(), FALSE));
        const std::wstring plant = (besideProgram ? program : current) / L"gdiplus.dll";
        ASSERT_TRUE(CopyFileW(test::ToWindowsPath(PLANTED_DLL).c_str(), plant.c_str(), FALSE));
        SetEnvironmentVariableW(L"VANTOREL_PLANT_MARKER", marker.c_str());
        for (std::wstring user : {L"Engine", L"Session"}) {
            SCOPED_TRACE(test::Narrow(user) + (besideProgram ? " beside the program" : " in the current folder"));
            DeleteFileW(marker.c_str());
            test::Process child(exe, L"--gtest_also_run_disabled_tests --gtest_filter=*" + user + L"StartsGdiPlus",
                                current.Path());
            ASSERT_TRUE(child.Started() && child.WaitForExit(60000));
            EXPECT_FALSE(test::FileExists(marker)) << "the planted gdiplus.dll ran";
            EXPECT_EQ(child.ExitCode(), 0u) << "GDI+ did not start";
        }
    }
}
