// Times Brennix's history against a history file of 200,000 lines: the form's opening with
// it (from the form's creation to its window shown and painted), and one whole block (the
// button's click: the batch file written, the console started, the history saved).
// Run under Wine: see bench/README.md.
#include "bench/common/BenchTiming.h"
#include "bench/lists/ListFiles.h"
#include "blocker/BatchFile.h"
#include "common/ModCommon.h"
#include "blocker/FrmMain.h"
#include "blocker/ModList.h"
#include "blocker/ModMain.h"
#include "runtime/Runtime.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>

using namespace vantorel;

int wmain()
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    const std::wstring folder = BenchFolder(L"brennix-lists-bench-");
    rt::SetAppPath(folder);

    const int runs = 30;
    auto open = [&](const std::string& file) {
        WriteWhole(vantorel::brennix::HistoryPath(), file);
        return TimeOpenings<vantorel::brennix::FrmMain>(runs, [](vantorel::brennix::FrmMain&) {});
    };
    const std::string lines = ManyAddressLines(200000);
    bench::Stats empty = open("");
    bench::Stats full = open(lines);
    std::printf("open Brennix to painted, empty history:        min %8.1f ms, median %8.1f ms\n", empty.min,
                empty.median);
    std::printf("open Brennix to painted, 200,000-line history: min %8.1f ms, median %8.1f ms (goal: under 1 s)\n",
                full.min, full.median);

    vantorel::brennix::FrmMain form;
    form.Load();
    form.Show();
    auto load = bench::Summarise(bench::Time(runs, [&] { form.History.Clear(); },
                                             [&] { vantorel::brennix::ListLoad(form.History, vantorel::brennix::HistoryPath()); }));
    std::printf("ListLoad of 200,000 lines into the history:    min %8.1f ms, median %8.1f ms\n", load.min, load.median);
    // The version is read after the first paint in the program; here before the clock.
    GetOSVersion();
    rt::YieldToOtherMessages();
    // One whole block of a new address: the click through to the history saved. Each console
    // (it ends itself once the batch has run) is waited for, untimed, before the next click.
    int n = 0;
    auto block = bench::Summarise(bench::Time(
        runs,
        [&] {
            if (HANDLE console = vantorel::brennix::LastBatchProcess()) {
                if (WaitForSingleObject(console, 30000) != WAIT_OBJECT_0)
                    TerminateProcess(console, 1);
            }
            form.TextIP.SetText(L"192.168.1." + std::to_wstring(++n));
        },
        [&] { form.ButtonBrennix_Click(); }));
    if (HANDLE console = vantorel::brennix::LastBatchProcess()) {
        if (WaitForSingleObject(console, 30000) != WAIT_OBJECT_0)
            TerminateProcess(console, 1);
    }
    std::printf("one block, 200,000 listed:                     min %8.1f ms, median %8.1f ms (%d listed; goal: under 1 s)\n",
                block.min, block.median, form.History.Count());
    form.Unload();

    DeleteFileW(vantorel::brennix::HistoryPath().c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
