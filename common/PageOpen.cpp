#include "common/PageOpen.h"

#include <shellapi.h>

namespace vantorel {

namespace {
ShellOpenFunction g_pageOpener = &ShellExecuteW;
}

void SetPageOpener(ShellOpenFunction open) { g_pageOpener = open ? open : &ShellExecuteW; }

void OpenPage(HWND owner, const std::wstring& url)
{
    g_pageOpener(owner, L"open", url.c_str(), L"", L"", SW_SHOWNORMAL);
}

} // namespace vantorel
