#include "monitor/core/TcpTable.h"

#include <array>

namespace vantorel::ostrevi {

namespace {

std::uint32_t ReadLe32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

constexpr std::wstring_view kStateNames[] = {
    L"UNKNOWN",    L"CLOSED",  L"LISTENING", L"SYN_SENT", L"SYN_RCVD",  L"ESTABLISHED", L"FIN_WAIT1",
    L"FIN_WAIT2",  L"CLOSE_WAIT", L"CLOSING", L"LAST_ACK", L"TIME_WAIT", L"DELETE_TCB",
};

} // namespace

TcpTableView::TcpTableView(std::span<const std::uint8_t> bytes) : bytes_(bytes)
{
    if (bytes.size() < kTcpHeaderBytes)
        return;
    claimed_ = ReadLe32(bytes.data());
    std::size_t present = (bytes.size() - kTcpHeaderBytes) / kTcpRowBytes;
    rows_ = claimed_ < present ? claimed_ : present;
}

TcpConnectionRow TcpTableView::Row(std::size_t index) const
{
    TcpConnectionRow row;
    if (index >= rows_)
        return row;
    const std::uint8_t* p = bytes_.data() + kTcpHeaderBytes + index * kTcpRowBytes;
    row.state = ReadLe32(p);
    row.localAddr = ReadLe32(p + 4);
    row.localPort = ReadLe32(p + 8);
    row.remoteAddr = ReadLe32(p + 12);
    row.remotePort = ReadLe32(p + 16);
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
