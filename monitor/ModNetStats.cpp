#include "monitor/ModNetStats.h"

#include "common/ModCommon.h"
#include "monitor/core/ScanRules.h"
#include "monitor/core/TcpTable.h"
#include "runtime/ListView.h"
#include "runtime/Runtime.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <atomic>

namespace vantorel::ostrevi {

namespace {

// Enough for a table that keeps growing under a busy server; each try takes the latest size.
constexpr int kTableReadAttempts = 5;
constexpr UINT kReadDone = WM_APP + 1;

} // namespace

bool ReadTcpTable(std::vector<std::uint8_t>& buffer)
{
    return ReadGrowingTable(
        buffer,
        [](std::uint8_t* data, std::uint32_t& size) -> std::uint32_t {
            DWORD bytes = size;
            DWORD status = GetExtendedTcpTable(data, &bytes, TRUE, AF_INET, TCP_TABLE_BASIC_ALL, 0);
            size = bytes;
            return status;
        },
        kTableReadAttempts);
}

TcpTable LoadTcpTable()
{
    TcpTable table;
    if (ReadTcpTable(table.Bytes))
        table.RowCount = static_cast<std::int32_t>(TcpTableView(table.Bytes).RowCount());
    return table;
}

// What the reading thread and the window share. The thread holds its own reference: when the
// program ends during a long read, the thread finishes with memory that is still its own.
struct TcpTableReader::Shared {
    HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> stop{false};
    std::vector<std::uint8_t> buffer; // the thread's alone between Start and the done message
    ~Shared()
    {
        if (wake)
            CloseHandle(wake);
    }
};

TcpTableReader::TcpTableReader(TcpTable& table, std::function<void(bool)> done)
    : table_(table), done_(std::move(done))
{
}

TcpTableReader::~TcpTableReader()
{
    if (!shared_)
        return;
    // The thread is not waited for: a read in progress ends on its own, and its result goes nowhere.
    shared_->window = nullptr;
    shared_->stop = true;
    SetEvent(shared_->wake);
}

bool TcpTableReader::Start()
{
    if (running_)
        return false;
    if (!shared_) {
        const wchar_t* cls = rt::RegisterClassOnce(L"VantorelTableReader", &rt::Window::StaticProc);
        if (!CreateWindowOf(cls, 0, 0, 0, 0, 0, 0, HWND_MESSAGE))
            return false;
        auto shared = std::make_shared<Shared>();
        shared->window = hWnd();
        auto* ref = new std::shared_ptr<Shared>(shared);
        HANDLE thread = shared->wake ? CreateThread(nullptr, 0, &Run, ref, 0, nullptr) : nullptr;
        if (!thread) {
            delete ref;
            DestroyOwnWindow();
            return false;
        }
        CloseHandle(thread);
        shared_ = std::move(shared);
    }
    running_ = true;
    SetEvent(shared_->wake);
    return true;
}

unsigned long __stdcall TcpTableReader::Run(void* param)
{
    std::shared_ptr<Shared> shared = std::move(*static_cast<std::shared_ptr<Shared>*>(param));
    delete static_cast<std::shared_ptr<Shared>*>(param);
    while (WaitForSingleObject(shared->wake, INFINITE) == WAIT_OBJECT_0 && !shared->stop) {
        bool ok = ReadTcpTable(shared->buffer);
        if (HWND window = shared->window)
            PostMessageW(window, kReadDone, ok ? 1 : 0, 0);
    }
    return 0;
}

LRESULT TcpTableReader::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg != kReadDone || !running_)
        return rt::Window::WndProc(msg, wp, lp);
    running_ = false;
    // Only the rows the table counts are copied; the thread's buffer keeps its size.
    const std::vector<std::uint8_t>& bytes = shared_->buffer;
    const bool ok = wp != 0;
    TcpTableView view(bytes);
    std::size_t used = ok ? kTcpHeaderBytes + view.RowCount() * kTcpRowBytes : 0;
    table_.Bytes.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(used, bytes.size())));
    table_.RowCount = ok ? static_cast<std::int32_t>(view.RowCount()) : 0;
    if (done_)
        done_(ok);
    return 0;
}

void FillConnectionList(rt::ListView& list, std::wstring_view portText, TcpTable& table, ConnectionRows& kept)
{
    std::span<const std::uint8_t> bytes(table.Bytes);
    // Never more rows than the last good read counted.
    std::size_t limit =
        kTcpHeaderBytes + static_cast<std::size_t>(table.RowCount < 0 ? 0 : table.RowCount) * kTcpRowBytes;
    TcpTableView view(bytes.first(limit < bytes.size() ? limit : bytes.size()));

    std::vector<ListedConnection>& rows = kept.Selected;
    SelectConnections(view, portText, rows);
    // The rows the list view gave back last time are filled again.
    std::vector<rt::ListView::Row>& items = kept.Items;
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
    table.RowCount = 0;
}

} // namespace vantorel::ostrevi
