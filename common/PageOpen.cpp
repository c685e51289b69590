#include "common/PageOpen.h"

#include <shellapi.h>

namespace vantorel {

void OpenPage(HWND owner, const std::wstring& url, ShellOpenFunction open)
{
    (open ? open : &ShellExecuteW)(owner, L"open", url.c_str(), L"", L"", SW_SHOWNORMAL);
}

} // namespace vantorel
