// Brennix's entry: the main form is created and loaded, then the message loop runs until
// the form is gone.
#include "blocker/FrmMain.h"
#include "common/ProgramStart.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    vantorel::brennix::FrmMain form;
    return vantorel::RunMainForm(form);
}
