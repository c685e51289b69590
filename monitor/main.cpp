// Ostrevi's entry: the main form is created and loaded, then the message loop runs until
// the last form is gone.
#include "common/ProgramStart.h"
#include "monitor/FrmMain.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    vantorel::ostrevi::FrmMain form;
    return vantorel::RunMainForm(form);
}
