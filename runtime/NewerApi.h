// Calls that the oldest Windows the programs start on (XP, Server 2003) lacks. Each is bound
// once at run time, so the executables import none of them, and has a fallback where missing.
#pragma once

#include <windows.h>

namespace rt {

// Milliseconds since the system started, without GetTickCount's wrap after 49.7 days.
ULONGLONG TickCount64();

// True for a 32-bit process on 64-bit Windows; false where the system cannot tell.
bool IsWow64();

// File-system redirection of this thread off and back on; false where the call is missing
// (32-bit XP has no redirection) or fails, and then there is nothing to revert.
bool DisableFsRedirection(PVOID& cookie);
void RevertFsRedirection(PVOID cookie);

} // namespace rt
