#include "sim/sim_io.h"

#include <algorithm>
#include <cerrno>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kIdlePollMs = 50; // bounds how late a stop is noticed when nothing else wakes us

} // namespace

int WaitFor(int fd, short events, int timeoutMs, const SimIoContext& io)
{
    if (!io.IsRunning())
        return -1;
    pollfd waiters[2] { { fd, events, 0 }, { io.WakeFd, POLLIN, 0 } };
    const int count = ::poll(waiters, 2, timeoutMs);
    if (!io.IsRunning() || (waiters[1].revents & POLLIN) != 0)
        return -1;
    if (count <= 0)
        return 0;
    return waiters[0].revents;
}

void PauseMs(int ms, const SimIoContext& io)
{
    pollfd waiter { io.WakeFd, POLLIN, 0 };
    (void)::poll(&waiter, 1, ms); // woken early on stop; either way the caller checks the flag
}

bool SendBytes(int fd, std::string_view bytes, bool trickle, bool socket, const SimIoContext& io)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t chunk = trickle ? 1 : bytes.size() - done;
        const ssize_t n
            = socket ? ::send(fd, bytes.data() + done, chunk, MSG_NOSIGNAL) : ::write(fd, bytes.data() + done, chunk);
        if (n > 0) {
            done += static_cast<size_t>(n);
            if (trickle && done < bytes.size())
                PauseMs(1, io);
            if (!io.IsRunning())
                return false;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (WaitFor(fd, POLLOUT, kIdlePollMs, io) < 0)
                return false;
            continue;
        }
        return false;
    }
    return true;
}

ESimClientEnd ServeClient(
    int fd, bool socket, CSimSession& session, const SimIoContext& io, const std::function<bool()>& acceptsLines)
{
    char buffer[4096];
    while (true) {
        const int hint = session.WaitHintMs();
        const int timeout = hint < 0 ? kIdlePollMs : std::min(hint, kIdlePollMs);
        const int events = WaitFor(fd, POLLIN, timeout, io);
        if (events < 0)
            return ESimClientEnd::Stopped;
        if ((events & POLLIN) != 0) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n <= 0)
                return ESimClientEnd::Left; // EOF, or EIO once the last pty client closed
            session.Feed({ buffer, static_cast<size_t>(n) }, acceptsLines());
        } else if ((events & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            return ESimClientEnd::Left;
        }
        if (session.CloseRequested())
            return ESimClientEnd::CloseRequested;
        for (const std::string& reply : session.TakeDue()) {
            if (!SendBytes(fd, reply, session.Trickles(), socket, io))
                return io.IsRunning() ? ESimClientEnd::Left : ESimClientEnd::Stopped;
        }
    }
}
