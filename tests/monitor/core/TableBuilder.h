// Builds TCP table bytes the way the system lays them out, for the core tests.
#pragma once

#include "monitor/core/TcpTable.h"

#include <cstdint>
#include <vector>

namespace test {

using namespace vantorel::ostrevi;

inline void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// An address from its four octets, first octet in the lowest byte (network order in memory).
inline std::uint32_t Addr(int a, int b, int c, int d)
{
    return static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b) << 8 | static_cast<std::uint32_t>(c) << 16 |
           static_cast<std::uint32_t>(d) << 24;
}

// A port field: network order in the low 16 bits, as the system stores it.
inline std::uint32_t PortField(int port) { return static_cast<std::uint32_t>((port & 0xFF) << 8 | (port >> 8 & 0xFF)); }

inline std::vector<std::uint8_t> TableBytes(const std::vector<TcpConnectionRow>& rows, std::int64_t claimed = -1)
{
    std::vector<std::uint8_t> out;
    PutLe32(out, claimed < 0 ? static_cast<std::uint32_t>(rows.size()) : static_cast<std::uint32_t>(claimed));
    for (const auto& r : rows) {
        PutLe32(out, r.state);
        PutLe32(out, r.localAddr);
        PutLe32(out, r.localPort);
        PutLe32(out, r.remoteAddr);
        PutLe32(out, r.remotePort);
    }
    return out;
}

inline TcpConnectionRow Conn(std::uint32_t local, int localPort, std::uint32_t remote, int remotePort, std::uint32_t state = 5)
{
    return {state, local, PortField(localPort), remote, PortField(remotePort)};
}

} // namespace test
