#include "sim/sim_io.h"

#include <algorithm>

namespace {

constexpr int kIdlePollMs = 50; // bounds how late a stop is noticed when nothing else wakes us

} // namespace

int WaitFor(int fd, short events, int timeoutMs, const SimIoContext& io)
{
    SimWaiter waiter { fd, events, 0 };
    return WaitForAny(&waiter, 1, timeoutMs, io) < 0 ? -1 : waiter.Revents;
}

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

void RefuseWaitingClients(int listening)
{
    for (int client = AcceptClient(listening); client >= 0; client = AcceptClient(listening))
        CloseSocket(client); // the instrument holds one session; a second client is closed at once
}

namespace {

enum class EReceived { Some, Nothing, Gone };

EReceived ReceiveFromClient(int fd, bool socket, ISimSession& session, const std::function<bool()>& acceptsLines)
{
    char buffer[4096];
    const long n = ReceiveSome(fd, buffer, sizeof buffer, socket);
    if (n == kSimAgain)
        return EReceived::Nothing;
    if (n <= 0)
        return EReceived::Gone; // the end, or EIO once the last pty client closed
    session.Feed({ buffer, static_cast<size_t>(n) }, acceptsLines());
    return EReceived::Some;
}

// Reads what the client has sent so far (a bounded amount: a flood must not hold us); false when
// it has gone meanwhile.
bool DrainClient(int fd, bool socket, ISimSession& session, const std::function<bool()>& acceptsLines)
{
    for (int round = 0; round < 64; ++round) {
        const EReceived received = ReceiveFromClient(fd, socket, session, acceptsLines);
        if (received != EReceived::Some)
            return received == EReceived::Nothing;
    }
    return true;
}

} // namespace

ESimClientEnd ServeClient(int fd, bool socket, ISimSession& session, const SimIoContext& io,
    const std::function<bool()>& acceptsLines, int refuseFrom)
{
    while (true) {
        const int hint = session.WaitHintMs();
        const int timeout = hint < 0 ? kIdlePollMs : std::min(hint, kIdlePollMs);
        SimWaiter waiters[3] { { fd, kSimIn, 0 }, { session.UpstreamFd(), kSimIn, 0 }, { refuseFrom, kSimIn, 0 } };
        if (WaitForAny(waiters, 3, timeout, io) < 0)
            return ESimClientEnd::Stopped;
        if ((waiters[0].Revents & kSimIn) != 0) {
            if (ReceiveFromClient(fd, socket, session, acceptsLines) == EReceived::Gone)
                return ESimClientEnd::Left;
        } else if ((waiters[0].Revents & (kSimHangUp | kSimError | kSimInvalid)) != 0) {
            return ESimClientEnd::Left;
        }
        if (waiters[1].Revents != 0)
            session.PullUpstream();
        // A client that has just left (its last lines and its end still unread) makes room for
        // the one waiting; while it stays, the newcomer is refused.
        if ((waiters[2].Revents & kSimIn) != 0) {
            if (!DrainClient(fd, socket, session, acceptsLines))
                return ESimClientEnd::Left;
            RefuseWaitingClients(refuseFrom);
        }
        if (session.CloseRequested())
            return ESimClientEnd::CloseRequested;
        for (const std::string& reply : session.TakeDue()) {
            if (!SendBytes(fd, reply, session.Trickles(), socket, io))
                return io.IsRunning() ? ESimClientEnd::Left : ESimClientEnd::Stopped;
        }
    }
}
