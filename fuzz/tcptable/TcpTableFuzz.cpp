// Feeds outside bytes to the TCP table reader, the row filter and the day log reader.
#include "monitor/common/core/Ipv4Text.h"
#include "monitor/core/DayLogText.h"
#include "monitor/core/ScanRules.h"
#include "monitor/core/TcpTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::span<const std::uint8_t> bytes(data, size);
    TcpTableView table(bytes);
    if (table.RowCount() * kTcpRowBytes + kTcpHeaderBytes > size && table.RowCount() != 0)
        std::abort();
    std::vector<ListedConnection> rows;
    SelectConnections(table, L"3389", rows);
    for (const auto& r : rows) {
        std::wstring text = AddrToString(r.remoteAddr);
        if (!ParseIPv4(text))
            std::abort();
        (void)TcpStateName(r.state);
    }
    for (std::size_t i = 0; i < table.RowCount(); ++i)
        (void)TcpStateName(table.Row(i).state);

    // The same bytes as a day's log file: every address read back must be a plain IPv4 text.
    auto addresses = ParseDayLog(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& a : addresses) {
        auto ip = ParseIPv4(a);
        if (!ip || FormatIPv4(*ip) != a)
            std::abort();
    }
    return 0;
}
