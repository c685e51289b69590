// Times Brennix's history against a history file of 200,000 lines: the form's opening with
// it, and the history step of one block. Run under Wine: see bench/README.md.
#include "bench/lists/Timing.h"
#include "blocker/FrmMain.h"
#include "blocker/ModList.h"
#include "blocker/ModMain.h"
#include "runtime/Runtime.h"

#include <commctrl.h>

#include <cstdio>

int wmain()
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    const std::wstring folder = BenchFolder(L"brennix-lists-bench-");
    rt::SetAppPath(folder);
    rt::SetCommandLineArgs(L"");

    const int runs = 30;
    auto open = [&](const std::string& file) {
        WriteWhole(brennix::HistoryPath(), file);
        return Measure(runs, [] {}, [&] {
            brennix::FrmMain form;
            form.Load();
            form.Show();
            rt::PumpMessages();
            form.Unload();
            IsExiting = false;
            rt::PumpMessages();
        });
    };
    const std::string lines = ManyAddressLines(200000);
    Timing empty = open("");
    Timing full = open(lines);
    std::printf("open Brennix, empty history:                  min %8.1f ms, median %8.1f ms\n", empty.min, empty.median);
    std::printf("open Brennix, 200,000-line history:           min %8.1f ms, median %8.1f ms\n", full.min, full.median);

    brennix::FrmMain form;
    form.Load();
    form.Show();
    Timing load = Measure(runs, [&] { form.History.Clear(); },
                          [&] { brennix::ListLoad(form.History, brennix::HistoryPath()); });
    std::printf("ListLoad of 200,000 lines into the history:   min %8.1f ms, median %8.1f ms\n", load.min, load.median);
    int n = 0;
    // The block's history step: the set lookup, the list box, the title and the append.
    Timing block = Measure(runs, [] {}, [&] { form.AddToLog(L"192.168.1." + std::to_wstring(++n), form.List1); });
    std::printf("history step of one block, 200,000 listed:    min %8.1f ms, median %8.1f ms (%d listed)\n", block.min,
                block.median, form.History.Count());
    form.Unload();

    DeleteFileW(brennix::HistoryPath().c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
