// The IPv4 TCP table as the system returns it for the class without owning processes, read
// from its bytes: a 32-bit row count, then rows of five 32-bit little-endian fields.
// Platform-neutral.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::ostrevi {

struct TcpConnectionRow {
    std::uint32_t state = 0;
    std::uint32_t localAddr = 0;  // network order: first octet in the lowest byte
    std::uint32_t localPort = 0;  // network order in the low 16 bits
    std::uint32_t remoteAddr = 0;
    std::uint32_t remotePort = 0;
};

constexpr std::size_t kTcpRowBytes = 20;
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
    std::span<const std::uint8_t> rowBytes_; // what follows the count
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

// Reads a table whose size may change between calls into `buffer` as it stands, so the
// buffer of the last read serves the next one with a single call. `call(data, size)` fills
// `data` when `size` bytes suffice, else sets `size` to the bytes needed and reports the buffer
// too small; the buffer then grows to that and a little more (a busy table keeps growing) and
// the call is made again, at most `maxAttempts` times. The buffer never shrinks; the table's
// own count says how many rows it holds. False, with a count of 0, when no read succeeded.
template <typename Call>
bool ReadGrowingTable(std::vector<std::uint8_t>& buffer, Call&& call, int maxAttempts)
{
    if (buffer.size() < kTcpHeaderBytes)
        buffer.resize(kTcpHeaderBytes);
    std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
    std::uint32_t status = call(buffer.data(), size);
    for (int attempt = 0; attempt < maxAttempts && status == kTableBufferTooSmall; ++attempt) {
        if (size <= buffer.size())
            break; // too small, yet no larger size named: nothing to grow to
        buffer.resize(static_cast<std::size_t>(size) + size / 8);
        size = static_cast<std::uint32_t>(buffer.size());
        status = call(buffer.data(), size);
    }
    if (status == kTableOk)
        return true;
    std::fill(buffer.begin(), buffer.begin() + kTcpHeaderBytes, std::uint8_t{0});
    return false;
}

} // namespace vantorel::ostrevi
