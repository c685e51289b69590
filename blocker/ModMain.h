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

// The temporary folder without its trailing backslash; empty when the system gives none.
std::wstring GetTempFolder();
// Tests replace the system's temporary path (GetTempPathW's shape) to make it fail or end
// in a backslash; the program never does.
using TempPathSource = DWORD(WINAPI*)(DWORD length, LPWSTR buffer);
void SetTempPathSource(TempPathSource source);

// The orderly exit: window hidden, every control of every form and then the forms unloaded.
void ExitProgram();

FrmMain* MainForm();
void SetMainForm(FrmMain* form);

} // namespace vantorel::brennix
