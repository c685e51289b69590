#include "monitor/ModList.h"

#include "monitor/common/ModCommon.h"
#include "monitor/common/SafeFile.h"
#include "runtime/Controls.h"
#include "runtime/Runtime.h"

#include <windows.h>

bool DayList::Add(const std::wstring& address)
{
    if (!addresses_.Add(address))
        return false;
    ListAdd(box_, address);
    return true;
}

int DayList::AddMany(const std::vector<std::wstring>& addresses)
{
    HWND box = box_.hWnd();
    if (box && addresses.size() > 1) {
        SendMessageW(box, WM_SETREDRAW, FALSE, 0);
        // Room for the new items at once, instead of growing the list a few items at a time.
        SendMessageW(box, LB_INITSTORAGE, addresses.size(), static_cast<LPARAM>(addresses.size() * 16 * sizeof(wchar_t)));
    }
    int added = 0;
    for (const auto& a : addresses)
        added += Add(a) ? 1 : 0;
    if (box && addresses.size() > 1) {
        SendMessageW(box, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(box, nullptr, TRUE);
    }
    return added;
}

void DayList::Clear()
{
    addresses_.Clear();
    box_.Clear();
}

bool ListSave(const DayList& list, const std::wstring& header, const std::wstring& path)
{
    std::string bytes = rt::ToAnsi(header);
    bytes += "\r\n";
    // Addresses are ASCII; 16 bytes a line covers the longest with its line end.
    bytes.reserve(bytes.size() + list.Items().size() * 17);
    for (const auto& item : list.Items()) {
        if (!AppendAsciiLine(bytes, item)) {
            bytes += rt::ToAnsi(item);
            bytes += "\r\n";
        }
    }
    auto slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        CreateFolderPath(path.substr(0, slash + 1));
    return ReplaceFileContents(path, bytes);
}

int ListLoad(DayList& list, const std::wstring& path)
{
    std::string bytes;
    if (!ReadFileContents(path, bytes))
        return 0;
    return list.AddMany(ParseDayLog(bytes));
}
