#include "monitor/core/ScanRules.h"

#include "common/core/TextHandling.h"

namespace vantorel::ostrevi {

namespace {

constexpr std::uint32_t kAnyAddress = 0;              // 0.0.0.0
constexpr std::uint32_t kLoopbackAddress = 0x0100007F; // 127.0.0.1, first octet in the low byte

bool IsUnlisted(std::uint32_t addr) { return addr == kAnyAddress || addr == kLoopbackAddress; }

} // namespace

std::optional<std::int32_t> ReadDecimal(std::wstring_view text)
{
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        value = value * 10 + (c - L'0');
        if (value > 0x80000000LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 0x7FFFFFFFLL)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

bool IsScanDue(std::wstring_view intervalText, std::int32_t tickCounter)
{
    auto interval = ReadDecimal(intervalText);
    return !interval || *interval <= tickCounter;
}

bool PortGuardRefuses(std::wstring_view portText)
{
    auto trimmed = TrimBlanks(portText);
    return trimmed.empty() || trimmed == L"0";
}

bool RowIsListed(const TcpConnectionRow& row, std::int32_t watchedPort)
{
    if (IsUnlisted(row.remoteAddr) || IsUnlisted(row.localAddr))
        return false;
    if (row.localPort == 0)
        return false;
    return PortToHost(row.localPort) == watchedPort;
}

void SelectConnections(const TcpTableView& table, std::wstring_view portText, std::vector<ListedConnection>& out)
{
    out.clear();
    auto port = ReadDecimal(portText);
    if (!port)
        return;
    for (std::size_t i = 0; i < table.RowCount(); ++i) {
        TcpConnectionRow row = table.Row(i);
        if (!RowIsListed(row, *port))
            continue;
        out.push_back({PortToHost(row.localPort), row.remoteAddr, PortToHost(row.remotePort), row.state});
    }
}

} // namespace vantorel::ostrevi
