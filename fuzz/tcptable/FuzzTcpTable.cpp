// Feeds outside bytes to the TCP table reader, the row filter and the day log reader.
#include "common/core/AddressLog.h"
#include "common/core/Ipv4Text.h"
#include "monitor/core/DayLogText.h"
#include "monitor/core/ScanRules.h"
#include "monitor/core/TcpTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vantorel;
using namespace vantorel::ostrevi;

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

    // The same bytes as an address file, whole and in two pieces: the same addresses, each
    // one a plain IPv4 text that reads back to its value.
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto addresses = ParseAddressLines(text);
    AddressLineReader reader;
    std::vector<AddressValue> pieces;
    reader.Feed(text.substr(0, size / 2), pieces);
    reader.Feed(text.substr(size / 2), pieces);
    reader.Finish(pieces);
    if (pieces != addresses)
        std::abort();
    for (AddressValue a : addresses) {
        if (AddressValueOf(AddressText(a)) != a)
            std::abort();
    }
    return 0;
}
