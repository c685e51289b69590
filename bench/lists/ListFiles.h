// Files for the list benches: a fresh folder, address lines, a whole-file write, and the
// timing of a form's opening.
#pragma once

#include "bench/common/BenchTiming.h"
#include "common/ModCommon.h"
#include "runtime/Runtime.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// A fresh folder under the temporary folder for the bench's program files.
inline std::wstring BenchFolder(const wchar_t* name)
{
    std::vector<wchar_t> temp(32768);
    DWORD n = GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    std::wstring folder = std::wstring(temp.data(), n) + name + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// `count` distinct addresses as file lines.
inline std::string ManyAddressLines(std::size_t count)
{
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        out += "10." + std::to_string(i >> 16 & 0xFF) + "." + std::to_string(i >> 8 & 0xFF) + "." +
               std::to_string(i & 0xFF) + "\r\n";
    }
    return out;
}

inline void WriteWhole(const std::wstring& path, const std::string& bytes)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

// Times `runs` openings of a program's form, from its creation to its window shown and painted.
// The unload after each (under Wine without a window manager a hide waits about 2 s) and the
// work queued after the first paint are not timed.
template <class Form, class Prepare>
bench::Stats TimeOpenings(int runs, Prepare prepare)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        double start = bench::NowMs();
        auto form = std::make_unique<Form>();
        form->Load();
        prepare(*form);
        form->Show();
        RedrawWindow(form->hWnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        times.push_back(bench::NowMs() - start);
        if (!IsWindowVisible(form->hWnd()))
            std::printf("the form did not show\n");
        rt::YieldToOtherMessages();
        form->Unload();
        rt::YieldToOtherMessages();
    }
    return bench::Summarise(times);
}
