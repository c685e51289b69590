// The IPv4 TCP table with owning process as the system returns it, read from its bytes:
// a 32-bit row count, then rows of six 32-bit little-endian fields. Platform-neutral.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct TcpConnectionRow {
    std::uint32_t state = 0;
    std::uint32_t localAddr = 0;  // network order: first octet in the lowest byte
    std::uint32_t localPort = 0;  // network order in the low 16 bits
    std::uint32_t remoteAddr = 0;
    std::uint32_t remotePort = 0;
    std::uint32_t owningPid = 0;
};

constexpr std::size_t kTcpRowBytes = 24;
constexpr std::size_t kTcpHeaderBytes = 4;

// A view over the table's bytes. The row count is the one the table claims, cut to the rows
// its bytes actually hold, so no row is ever read past the end.
class TcpTableView {
public:
    explicit TcpTableView(std::span<const std::uint8_t> bytes);
    std::size_t RowCount() const { return rows_; }
    // The count as the table's first four bytes state it (0 for fewer than four bytes).
    std::uint32_t ClaimedCount() const { return claimed_; }
    TcpConnectionRow Row(std::size_t index) const;

private:
    std::span<const std::uint8_t> bytes_;
    std::uint32_t claimed_ = 0;
    std::size_t rows_ = 0;
};

// The port in host order: the low 16 bits with their two bytes swapped.
std::uint16_t PortToHost(std::uint32_t portField);
// The address bytes in memory order as dotted decimal text ("10.0.0.5").
std::wstring AddrToString(std::uint32_t addrField);
// The same texts written into `out`, reusing its storage (a scan fills thousands of them).
void AssignAddrText(std::wstring& out, std::uint32_t addrField);
void AssignDecimal(std::wstring& out, std::uint32_t value);
// The name of a TCP state number; empty text for numbers outside 0..12.
std::wstring_view TcpStateName(std::uint32_t state);

// Status codes of the table call that the read loop tells apart.
constexpr std::uint32_t kTableOk = 0;
constexpr std::uint32_t kTableBufferTooSmall = 122; // ERROR_INSUFFICIENT_BUFFER

// Reads a table whose size may change between calls. `call(data, size)` fills `data` (may be
// null for the size query) and sets `size` to the bytes needed. A table that grew between the
// size query and the read is read again, at most `maxAttempts` times; `buffer` keeps its
// capacity between scans. False (and an empty buffer) when no read succeeded.
template <typename Call>
bool ReadGrowingTable(std::vector<std::uint8_t>& buffer, Call&& call, int maxAttempts)
{
    std::uint8_t scratch[4] = {};
    std::uint32_t size = sizeof(scratch);
    std::uint32_t status = call(scratch, size);
    if (status == kTableOk) {
        buffer.assign(scratch, scratch + (size < sizeof(scratch) ? size : sizeof(scratch)));
        return true;
    }
    for (int attempt = 0; attempt < maxAttempts && status == kTableBufferTooSmall; ++attempt) {
        buffer.resize(size);
        status = call(buffer.data(), size);
        if (status == kTableOk) {
            if (size < buffer.size())
                buffer.resize(size);
            return true;
        }
    }
    buffer.clear();
    return false;
}
