#include "blocker/ModList.h"

namespace brennix {

void ListLoad(AddressList& list, const std::wstring& path) { list.Load(path); }

// The history has no header line.
bool ListSave(AddressList& list, const std::wstring& path) { return list.Save(path, {}); }

} // namespace brennix
