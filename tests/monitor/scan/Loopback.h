// Real TCP connections over loopback addresses for the scan tests.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
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

// A listener at a free port of `ip`, and every connection made to it, kept open until the end.
class Listener {
public:
    explicit Listener(const char* ip) : ip_(ip)
    {
        listen_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a = Endpoint(ip, 0);
        bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof(a));
        listen(listen_, 16);
        port_ = LocalPort(listen_);
        Watched().push_back(port_);
    }
    ~Listener()
    {
        std::erase(Watched(), port_);
        for (SOCKET s : open_)
            closesocket(s);
        closesocket(listen_);
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    std::uint16_t Port() const { return port_; }

    // Connects a client bound to `fromIp` and accepts it; returns the client's port (0 on failure).
    // The client's port is never a live listener's: on another address the system may hand it out,
    // and the client's end would then count as one more connection to a watched port.
    std::uint16_t ConnectFrom(const char* fromIp)
    {
        SOCKET c = BindClient(fromIp);
        sockaddr_in to = Endpoint(ip_, port_);
        if (c == INVALID_SOCKET || connect(c, reinterpret_cast<sockaddr*>(&to), sizeof(to)) != 0) {
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
    static SOCKET BindClient(const char* fromIp)
    {
        std::vector<SOCKET> taken; // held while the next bind asks, so it gets another port
        SOCKET c = INVALID_SOCKET;
        for (int tries = 0; tries < 8 && c == INVALID_SOCKET; ++tries) {
            SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
            sockaddr_in from = Endpoint(fromIp, 0);
            if (bind(s, reinterpret_cast<sockaddr*>(&from), sizeof(from)) != 0) {
                closesocket(s);
                break;
            }
            if (std::ranges::find(Watched(), LocalPort(s)) != Watched().end())
                taken.push_back(s);
            else
                c = s;
        }
        for (SOCKET s : taken)
            closesocket(s);
        return c;
    }

    static std::vector<std::uint16_t>& Watched()
    {
        static std::vector<std::uint16_t> ports;
        return ports;
    }

    const char* ip_;
    SOCKET listen_ = INVALID_SOCKET;
    std::uint16_t port_ = 0;
    std::vector<SOCKET> open_;
};

} // namespace test
