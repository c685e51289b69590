// What the connection scan decides from text and rows: when a scan is due, whether the port
// box allows one, and which rows of the TCP table are listed. Platform-neutral.
#pragma once

#include "monitor/core/TcpTable.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vantorel::ostrevi {

// A box's text read as a whole decimal number (blanks around it allowed, an optional sign);
// no result for anything else, or past 32-bit range.
std::optional<std::int32_t> ReadDecimal(std::wstring_view text);

// The interval box's text against the ticks counted: due when the number is at most the
// count, and on every tick when the text is not a number.
bool IsScanDue(std::wstring_view intervalText, std::int32_t tickCounter);

// The port box refuses a scan when its trimmed text is empty or "0".
bool PortGuardRefuses(std::wstring_view portText);

// One row the connection list shows.
struct ListedConnection {
    std::uint16_t localPort = 0;
    std::uint32_t remoteAddr = 0;
    std::uint16_t remotePort = 0;
    std::uint32_t state = 0;
};

// The row filter: neither address 0.0.0.0 nor 127.0.0.1, a local port field that is not 0,
// and a local port equal to the watched port.
bool RowIsListed(const TcpConnectionRow& row, std::int32_t watchedPort);

// The rows to list, in table order. `portText` is the trimmed port box text; when it is not a
// number no row can be compared with it and nothing is listed.
void SelectConnections(const TcpTableView& table, std::wstring_view portText, std::vector<ListedConnection>& out);

} // namespace vantorel::ostrevi
