#include "blocker/core/HistoryText.h"

namespace vantorel::brennix {

std::wstring HistoryTitle(std::size_t count) { return L"Block IP History (" + std::to_wstring(count) + L")"; }

} // namespace vantorel::brennix
