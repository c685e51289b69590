// Ostrevi's process-wide values and its orderly exit.
#pragma once

#include "common/ModCommon.h"

#include <string>

namespace vantorel::ostrevi {

class FrmMain;

// Folder of the daily log files; always ends with a backslash.
extern std::wstring LogFolder;
// The user locale's date separator, and today's date in the user's short date format.
extern std::wstring DateSeparator;
extern std::wstring TodayText;

// Today's date as text in the user's short date format. Tests replace the date source to
// cross midnight; the program never does.
std::wstring CurrentDateText();
using DateSource = std::wstring (*)();
void SetDateSource(DateSource source);

// The settings file: the program's folder followed by "\Settings.ini".
std::wstring SettingsPath();
// The default log folder: the program's folder followed by "\Logs\".
std::wstring DefaultLogFolder();

// True when the whole argument text, lower-cased, is "/startup", "\startup" or "-startup".
bool IsStartupSwitch(const std::wstring& args);

// The orderly exit: icon gone, timer stopped, window hidden, every form unloaded.
void ExitProgram();

// The one main form of the process, while it exists.
FrmMain* MainForm();
void SetMainForm(FrmMain* form);

} // namespace vantorel::ostrevi
