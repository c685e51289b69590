/* A gdiplus.dll that exports nothing and, when loaded, creates the file VANTOREL_PLANT_MARKER names. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    wchar_t path[MAX_PATH];
    if (reason == DLL_PROCESS_ATTACH && GetEnvironmentVariableW(L"VANTOREL_PLANT_MARKER", path, MAX_PATH) > 0)
        CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    return TRUE;
}
