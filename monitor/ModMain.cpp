#include "monitor/ModMain.h"

#include "monitor/FrmMain.h"
#include "common/core/TextHandling.h"
#include "runtime/Control.h"
#include "runtime/Runtime.h"

#include <windows.h>

namespace vantorel::ostrevi {

std::wstring LogFolder;
std::wstring DateSeparator;
std::wstring TodayText;

namespace {

FrmMain* g_mainForm = nullptr;

std::wstring SystemDateText()
{
    wchar_t buf[128] = {};
    int n = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buf, 128);
    return n > 0 ? std::wstring(buf) : std::wstring();
}

DateSource g_dateSource = &SystemDateText;

} // namespace

std::wstring CurrentDateText() { return g_dateSource(); }
void SetDateSource(DateSource source) { g_dateSource = source ? source : &SystemDateText; }

std::wstring SettingsPath() { return rt::AppPath() + L"\\Settings.ini"; }
std::wstring DefaultLogFolder() { return rt::AppPath() + L"\\Logs\\"; }

bool IsStartupSwitch(const std::wstring& args)
{
    std::wstring lower = ToLowerAscii(args);
    return lower == L"/startup" || lower == L"\\startup" || lower == L"-startup";
}

FrmMain* MainForm() { return g_mainForm; }
void SetMainForm(FrmMain* form) { g_mainForm = form; }

void ExitProgram()
{
    IsExiting = true;
    FrmMain* form = MainForm();
    if (form) {
        // One last try for addresses whose save failed or found the file busy.
        if (form->DayAddresses.HasUnsaved())
            form->SaveDayLog();
        form->SysTrayMain.Hide();
        form->Timer1.SetEnabled(false);
        form->Hide();
    }
    rt::PumpMessages();
    rt::Form::UnloadAll();
}

} // namespace vantorel::ostrevi
