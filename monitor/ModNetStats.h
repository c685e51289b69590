// The TCP table read and the connection list's fill.
#pragma once

#include "monitor/core/ScanRules.h"
#include "runtime/ListView.h"
#include "runtime/Window.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::ostrevi {

// The table exactly as the system returned it, and its row count (0 after a failed read and
// after a walk).
struct TcpTable {
    std::vector<std::uint8_t> Bytes;
    std::int32_t RowCount = 0;
};

// Reads the IPv4 TCP table without owning processes (the id is never shown, and asking for it
// makes the call many times slower), sorted, into `buffer`: one call when the buffer of the
// last read holds the table. False (and a count of 0) when no read succeeded.
bool ReadTcpTable(std::vector<std::uint8_t>& buffer);

// ReadTcpTable into a new table's bytes, and its row count from them; a count of 0 after a
// failed read.
TcpTable LoadTcpTable();

// Reads the table on a thread of its own, so the window keeps answering while a large table is
// read, and hands it over on the window's thread: `table` is set, then `done` runs. One read
// at a time; the reader's buffer serves every read.
class TcpTableReader : private rt::Window {
public:
    TcpTableReader(TcpTable& table, std::function<void(bool ok)> done);
    ~TcpTableReader() override;

    // False, and nothing started, while a read is still running.
    bool Start();
    bool Running() const { return running_; }

private:
    struct Shared;
    static unsigned long __stdcall Run(void* shared);
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    TcpTable& table_;
    std::function<void(bool)> done_;
    std::shared_ptr<Shared> shared_;
    bool running_ = false;
};

// What one fill of the connection list leaves for the next: the rows that passed the filter,
// and the list view's rows, whose strings keep their storage, so a steady table costs no
// allocation.
struct ConnectionRows {
    std::vector<ListedConnection> Selected;
    std::vector<rt::ListView::Row> Items;
};

// Replaces the list view's items with the table's rows that pass the row filter for the
// watched port (text already trimmed), in table order: local port, remote address, remote
// port and state name. The table's row count is 0 afterwards.
void FillConnectionList(rt::ListView& list, std::wstring_view portText, TcpTable& table, ConnectionRows& kept);

} // namespace vantorel::ostrevi
