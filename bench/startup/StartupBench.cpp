// Times each program from its process start to its first visible window, against a plain
// hello window built with the same toolchain, in alternating runs. Each program runs from a
// fresh folder of its own. Run under Wine: see bench/README.md.
#include "bench/common/BenchTiming.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD pid = 0;
    bool found = false;
};

BOOL CALLBACK FindVisible(HWND h, LPARAM lp)
{
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == s->pid && IsWindowVisible(h)) {
        s->found = true;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from CreateProcess to a visible top-level window of the process; -1 on failure.
double TimeToWindow(const std::wstring& exe, const std::wstring& folder)
{
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe + L"\"";
    double start = bench::NowMs();
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
        return -1;
    double result = -1;
    Search s{pi.dwProcessId};
    while (bench::NowMs() - start < 20000) {
        EnumWindows(&FindVisible, reinterpret_cast<LPARAM>(&s));
        if (s.found) {
            result = bench::NowMs() - start;
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

std::wstring Folder(const std::wstring& base, const std::wstring& name)
{
    std::wstring f = base + name;
    CreateDirectoryW(f.c_str(), nullptr);
    return f;
}

} // namespace

int wmain()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dir(self);
    dir.resize(dir.find_last_of(L'\\') + 1);
    const std::wstring bin = dir + L"..\\..\\bin\\";
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring base = Folder(temp, L"startup-bench-" + std::to_wstring(GetCurrentProcessId())) + L"\\";

    struct Program {
        const wchar_t* name;
        std::wstring exe;
    };
    std::vector<Program> programs;
    for (const wchar_t* name : {L"Ostrevi.exe", L"Brennix.exe"}) {
        std::wstring folder = Folder(base, name);
        std::wstring exe = folder + L"\\" + name;
        CopyFileW((bin + name).c_str(), exe.c_str(), FALSE);
        programs.push_back({name, exe});
    }
    std::wstring helloFolder = Folder(base, L"hello");
    std::wstring hello = helloFolder + L"\\hello_window.exe";
    CopyFileW((dir + L"hello_window.exe").c_str(), hello.c_str(), FALSE);

    const int runs = 31;
    for (const Program& p : programs) {
        std::wstring folder = p.exe.substr(0, p.exe.find_last_of(L'\\'));
        TimeToWindow(p.exe, folder); // first run: the folder's files come into being
        TimeToWindow(hello, helloFolder);
        std::vector<double> program, plain;
        for (int i = 0; i < runs; ++i) {
            program.push_back(TimeToWindow(p.exe, folder));
            plain.push_back(TimeToWindow(hello, helloFolder));
        }
        auto a = bench::Summarise(program), b = bench::Summarise(plain);
        auto r = bench::Summarise(bench::Ratios(program, plain));
        std::printf("%-12S first visible window: min %6.1f ms median %6.1f ms; hello window min %6.1f ms median %6.1f ms; "
                    "ratio min %.2f median %.2f (goal: at most 2)\n",
                    p.name, a.min, a.median, b.min, b.median, r.min, r.median);
    }
    return 0;
}
