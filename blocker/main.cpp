// Brennix's entry: the main form is created and loaded, then the message loop runs until
// the form is gone.
#include "blocker/FrmMain.h"
#include "runtime/Runtime.h"

#include <commctrl.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    vantorel::brennix::FrmMain form;
    form.Load();
    form.ShowAfterLoad();
    return rt::RunMessageLoop();
}
