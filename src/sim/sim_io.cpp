#include "sim/sim_io.h"

#include <algorithm>

namespace {

constexpr int kIdlePollMs = 50; // bounds how late a stop is noticed when nothing else wakes us

} // namespace

bool SendBytes(int fd, std::string_view bytes, bool trickle, bool socket, const SimIoContext& io)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t chunk = trickle ? 1 : bytes.size() - done;
        const long n = SendSome(fd, bytes.data() + done, chunk, socket);
        if (n > 0) {
            done += static_cast<size_t>(n);
            if (trickle && done < bytes.size())
                PauseMs(1, io);
            if (!io.IsRunning())
                return false;
            continue;
        }
        if (n == kSimAgain) {
            if (WaitFor(fd, kSimOut, kIdlePollMs, io) < 0)
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
        const int events = WaitFor(fd, kSimIn, timeout, io);
        if (events < 0)
            return ESimClientEnd::Stopped;
        if ((events & kSimIn) != 0) {
            const long n = ReceiveSome(fd, buffer, sizeof buffer, socket);
            if (n == kSimAgain)
                continue;
            if (n <= 0)
                return ESimClientEnd::Left; // the end, or EIO once the last pty client closed
            session.Feed({ buffer, static_cast<size_t>(n) }, acceptsLines());
        } else if ((events & (kSimHangUp | kSimError | kSimInvalid)) != 0) {
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
