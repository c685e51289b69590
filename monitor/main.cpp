// Ostrevi's entry: the main form is created and loaded, then the message loop runs until
// the last form is gone.
#include "monitor/FrmMain.h"
#include "runtime/Runtime.h"

#include <commctrl.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    vantorel::ostrevi::FrmMain form;
    form.Load();
    form.ShowAfterLoad();
    return rt::RunMessageLoop();
}
