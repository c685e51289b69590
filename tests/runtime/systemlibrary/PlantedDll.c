/* Stands in for a system DLL planted where a search by bare name finds it: on load it creates
   the file named by VANTOREL_PLANT_MARKER, and it exports nothing. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    wchar_t path[MAX_PATH];
    DWORD n;
    (void)instance, (void)reserved;
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    n = GetEnvironmentVariableW(L"VANTOREL_PLANT_MARKER", path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (f != INVALID_HANDLE_VALUE)
            CloseHandle(f);
    }
    return TRUE;
}
