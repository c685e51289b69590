#include "common/PageOpen.h"

#include "common/Seams.h"
#include "runtime/Runtime.h"

#include <shellapi.h>

namespace vantorel {

void OpenPage(HWND owner, const std::wstring& url, ShellOpenFunction open)
{
    (open ? open : &ShellExecuteW)(owner, L"open", url.c_str(), L"", L"", SW_SHOWNORMAL);
}

std::wstring CommandLineArgs(const Seams& seams)
{
    return seams.commandLine ? *seams.commandLine : rt::CommandLineArgs();
}

} // namespace vantorel
