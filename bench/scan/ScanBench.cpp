// Times the connection scan over injected TCP tables against a day's list of logged addresses:
// the row filter, the list view update and its paint, the known-address test, the day's list
// and file, and the column sizing. Run under Wine: see bench/README.md.
#include "bench/common/BenchTiming.h"
#include "monitor/FrmMain.h"
#include "monitor/ModList.h"
#include "monitor/ModMain.h"
#include "monitor/ModNetStats.h"
#include "monitor/core/DayLogText.h"
#include "monitor/core/TcpTable.h"
#include "runtime/Runtime.h"

#include <commctrl.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace {

std::uint32_t AddrOf(std::uint32_t n) { return 10u | ((n >> 16) & 0xFF) << 8 | ((n >> 8) & 0xFF) << 16 | (n & 0xFF) << 24; }

void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// `rows` connections to local port 3389 from addresses `first` .. `first + span - 1`.
std::vector<std::uint8_t> SyntheticTable(std::uint32_t rows, std::uint32_t span, std::uint32_t first = 0)
{
    std::vector<std::uint8_t> t;
    PutLe32(t, rows);
    for (std::uint32_t i = 0; i < rows; ++i) {
        std::uint32_t port = 1024 + i % 60000;
        PutLe32(t, 5 + i % 7);
        PutLe32(t, AddrOf(0xFFFFFF));
        PutLe32(t, 0x3D0D);
        PutLe32(t, AddrOf(first + i * 7919u % span));
        PutLe32(t, (port & 0xFF) << 8 | port >> 8);
    }
    return t;
}

void Inject(FrmMain& form, const std::vector<std::uint8_t>& table)
{
    form.State.Table.Bytes = table;
    form.State.Table.RowCount = static_cast<std::int32_t>(TcpTableView(table).RowCount());
}

void Print(const char* what, bench::Stats s, const char* goal)
{
    std::printf("%-72s min %7.2f ms  median %7.2f ms  (goal: %s)\n", what, s.min, s.median, goal);
}

} // namespace

int wmain()
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"ostrevi-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    rt::SetAppPath(folder);

    FrmMain form;
    form.Load();
    form.Timer1.SetEnabled(false);
    form.Show();
    form.TextPort.SetText(L"3389");
    rt::YieldToOtherMessages();
    HWND list = form.ListViewNetstats.hWnd();
    HWND day = form.List1.hWnd();

    // The whole scan as the timer's read hands it over, painted before the clock stops.
    auto scan = [&] {
        FillConnectionList(form.ListViewNetstats, L"3389", form.State.Table, form.State.ListedRows);
        form.LogListedAddresses();
        form.AutoSizeListView(form.ListViewNetstats);
        UpdateWindow(list);
        UpdateWindow(day);
    };
    const int runs = 31;

    std::vector<std::wstring> logged;
    for (std::uint32_t i = 0; i < 100000; ++i)
        logged.push_back(AddrToString(AddrOf(i)));
    double setup = bench::NowMs();
    form.DayAddresses.AddMany(logged);
    std::printf("day's list of %d addresses filled in %.0f ms\n", form.DayAddresses.Count(), bench::NowMs() - setup);

    const auto table = SyntheticTable(10000, 100000);
    const auto shorter = SyntheticTable(9999, 100000);
    Inject(form, table);
    scan();
    bool flip = false;
    auto changed = bench::Time(runs, [&] { Inject(form, (flip = !flip) ? shorter : table); }, scan);
    Print("scan, 10,000 rows against 100,000 logged, painted, count changed by one", bench::Summarise(changed),
          "median under 15 ms");
    auto steady = bench::Time(runs, [&] { Inject(form, table); }, scan);
    Print("scan, 10,000 rows against 100,000 logged, painted, same rows", bench::Summarise(steady), "-");

    // Every listed address is new: 1,000 join the day's list and the file is saved once.
    const auto fresh = SyntheticTable(1000, 1000, 200000);
    const std::wstring dayFile = folder + L"\\Logs\\" + DayLogFileName(form.State.TodayText, form.State.DateSeparator);
    auto newOnes = bench::Time(runs, [&] {
        // A new day's file each run, so that the save's read of the file brings no addresses back.
        DeleteFileW(dayFile.c_str());
        form.DayAddresses.Clear();
        Inject(form, fresh);
        rt::YieldToOtherMessages();
    }, scan);
    Print("scan with 1,000 new addresses (day's list, file, painted)", bench::Summarise(newOnes), "under 25 ms");
    std::printf("(%d listed, %d logged)\n", form.ListViewNetstats.ListCount(), form.DayAddresses.Count());

    DeleteFileW(dayFile.c_str());
    RemoveDirectoryW((folder + L"\\Logs").c_str());
    form.Unload();
    rt::YieldToOtherMessages();
    RemoveDirectoryW(folder.c_str());
    return 0;
}
