// The real main form in a fresh program folder, with the date source fixed by the test
// (crossing midnight cannot be waited for).
#pragma once

#include "monitor/FrmMain.h"
#include "monitor/ModMain.h"
#include "runtime/Runtime.h"
#include "tests/monitor/scan/Loopback.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace test {

using namespace vantorel;
using namespace vantorel::ostrevi;

inline std::wstring g_today = L"12/7/2026";
inline std::wstring FixedDate() { return g_today; }

class ScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitControls();
        g_today = L"12/7/2026";
        rt::SetAppPath(folder.Path());
    }
    void TearDown() override { StopForm(); }

    void WriteSettings(const std::wstring& port, const std::wstring& time)
    {
        std::wstring ini = folder / L"Settings.ini";
        WritePrivateProfileStringW(L"main", L"Port", port.c_str(), ini.c_str());
        WritePrivateProfileStringW(L"main", L"Time", time.c_str(), ini.c_str());
    }

    // Loads the form as the program starts it. With `manualTicks` the timer is stopped and
    // the test raises the timer's ticks itself, one at a time.
    FrmMain& StartForm(bool manualTicks = true)
    {
        form = std::make_unique<FrmMain>(Seams{.clock = &FixedDate, .commandLine = L""});
        form->Load();
        if (manualTicks)
            form->Timer1.SetEnabled(false);
        return *form;
    }
    void StopForm()
    {
        if (!form)
            return;
        form->Unload();
        EXPECT_TRUE(PumpQueued());
        form.reset();
    }
    void Tick(int n = 1)
    {
        // A scan's table is read on a thread of its own: each tick waits for its scan.
        for (int i = 0; i < n; ++i) {
            form->Timer1.Tick.Raise();
            ASSERT_TRUE(PumpUntil([&] { return !form->ScanRunning(); }, 10000)) << "the table read never ended";
        }
    }

    std::wstring LogPath(const std::wstring& fileName = L"12.7.2026.txt") const { return folder / (L"Logs\\" + fileName); }
    std::string LogFile(const std::wstring& fileName = L"12.7.2026.txt") const { return ReadBytes(LogPath(fileName)); }
    static std::string Header(std::uint16_t port, const std::string& date = "12/7/2026")
    {
        return "Ip's Connected to " + std::to_string(port) + " Date: " + date + "\r\n";
    }

    std::vector<std::wstring> DayItems() const
    {
        std::vector<std::wstring> items;
        for (int i = 0; i < form->List1.ListCount(); ++i)
            items.push_back(form->List1.List(i));
        return items;
    }

    Winsock winsock;
    TempFolder folder;
    std::unique_ptr<FrmMain> form;
};

} // namespace test
