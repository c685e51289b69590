// Ostrevi's process-wide values and its orderly exit.
#pragma once

#include "common/ModCommon.h"

#include "monitor/ModNetStats.h"

#include <string>

namespace vantorel::ostrevi {

class FrmMain;

// What the program keeps while it runs; its main form holds it.
struct ProgramState {
    // Folder of the daily log files; always ends with a backslash.
    std::wstring LogFolder;
    // The user locale's date separator, and today's date in the user's short date format.
    std::wstring DateSeparator;
    std::wstring TodayText;
    // The last TCP table read, which the connection list is filled from.
    TcpTable Table;
    // The connection list's rows, kept from one fill to the next.
    ConnectionRows ListedRows;
    // "major.minor"; empty until start-up has read it.
    std::wstring OSVersion;
    bool IsExiting = false;
};

// Today's date as text in the user's short date format, from the clock `seams` give.
std::wstring CurrentDateText(const Seams& seams = {});

// The longest text each setting is read at; a longer one counts as missing. A log folder's text
// may run a little past the longest path: the full form drops "." parts and doubled separators.
inline constexpr std::size_t kLongestLogLocation = kLongestPath + 256;
// A port, an interval or a check box value: a number, blanks around it.
inline constexpr std::size_t kLongestNumberSetting = 32;

// The settings file: the program's folder followed by "\Settings.ini".
std::wstring SettingsPath();
// The default log folder: the program's folder followed by "\Logs\".
std::wstring DefaultLogFolder();

// True when the whole argument text, lower-cased, is "/startup", "\startup" or "-startup".
bool IsStartupSwitch(const std::wstring& args);

// The orderly exit of `form`'s program: icon gone, timer stopped, window hidden, every form
// unloaded.
void ExitProgram(FrmMain& form);

} // namespace vantorel::ostrevi
