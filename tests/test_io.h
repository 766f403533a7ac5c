#pragma once

// The test peers' descriptors on both platforms: loopback sockets everywhere, pseudo-terminals
// on POSIX only. Windows has none, so a test that needs one (it stands for a real COM port) is
// skipped there with VX_REQUIRE_PTY().

#include <cstddef>
#include <cstdint>
#include <string>

#ifdef _WIN32
#include "settings/winsock_win32.h"
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifdef _WIN32
inline constexpr bool kHasPseudoTerminals = false;
#else
inline constexpr bool kHasPseudoTerminals = true;
#endif

#define VX_REQUIRE_PTY()                                                                                    \
    do {                                                                                                    \
        if (!kHasPseudoTerminals)                                                                           \
            GTEST_SKIP() << "no pseudo-terminals on Windows; this needs a real COM port";                   \
    } while (false)

// A TCP socket for a loopback peer; -1 on failure.
inline int TestTcpSocket()
{
#ifdef _WIN32
    if (!StartWinsock())
        return -1;
    const SOCKET fd = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    return fd == INVALID_SOCKET ? -1 : static_cast<int>(fd);
#else
    return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
#endif
}

// Bytes read (0 at the end, negative on failure); sockets on Windows, any descriptor on POSIX.
inline long TestRead(int fd, char* buffer, size_t room)
{
#ifdef _WIN32
    return ::recv(static_cast<SOCKET>(fd), buffer, static_cast<int>(room), 0);
#else
    return static_cast<long>(::read(fd, buffer, room));
#endif
}

inline long TestWrite(int fd, const char* bytes, size_t length)
{
#ifdef _WIN32
    return ::send(static_cast<SOCKET>(fd), bytes, static_cast<int>(length), 0);
#else
    return static_cast<long>(::write(fd, bytes, length));
#endif
}

// 1 when input (or the end) is waiting, 0 on time-out, negative on failure.
inline int TestWaitInput(int fd, int timeoutMs)
{
#ifdef _WIN32
    WSAPOLLFD waiter { static_cast<SOCKET>(fd), POLLRDNORM, 0 };
    return WSAPoll(&waiter, 1, timeoutMs);
#else
    pollfd waiter { fd, POLLIN, 0 };
    return ::poll(&waiter, 1, timeoutMs);
#endif
}

// 1 when the descriptor takes more bytes, 0 on time-out, negative on failure.
inline int TestWaitOutput(int fd, int timeoutMs)
{
#ifdef _WIN32
    WSAPOLLFD waiter { static_cast<SOCKET>(fd), POLLWRNORM, 0 };
    return WSAPoll(&waiter, 1, timeoutMs);
#else
    pollfd waiter { fd, POLLOUT, 0 };
    return ::poll(&waiter, 1, timeoutMs);
#endif
}

inline void TestClose(int fd)
{
    if (fd < 0)
        return;
#ifdef _WIN32
    closesocket(static_cast<SOCKET>(fd));
#else
    ::close(fd);
#endif
}

// Closes with a reset (RST) instead of the orderly end.
inline void TestResetClose(int fd)
{
    const linger abortive { 1, 0 };
    (void)::setsockopt(fd, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive), sizeof abortive);
    TestClose(fd);
}

inline void TestNoDelay(int fd)
{
    const int on = 1;
    (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

inline bool TestConnectLoopback(int fd, uint16_t port)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

// Listens on a free loopback port; the port through `port`.
inline int TestListenLoopback(int& port)
{
    const int fd = TestTcpSocket();
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    (void)::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    (void)::listen(fd, 4);
    socklen_t size = sizeof address;
    (void)::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    port = ntohs(address.sin_port);
    return fd;
}

inline int TestAccept(int listening)
{
#ifdef _WIN32
    const SOCKET client = ::accept(static_cast<SOCKET>(listening), nullptr, nullptr);
    return client == INVALID_SOCKET ? -1 : static_cast<int>(client);
#else
    return ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
#endif
}
