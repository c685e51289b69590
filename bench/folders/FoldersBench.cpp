// Times the log folder's test as the settings panel runs it (made, written to, removed again)
// on the deepest folder taken, and its refusal of folders too deep or too long to make. Run
// under Wine: see bench/README.md.
#include "bench/common/BenchTiming.h"
#include "common/ModCommon.h"

#include <cstdio>
#include <string>

using namespace vantorel;

namespace {

// `base` followed by names of `part` letters until the path is `length` characters long.
std::wstring FolderOfLength(std::wstring path, std::size_t length, std::size_t part)
{
    while (path.size() + 1 + part <= length)
        path += L"\\" + std::wstring(part, static_cast<wchar_t>(L'a' + path.size() % 26));
    return path;
}

std::size_t Depth(const std::wstring& path)
{
    std::size_t n = 0;
    for (wchar_t c : path)
        n += c == L'\\';
    return n;
}

void Report(const char* what, const std::wstring& folder, bool expected)
{
    bool answer = expected;
    bench::Stats s = bench::Summarise(bench::Time(31, [] {}, [&] { answer = FolderIsUsable(folder, false); }));
    std::printf("| %s (%zu characters) | %.1f ms | %.1f ms | %s |\n", what, folder.size(), s.min, s.median,
                answer == expected ? "as expected" : "WRONG ANSWER");
}

} // namespace

int wmain()
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base = std::wstring(temp) + L"folders-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(base.c_str(), nullptr);
    // One-letter names down to the last level taken: the most folders one test makes.
    std::wstring deepest = base;
    while (Depth(deepest) < kDeepestFolder)
        deepest += L"\\" + std::wstring(1, static_cast<wchar_t>(L'a' + Depth(deepest) % 26));
    std::printf("| what | min | median | answer |\n|---|---:|---:|---|\n");
    Report("deepest folder taken, all made and removed", deepest, true);
    Report("one level deeper, refused", deepest + L"\\z", false);
    Report("5,000 characters, 8-letter names", FolderOfLength(base, 5000, 8), false);
    Report("30,000 characters, one-letter names", FolderOfLength(base, 30000, 1), false);
    Report("200,000 characters, 60-letter names", FolderOfLength(base, 200000, 60), false);
    RemoveDirectoryW(base.c_str());
    return 0;
}
