// The simulator's waits, stop signal and sockets on Windows (Winsock 2). Waits are sliced so a
// stop is noticed within a few milliseconds; there is no descriptor to wake them.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "settings/winsock_win32.h"
#include "sim/sim_io.h"

namespace {

constexpr int kSliceMs = 10;

SOCKET Sock(int fd) { return static_cast<SOCKET>(fd); }

// Winsock's poll bits are its own; the serving code speaks the POSIX ones.
int SimEvents(short revents)
{
    int events = 0;
    events |= (revents & (POLLRDNORM | POLLRDBAND)) != 0 ? kSimIn : 0;
    events |= (revents & POLLWRNORM) != 0 ? kSimOut : 0;
    events |= (revents & POLLHUP) != 0 ? kSimHangUp : 0;
    events |= (revents & POLLERR) != 0 ? kSimError : 0;
    events |= (revents & POLLNVAL) != 0 ? kSimInvalid : 0;
    return events;
}

} // namespace

int OpenWake()
{
    return StartWinsock() ? 0 : -1; // every serving thread starts after this
}

void SignalWake(int) { }

void CloseWake(int) { }

int WaitForAny(SimWaiter* waiters, size_t count, int timeoutMs, const SimIoContext& io)
{
    if (count > kMaxSimWaiters)
        return -1;
    WSAPOLLFD polled[kMaxSimWaiters] {};
    size_t owner[kMaxSimWaiters] {};
    ULONG used = 0;
    for (size_t i = 0; i < count; ++i) {
        waiters[i].Revents = 0;
        if (waiters[i].Fd < 0)
            continue;
        const short events = static_cast<short>(((waiters[i].Events & kSimIn) != 0 ? POLLRDNORM : 0)
            | ((waiters[i].Events & kSimOut) != 0 ? POLLWRNORM : 0));
        polled[used] = { Sock(waiters[i].Fd), events, 0 };
        owner[used++] = i;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (!io.IsRunning())
            return -1;
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                  .count();
        const int slice = static_cast<int>(std::clamp<int64_t>(left, 0, kSliceMs));
        int ready = 0;
        if (used == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(slice));
        else
            ready = WSAPoll(polled, used, slice);
        if (!io.IsRunning())
            return -1;
        if (ready != 0) {
            for (ULONG k = 0; k < used; ++k)
                waiters[owner[k]].Revents = ready > 0 ? SimEvents(polled[k].revents) : kSimInvalid;
            return ready > 0 ? ready : static_cast<int>(used);
        }
        if (left <= 0)
            return 0;
    }
}

void PauseMs(int ms, const SimIoContext& io)
{
    for (int slept = 0; slept < ms && io.IsRunning(); slept += kSliceMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(kSliceMs, ms - slept)));
}

long SendSome(int fd, const char* bytes, size_t length, bool)
{
    const int n = ::send(Sock(fd), bytes, static_cast<int>(length), 0);
    if (n != SOCKET_ERROR)
        return n;
    return WSAGetLastError() == WSAEWOULDBLOCK ? kSimAgain : kSimFailed;
}

long ReceiveSome(int fd, char* buffer, size_t room, bool)
{
    const int n = ::recv(Sock(fd), buffer, static_cast<int>(room), 0);
    if (n != SOCKET_ERROR)
        return n;
    return WSAGetLastError() == WSAEWOULDBLOCK ? kSimAgain : kSimFailed;
}

int ListenLoopback(uint16_t port, uint16_t& bound)
{
    const SOCKET fd = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (fd == INVALID_SOCKET)
        return -1;
    u_long nonBlocking = 1;
    (void)ioctlsocket(fd, FIONBIO, &nonBlocking);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    int size = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        closesocket(fd);
        return -1;
    }
    bound = ntohs(address.sin_port);
    return static_cast<int>(fd); // socket values are small handles; they fit
}

int AcceptClient(int listening)
{
    const SOCKET client = ::accept(Sock(listening), nullptr, nullptr);
    if (client == INVALID_SOCKET)
        return -1;
    u_long nonBlocking = 1;
    (void)ioctlsocket(client, FIONBIO, &nonBlocking);
    const BOOL on = TRUE;
    (void)setsockopt(client, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    return static_cast<int>(client);
}

void CloseSocket(int socket)
{
    if (socket >= 0)
        closesocket(Sock(socket));
}

int ConnectTcp(const std::string& host, uint16_t port, int timeoutMs, const SimIoContext& io)
{
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return -1;
    SOCKET fd = INVALID_SOCKET;
    for (const addrinfo* address = found; address != nullptr && fd == INVALID_SOCKET; address = address->ai_next) {
        fd = ::socket(address->ai_family, address->ai_socktype, address->ai_protocol);
        if (fd == INVALID_SOCKET)
            continue;
        u_long nonBlocking = 1;
        (void)ioctlsocket(fd, FIONBIO, &nonBlocking);
        bool connected = ::connect(fd, address->ai_addr, static_cast<int>(address->ai_addrlen)) == 0;
        if (!connected && WSAGetLastError() == WSAEWOULDBLOCK
            && WaitFor(static_cast<int>(fd), kSimOut, timeoutMs, io) > 0) {
            int error = 0;
            int size = sizeof error;
            connected = getsockopt(fd, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 && error == 0;
        }
        if (!connected) {
            closesocket(fd);
            fd = INVALID_SOCKET;
        }
    }
    freeaddrinfo(found);
    if (fd == INVALID_SOCKET)
        return -1;
    const BOOL on = TRUE;
    (void)setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on); // latency only
    return static_cast<int>(fd);
}
