// Real TCP connections over loopback addresses for the scan tests.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>
#include <vector>

namespace test {

class Winsock {
public:
    Winsock() { WSAStartup(MAKEWORD(2, 2), &data_); }
    ~Winsock() { WSACleanup(); }

private:
    WSADATA data_{};
};

inline sockaddr_in Endpoint(const char* ip, std::uint16_t port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, ip, &a.sin_addr);
    return a;
}

inline std::uint16_t LocalPort(SOCKET s)
{
    sockaddr_in a{};
    int len = sizeof(a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
}

// A listener reached at `ip`, and every connection made to it, kept open until the end. The
// monitor counts every connection whose local end has the watched port, so that port is held on
// every address (no other process can take it on another one) and lies below the systems' ranges
// of ports handed to clients (from 32768 on Linux, 49152 on Windows): no client end anywhere on
// the machine can have it.
class Listener {
public:
    explicit Listener(const char* ip) : ip_(ip)
    {
        listen_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        constexpr std::uint32_t kFirst = 20000, kCount = 12000;
        const std::uint32_t start = (GetCurrentProcessId() * 7919u + GetTickCount()) % kCount;
        for (std::uint32_t i = 0; i < kCount && port_ == 0; ++i) {
            const auto port = static_cast<std::uint16_t>(kFirst + (start + i) % kCount);
            sockaddr_in a = Endpoint("0.0.0.0", port);
            if (bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0)
                port_ = port;
        }
        listen(listen_, 16);
    }
    ~Listener()
    {
        for (SOCKET s : open_)
            closesocket(s);
        closesocket(listen_);
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    std::uint16_t Port() const { return port_; }

    // Connects a client bound to `fromIp` and accepts it; returns the client's port (0 on failure).
    std::uint16_t ConnectFrom(const char* fromIp)
    {
        SOCKET c = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in from = Endpoint(fromIp, 0);
        sockaddr_in to = Endpoint(ip_, port_);
        if (bind(c, reinterpret_cast<sockaddr*>(&from), sizeof(from)) != 0 ||
            connect(c, reinterpret_cast<sockaddr*>(&to), sizeof(to)) != 0) {
            closesocket(c);
            return 0;
        }
        open_.push_back(c);
        SOCKET s = accept(listen_, nullptr, nullptr);
        if (s != INVALID_SOCKET)
            open_.push_back(s);
        return LocalPort(c);
    }

private:
    const char* ip_;
    SOCKET listen_ = INVALID_SOCKET;
    std::uint16_t port_ = 0;
    std::vector<SOCKET> open_;
};

} // namespace test
