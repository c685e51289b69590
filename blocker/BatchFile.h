// The batch file of a block: written under a name of its own in the batch folder, held so
// that no other process can change it, and run in a console of the system's own cmd.exe.
#pragma once

#include "runtime/Handles.h"

#include <windows.h>

#include <optional>
#include <string>

namespace vantorel::brennix {

// A batch file as written and checked: `guard` is open for reading and shares neither
// writing nor deleting, so while it is open the file holds exactly the text written, under
// its name.
struct HeldBatchFile {
    std::wstring path;
    rt::UniqueFile guard;
};

// Runs between a batch file's writing and its check: tests change the file there, as a racing
// process would; the program passes none.
using BatchWrittenHook = void (*)(const std::wstring& path);

// Writes `text` in the ANSI code page as a new file "Brennix-<unique>.bat" in `folder`,
// opens it again as the guard and reads it back. Nothing when the file could not be
// written whole (a partial file is removed), when the text has a character the code page
// cannot hold, or when the file could not be held or no longer holds the text.
std::optional<HeldBatchFile> WriteBatchFile(const std::wstring& folder, const std::wstring& text,
                                            BatchWrittenHook written = nullptr);

// Removes this program's batch files in `folder` (only names that it writes) that are old
// enough for their console to be long done with them.
void RemoveOldBatchFiles(const std::wstring& folder);

// The 64-bit cmd.exe on 64-bit Windows, also from the 32-bit build: netsh must reach the
// real policy store.
std::wstring CmdExePath();

// The full command line: cmd.exe /d /t:80 /k ""<batch path>" & exit". The inner quotes keep
// blanks and "&" of the path from splitting it; /d keeps the user's AutoRun commands out of
// the elevated console.
std::wstring BatchCommandLine(const std::wstring& cmdPath, const std::wstring& batchPath);

// Starts the batch file in a new console and returns at once; false when the console could
// not be started. The console gets its own copy of the guard before it runs, so the file
// stays held exactly until the console ends, also when this program ends first.
bool RunBatchFile(const HeldBatchFile& batch);

// The console process that the last RunBatchFile started, held until the next start;
// null before any. The program never waits on it; it shows that a console was started.
HANDLE LastBatchProcess();

} // namespace vantorel::brennix
