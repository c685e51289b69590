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

void FillConnectionList(rt::ListView& list, std::wstring_view portText)
{
    if (IsExiting)
        return;
    std::span<const std::uint8_t> bytes(TcpTableBytes);
    // Never more rows than the last good read counted.
    std::size_t limit = kTcpHeaderBytes + static_cast<std::size_t>(TcpRowCount < 0 ? 0 : TcpRowCount) * kTcpRowBytes;
    TcpTableView table(bytes.first(limit < bytes.size() ? limit : bytes.size()));

    static std::vector<ListedConnection> rows;
    SelectConnections(table, portText, rows);
    // The rows the list view gave back last time are filled again: their strings keep
    // their storage, so a steady table costs no allocation.
    static std::vector<rt::ListView::Row> items;
    items.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ListedConnection& c = rows[i];
        rt::ListView::Row& item = items[i];
        AssignDecimal(item[0], c.localPort);
        AssignAddrText(item[1], c.remoteAddr);
        AssignDecimal(item[2], c.remotePort);
        item[3] = TcpStateName(c.state);
    }
    items = list.SetItems(std::move(items));
    TcpRowCount = 0;
}
