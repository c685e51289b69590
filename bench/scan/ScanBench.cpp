// Times the connection scan over synthetic TCP tables against a day's list of logged
// addresses (list view update and column sizing included), and one save of the day's file.
// Run under Wine: see bench/README.md.
#include "monitor/FrmMain.h"
#include "monitor/ModList.h"
#include "monitor/ModMain.h"
#include "monitor/ModNetStats.h"
#include "monitor/core/DayLogText.h"
#include "monitor/core/TcpTable.h"
#include "runtime/Runtime.h"

#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

double NowMs()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

// Median of `runs` timings of `work`, after `prepare` (untimed) before each.
double MedianMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        double start = NowMs();
        work();
        times.push_back(NowMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::uint32_t AddrOf(std::uint32_t n) { return 10u | ((n >> 16) & 0xFF) << 8 | ((n >> 8) & 0xFF) << 16 | (n & 0xFF) << 24; }

void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// `rows` connections to local port 3389 from addresses among the first `known` logged ones.
std::vector<std::uint8_t> SyntheticTable(std::uint32_t rows, std::uint32_t known)
{
    std::vector<std::uint8_t> t;
    PutLe32(t, rows);
    for (std::uint32_t i = 0; i < rows; ++i) {
        std::uint32_t port = 1024 + i % 60000;
        PutLe32(t, 5 + i % 7);
        PutLe32(t, AddrOf(0xFFFFFF));
        PutLe32(t, 0x3D0D);
        PutLe32(t, AddrOf(i * 7919u % known));
        PutLe32(t, (port & 0xFF) << 8 | port >> 8);
        PutLe32(t, 4);
    }
    return t;
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

    const int runs = 15;
    const bool quick = GetEnvironmentVariableW(L"SCAN_BENCH_QUICK", nullptr, 0) > 0;
    for (std::uint32_t logged : {1000u, 100000u}) {
        if (quick && logged > 1000)
            break;
        std::vector<std::wstring> addresses;
        for (std::uint32_t i = 0; i < logged; ++i)
            addresses.push_back(AddrToString(AddrOf(i)));
        form.DayAddresses.Clear();
        form.DayAddresses.AddMany(addresses);
        for (std::uint32_t rows : {1000u, 10000u}) {
            std::vector<std::uint8_t> table = SyntheticTable(rows, logged);
            auto load = [&] {
                TcpTableBytes = table;
                TcpRowCount = static_cast<std::int32_t>(rows);
            };
            auto scan = [&] {
                FillConnectionList(form.ListViewNetstats, L"3389");
                form.LogListedAddresses();
            };
            // Steady state: the same number of connections as the scan before.
            double fill = MedianMs(runs, load, scan);
            double size = MedianMs(runs, [] {}, [&] { form.AutoSizeListView(form.ListViewNetstats); });
            // One connection more or less than the scan before: the control lays out again.
            std::vector<std::uint8_t> shorter = SyntheticTable(rows - 1, logged);
            bool flip = false;
            double changed = MedianMs(runs, [&] {
                flip = !flip;
                TcpTableBytes = flip ? shorter : table;
                TcpRowCount = static_cast<std::int32_t>(flip ? rows - 1 : rows);
            }, scan);
            rt::PumpMessages();
            std::printf("scan %6u rows against %6u logged: list+log %6.2f ms, column sizing %6.2f ms, total %6.2f ms; "
                        "list+log with one row more or less %6.2f ms (%d listed, %d logged)\n",
                        rows, logged, fill, size, fill + size, changed, form.ListViewNetstats.ListCount(),
                        form.DayAddresses.Count());
        }
    }

    // First sight: every listed address is new, joins the list box and the file is saved once.
    {
        // A new day's file, so that the save's read of the file brings no addresses back.
        DeleteFileW((folder + L"\\Logs\\" + DayLogFileName(TodayText, DateSeparator)).c_str());
        form.DayAddresses.Clear();
        TcpTableBytes = SyntheticTable(1000, 1000);
        TcpRowCount = 1000;
        double start = NowMs();
        FillConnectionList(form.ListViewNetstats, L"3389");
        form.LogListedAddresses();
        std::printf("scan   1000 rows, all 1000 addresses new: %6.2f ms (%d logged)\n", NowMs() - start,
                    form.DayAddresses.Count());
    }

    DayList& day = form.DayAddresses;
    day.Clear();
    std::vector<std::wstring> many;
    for (std::uint32_t i = 0; i < 100000; ++i)
        many.push_back(AddrToString(AddrOf(i)));
    day.AddMany(many);
    std::wstring path = folder + L"\\bench.txt";
    // Each run writes the 100,000 addresses to a new file: a save appends only what a file lacks.
    double save = MedianMs(runs, [&] { DeleteFileW(path.c_str()); },
                           [&] { ListSave(day, DayLogHeader(L"3389", L"12/7/2026"), path); });
    std::printf("ListSave of %d addresses: %7.2f ms\n", day.Count(), save);

    DeleteFileW(path.c_str());
    DeleteFileW((folder + L"\\Logs\\" + DayLogFileName(TodayText, DateSeparator)).c_str());
    RemoveDirectoryW((folder + L"\\Logs").c_str());
    RemoveDirectoryW(folder.c_str());
    form.Unload();
    return 0;
}
