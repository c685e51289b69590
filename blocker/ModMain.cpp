#include "blocker/ModMain.h"

#include "blocker/FrmMain.h"
#include "blocker/ModList.h"
#include "blocker/core/BatchText.h"
#include "runtime/Control.h"
#include "runtime/Runtime.h"

#include <shellapi.h>

#include <vector>

namespace vantorel::brennix {

std::wstring HistoryPath() { return rt::AppPath() + L"\\brennix_history.dat"; }

std::wstring GetTempFolder(TempPathSource tempPath)
{
    if (!tempPath)
        tempPath = &GetTempPathW;
    std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
    DWORD n = tempPath(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n > buffer.size()) {
        // A longer path than MAX_PATH: ask again with room for it.
        buffer.assign(n + 1, L'\0');
        n = tempPath(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    if (n == 0 || n >= buffer.size())
        return {};
    return TempFolderFromPath(std::wstring_view(buffer.data(), n));
}

void ExitProgram(FrmMain& form)
{
    form.State.IsExiting = true;
    // One last try for addresses whose save failed or found the file busy.
    if (form.History.HasUnsaved())
        ListSave(form.History, HistoryPath());
    rt::YieldToOtherMessages();
    form.Hide();
    rt::Form::UnloadAll();
    rt::YieldToOtherMessages();
}

} // namespace vantorel::brennix
