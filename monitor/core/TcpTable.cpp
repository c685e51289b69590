#include "monitor/core/TcpTable.h"

#include "imaging/core/SpanReader.h"

#include <array>

namespace vantorel::ostrevi {

namespace {

constexpr std::wstring_view kStateNames[] = {
    L"UNKNOWN",    L"CLOSED",  L"LISTENING", L"SYN_SENT", L"SYN_RCVD",  L"ESTABLISHED", L"FIN_WAIT1",
    L"FIN_WAIT2",  L"CLOSE_WAIT", L"CLOSING", L"LAST_ACK", L"TIME_WAIT", L"DELETE_TCB",
};

} // namespace

TcpTableView::TcpTableView(std::span<const std::uint8_t> bytes)
{
    imaging::SpanReader in(bytes);
    const auto claimed = in.Le32();
    if (!claimed)
        return;
    claimed_ = *claimed;
    rowBytes_ = in.Rest();
    rows_ = std::min<std::size_t>(claimed_, rowBytes_.size() / kTcpRowBytes);
}

TcpConnectionRow TcpTableView::Row(std::size_t index) const
{
    TcpConnectionRow row;
    // Never past the count, which may claim fewer rows than the bytes hold.
    imaging::SpanReader in(rowBytes_);
    if (index >= rows_ || !in.Skip(std::uint64_t{index} * kTcpRowBytes))
        return row;
    const auto fields = in.TakeFixed<kTcpRowBytes>();
    if (!fields)
        return row;
    row.state = imaging::LoadLe32(fields->subspan<0, 4>());
    row.localAddr = imaging::LoadLe32(fields->subspan<4, 4>());
    row.localPort = imaging::LoadLe32(fields->subspan<8, 4>());
    row.remoteAddr = imaging::LoadLe32(fields->subspan<12, 4>());
    row.remotePort = imaging::LoadLe32(fields->subspan<16, 4>());
    return row;
}

std::uint16_t PortToHost(std::uint32_t portField)
{
    return static_cast<std::uint16_t>((portField & 0xFFu) << 8 | (portField >> 8 & 0xFFu));
}

std::wstring AddrToString(std::uint32_t addrField)
{
    std::wstring text;
    AssignAddrText(text, addrField);
    return text;
}

void AssignAddrText(std::wstring& out, std::uint32_t addrField)
{
    wchar_t buf[16];
    std::size_t n = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            buf[n++] = L'.';
        unsigned v = addrField >> (8 * i) & 0xFFu;
        if (v >= 100)
            buf[n++] = static_cast<wchar_t>(L'0' + v / 100);
        if (v >= 10)
            buf[n++] = static_cast<wchar_t>(L'0' + v / 10 % 10);
        buf[n++] = static_cast<wchar_t>(L'0' + v % 10);
    }
    out.assign(buf, n);
}

void AssignDecimal(std::wstring& out, std::uint32_t value)
{
    wchar_t buf[10];
    std::size_t pos = std::size(buf);
    do {
        buf[--pos] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    out.assign(buf + pos, std::size(buf) - pos);
}

std::wstring_view TcpStateName(std::uint32_t state)
{
    return state < std::size(kStateNames) ? kStateNames[state] : std::wstring_view();
}

} // namespace vantorel::ostrevi
