#include "blocker/ModList.h"

#include "blocker/core/HistoryText.h"
#include "monitor/common/ModCommon.h"
#include "monitor/common/SafeFile.h"
#include "runtime/Controls.h"
#include "runtime/Runtime.h"

namespace brennix {

void ListLoad(rt::ListBox& list, const std::wstring& path)
{
    std::string bytes;
    if (!ReadFileContents(path, bytes))
        return;
    for (const auto& item : HistoryItems(rt::FromAnsi(bytes)))
        ListAdd(list, item);
}

bool ListSave(const rt::ListBox& list, const std::wstring& path)
{
    std::vector<std::wstring> items;
    items.reserve(static_cast<std::size_t>(list.ListCount()));
    for (int i = 0; i < list.ListCount(); ++i)
        items.push_back(list.List(i));
    return ReplaceFileContents(path, rt::ToAnsi(HistoryText(items)));
}

} // namespace brennix
