#include "monitor/ModMain.h"

#include "monitor/FrmMain.h"
#include "common/core/TextHandling.h"
#include "runtime/Control.h"
#include "runtime/Runtime.h"

#include <windows.h>

namespace vantorel::ostrevi {

namespace {

std::wstring SystemDateText()
{
    wchar_t buf[128] = {};
    int n = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buf, 128);
    return n > 0 ? std::wstring(buf) : std::wstring();
}

} // namespace

std::wstring CurrentDateText(const Seams& seams) { return seams.clock ? seams.clock() : SystemDateText(); }

std::wstring SettingsPath() { return rt::AppPath() + L"\\Settings.ini"; }
std::wstring DefaultLogFolder() { return rt::AppPath() + L"\\Logs\\"; }

bool IsStartupSwitch(const std::wstring& args)
{
    std::wstring lower = ToLowerAscii(args);
    return lower == L"/startup" || lower == L"\\startup" || lower == L"-startup";
}

void ExitProgram(FrmMain& form)
{
    form.State.IsExiting = true;
    // One last try for addresses whose save failed or found the file busy.
    if (form.DayAddresses.HasUnsaved())
        form.SaveDayLog();
    form.SysTrayMain.Hide();
    form.Timer1.SetEnabled(false);
    form.Hide();
    rt::YieldToOtherMessages();
    rt::Form::UnloadAll();
}

} // namespace vantorel::ostrevi
