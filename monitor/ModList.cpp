#include "monitor/ModList.h"

#include "runtime/Runtime.h"

namespace vantorel::ostrevi {

bool ListSave(DayList& list, const std::wstring& header, const std::wstring& path)
{
    // A file that another copy is writing is saved at the next scan; the scan never waits.
    return list.Save(path, rt::ToAnsi(header), 0);
}

int ListLoad(DayList& list, const std::wstring& path) { return list.Load(path); }

} // namespace vantorel::ostrevi
