#include "blocker/ModList.h"

namespace vantorel::brennix {

void ListLoad(AddressList& list, const std::wstring& path) { list.Load(path); }

// The history has no header line.
// A block saves once; there is no later save to catch a file that another copy is writing.
bool ListSave(AddressList& list, const std::wstring& path) { return list.Save(path, {}, 1000); }

} // namespace vantorel::brennix
