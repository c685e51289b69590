// Times Ostrevi's day's list against a day's file of 200,000 lines: the form's opening with
// it (from the form's creation to its window shown and painted), and the file's load alone.
// Run under Wine: see bench/README.md.
#include "bench/common/BenchTiming.h"
#include "bench/lists/ListFiles.h"
#include "monitor/FrmMain.h"
#include "monitor/ModList.h"
#include "monitor/ModMain.h"
#include "monitor/core/DayLogText.h"
#include "runtime/Runtime.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>

using namespace vantorel;
using namespace vantorel::ostrevi;

int wmain()
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    const std::wstring folder = BenchFolder(L"ostrevi-lists-bench-");
    rt::SetAppPath(folder);
    CreateDirectoryW((folder + L"\\Logs").c_str(), nullptr);
    const std::wstring day = folder + L"\\Logs\\" + DayLogFileName(CurrentDateText(), [] {
        wchar_t sep[8] = {};
        GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, sep, 8);
        return std::wstring(sep);
    }());
    WriteWhole(folder + L"\\Settings.ini", "[main]\r\nPort=0\r\nTime=5\r\n");

    const int runs = 30;
    auto open = [&](const std::string& file) {
        WriteWhole(day, file);
        return TimeOpenings<FrmMain>(runs, [](FrmMain& f) { f.Timer1.SetEnabled(false); });
    };
    const std::string lines = "Ip's Connected to 3389 Date: today\r\n" + ManyAddressLines(200000);
    bench::Stats empty = open("Ip's Connected to 3389 Date: today\r\n");
    bench::Stats full = open(lines);
    std::printf("open Ostrevi to painted, empty day's file:        min %8.1f ms, median %8.1f ms\n", empty.min,
                empty.median);
    std::printf("open Ostrevi to painted, 200,000-line day's file: min %8.1f ms, median %8.1f ms (goal: under 1 s)\n",
                full.min, full.median);

    FrmMain form;
    form.Load();
    form.Timer1.SetEnabled(false);
    form.Show();
    auto load = bench::Summarise(
        bench::Time(runs, [&] { form.DayAddresses.Clear(); }, [&] { ListLoad(form.DayAddresses, day); }));
    std::printf("ListLoad of 200,000 lines into the list: min %8.1f ms, median %8.1f ms (%d listed)\n", load.min,
                load.median, form.DayAddresses.Count());
    // A scan's new address against the 200,000 listed: the set lookup, the box and the append.
    int n = 0;
    auto add = bench::Summarise(bench::Time(runs, [] {}, [&] { form.AddToLog(L"192.168.0." + std::to_wstring(++n)); }));
    std::printf("AddToLog of a new address, 200,000 listed: min %6.1f ms, median %8.1f ms\n", add.min, add.median);
    form.Unload();

    DeleteFileW(day.c_str());
    DeleteFileW((folder + L"\\Settings.ini").c_str());
    RemoveDirectoryW((folder + L"\\Logs").c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
