#include "monitor/ModNetStats.h"

#include "monitor/common/ModCommon.h"
#include "monitor/core/ScanRules.h"
#include "monitor/core/TcpTable.h"
#include "runtime/ListView.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

std::vector<std::uint8_t> TcpTableBytes;
std::int32_t TcpRowCount = 0;

namespace {

// Enough for a table that keeps growing under a busy server; each try takes the latest size.
constexpr int kTableReadAttempts = 5;

} // namespace

bool LoadTcpTable()
{
    TcpRowCount = 0;
    bool ok = ReadGrowingTable(
        TcpTableBytes,
        [](std::uint8_t* data, std::uint32_t& size) -> std::uint32_t {
            DWORD bytes = size;
            DWORD status = GetExtendedTcpTable(data, &bytes, TRUE, AF_INET, TCP_TABLE_OWNER_PID_ALL, 0);
            size = bytes;
            return status;
        },
        kTableReadAttempts);
    if (!ok)
        return false;
    TcpTableView view(TcpTableBytes);
    TcpRowCount = static_cast<std::int32_t>(view.RowCount());
    return true;
}

std::vector<std::wstring> FillConnectionList(rt::ListView& list, std::wstring_view portText)
{
    std::vector<std::wstring> addresses;
    if (IsExiting)
        return addresses;
    std::span<const std::uint8_t> bytes(TcpTableBytes);
    // Never more rows than the last good read counted.
    std::size_t limit = kTcpHeaderBytes + static_cast<std::size_t>(TcpRowCount < 0 ? 0 : TcpRowCount) * kTcpRowBytes;
    TcpTableView table(bytes.first(limit < bytes.size() ? limit : bytes.size()));

    std::vector<ListedConnection> rows;
    SelectConnections(table, portText, rows);
    std::vector<rt::ListView::Row> items(rows.size());
    addresses.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ListedConnection& c = rows[i];
        rt::ListView::Row& item = items[i];
        item[0] = std::to_wstring(c.localPort);
        item[1] = AddrToString(c.remoteAddr);
        item[2] = std::to_wstring(c.remotePort);
        item[3] = TcpStateName(c.state);
        addresses.push_back(item[1]);
    }
    list.SetItems(std::move(items));
    TcpRowCount = 0;
    return addresses;
}
