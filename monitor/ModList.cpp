#include "monitor/ModList.h"

#include "runtime/Runtime.h"

bool ListSave(DayList& list, const std::wstring& header, const std::wstring& path)
{
    return list.Save(path, rt::ToAnsi(header));
}

int ListLoad(DayList& list, const std::wstring& path) { return list.Load(path); }
