// The block history file's text: one address a line, CR LF, no header. Platform-neutral;
// the caller converts to and from the ANSI code page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brennix {

// The items the file holds: every line that is not blank after trimming, untrimmed. A line
// ends at CR LF, CR or LF; a last line without an end counts too.
std::vector<std::wstring> HistoryItems(std::wstring_view text);

// Every item as one line ended by CR LF; an empty list gives the empty text.
std::wstring HistoryText(const std::vector<std::wstring>& items);

// "Block IP History (" + count + ")".
std::wstring HistoryTitle(std::size_t count);

} // namespace brennix
