// The batch file of a block: written under a name of its own in the batch folder, and run
// in a console of the system's own cmd.exe.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace brennix {

// Writes `text` in the ANSI code page as a new file "Brennix-<unique>.bat" in `folder` and
// returns its path. Nothing when the file could not be written whole (a partial file is
// removed) or when the text has a character the code page cannot hold.
std::optional<std::wstring> WriteBatchFile(const std::wstring& folder, const std::wstring& text);

// Removes this program's batch files in `folder` that are old enough for their console to
// be long done with them. A console reads its batch file line by line while it runs.
void RemoveOldBatchFiles(const std::wstring& folder);

// The 64-bit cmd.exe on 64-bit Windows, also from the 32-bit build: netsh must reach the
// real policy store.
std::wstring CmdExePath();

// The full command line: cmd.exe /t:80 /k ""<batch path>" & exit". The inner quotes keep
// blanks and "&" of the path from splitting it.
std::wstring BatchCommandLine(const std::wstring& cmdPath, const std::wstring& batchPath);

// Starts the batch file in a new console and returns at once; false when the console could
// not be started.
bool RunBatchFile(const std::wstring& batchPath);

// The console process that the last RunBatchFile started, held until the next start;
// null before any. The program never waits on it; it shows that a console was started.
HANDLE LastBatchProcess();

} // namespace brennix
