// What a test hands a program's main form in place of the system's own, where the real effect
// can't be observed under test: each left empty is the system's.
#pragma once

#include "common/PageOpen.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace vantorel {

// The Windows version as WMI reports it ("10.0.19045"), empty when the query fails.
using VersionQuery = std::wstring (*)();
// GetTempPathW's shape.
using TempPathSource = DWORD(WINAPI*)(DWORD length, LPWSTR buffer);

struct Seams {
    // Today's date in the user's short date format: a test crosses midnight with it.
    std::function<std::wstring()> clock{};
    // The temporary path: a test makes it fail or points it at a folder of its own.
    TempPathSource tempPath = nullptr;
    // Page opens only, since no browser runs under test; programs always start through the shell.
    ShellOpenFunction pageOpener = nullptr;
    // The argument text after the program's name; a test process has arguments of its own.
    std::optional<std::wstring> commandLine{};
    // WMI's version: a test makes it fail.
    VersionQuery versionQuery = nullptr;
};

} // namespace vantorel
