// The TCP table read and the connection list's fill.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rt {
class ListView;
}

// The table exactly as the system returned it, and its row count (0 after a failed read and
// after a walk). The buffer keeps its capacity from scan to scan.
extern std::vector<std::uint8_t> TcpTableBytes;
extern std::int32_t TcpRowCount;

// Reads the IPv4 TCP table with owning processes, sorted. A table that grew between the size
// query and the read is read again a few times. False (and no rows) when no read succeeded.
bool LoadTcpTable();

// Replaces the list view's items with the table's rows that pass the row filter for the
// watched port (text already trimmed), in table order: local port, remote address, remote
// port and state name.
void FillConnectionList(rt::ListView& list, std::wstring_view portText);
