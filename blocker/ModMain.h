// Brennix's process-wide services: the main form, the files it keeps beside itself, the
// temporary folder and the orderly exit.
#pragma once

#include "common/ModCommon.h"

#include <windows.h>

#include <string>

namespace vantorel::brennix {

class FrmMain;

// The block history file: the program's folder followed by "\brennix_history.dat".
std::wstring HistoryPath();

// What the program keeps while it runs; its main form holds it.
struct ProgramState {
    // "major.minor"; empty until start-up or the first block has read it.
    std::wstring OSVersion;
    bool IsExiting = false;
};

// The temporary folder (from `tempPath`, the system's when null) without its trailing
// backslash; empty when there is none.
std::wstring GetTempFolder(TempPathSource tempPath = nullptr);

// The orderly exit of `form`'s program: window hidden, every control of every form and then
// the forms unloaded.
void ExitProgram(FrmMain& form);

} // namespace vantorel::brennix
