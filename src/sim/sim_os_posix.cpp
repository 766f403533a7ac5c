// The simulator's waits, stop signal and sockets on POSIX systems.
#include <algorithm>
#include <cerrno>
#include <string>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include "sim/sim_io.h"

static_assert(kSimIn == POLLIN && kSimOut == POLLOUT && kSimHangUp == POLLHUP && kSimError == POLLERR
    && kSimInvalid == POLLNVAL);

int OpenWake() { return ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }

void SignalWake(int wake)
{
    const uint64_t one = 1;
    // The event stays readable from here on, so every wait of every thread returns at once; the
    // running flag is checked after each wait anyway, so a failed write changes nothing.
    if (::write(wake, &one, sizeof one) < 0)
        return;
}

void CloseWake(int wake)
{
    if (wake >= 0)
        ::close(wake);
}

int WaitForAny(SimWaiter* waiters, size_t count, int timeoutMs, const SimIoContext& io)
{
    if (!io.IsRunning() || count > kMaxSimWaiters)
        return -1;
    pollfd polled[kMaxSimWaiters + 1] {};
    for (size_t i = 0; i < count; ++i)
        polled[i] = { waiters[i].Fd, waiters[i].Events, 0 }; // poll leaves out negative descriptors
    polled[count] = { io.WakeFd, POLLIN, 0 };
    const int ready = ::poll(polled, static_cast<nfds_t>(count + 1), timeoutMs);
    if (!io.IsRunning() || (polled[count].revents & POLLIN) != 0)
        return -1;
    for (size_t i = 0; i < count; ++i)
        waiters[i].Revents = ready > 0 ? polled[i].revents : 0;
    return std::max(ready, 0);
}

void PauseMs(int ms, const SimIoContext& io)
{
    pollfd waiter { io.WakeFd, POLLIN, 0 };
    (void)::poll(&waiter, 1, ms); // woken early on stop; either way the caller checks the flag
}

long SendSome(int fd, const char* bytes, size_t length, bool socket)
{
    const ssize_t n = socket ? ::send(fd, bytes, length, MSG_NOSIGNAL) : ::write(fd, bytes, length);
    if (n >= 0)
        return static_cast<long>(n);
    return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK ? kSimAgain : kSimFailed;
}

long ReceiveSome(int fd, char* buffer, size_t room, bool)
{
    const ssize_t n = ::read(fd, buffer, room);
    if (n >= 0)
        return static_cast<long>(n);
    return errno == EINTR || errno == EAGAIN ? kSimAgain : kSimFailed;
}

int ListenLoopback(uint16_t port, uint16_t& bound)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    const int on = 1;
    (void)::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on); // only speeds up restarts
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    socklen_t size = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 8) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(fd);
        return -1;
    }
    bound = ntohs(address.sin_port);
    return fd;
}

int AcceptClient(int listening)
{
    const int client = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client >= 0) {
        const int on = 1;
        (void)::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on); // latency only
    }
    return client;
}

void CloseSocket(int socket)
{
    if (socket >= 0)
        ::close(socket);
}

namespace {

// Whether a connection begun without blocking completes within the time.
bool ConnectCompletes(int fd, int timeoutMs, const SimIoContext& io)
{
    if (WaitFor(fd, kSimOut, timeoutMs, io) <= 0)
        return false;
    int error = 0;
    socklen_t size = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

} // namespace

int ConnectTcp(const std::string& host, uint16_t port, int timeoutMs, const SimIoContext& io)
{
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return -1;
    int fd = -1;
    for (const addrinfo* address = found; address != nullptr && fd < 0; address = address->ai_next) {
        fd = ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address->ai_protocol);
        if (fd < 0)
            continue;
        const bool connected = ::connect(fd, address->ai_addr, address->ai_addrlen) == 0
            || (errno == EINPROGRESS && ConnectCompletes(fd, timeoutMs, io));
        if (!connected) {
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    if (fd >= 0) {
        const int on = 1;
        (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on); // latency only
    }
    return fd;
}
