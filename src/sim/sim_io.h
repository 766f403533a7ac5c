#pragma once

#include <atomic>
#include <functional>
#include <string_view>

#include "sim/sim_os.h"
#include "sim/sim_session.h"

// What every serving thread shares: the descriptor that wakes all waits when the simulator stops,
// and the flag that says it is running.
struct SimIoContext {
    int WakeFd = -1;
    const std::atomic<bool>* Running = nullptr;
    bool IsRunning() const { return Running != nullptr && Running->load(); }
};

// Writes all bytes (one per millisecond when trickling); false when the peer is gone or on stop.
[[nodiscard]] bool SendBytes(int fd, std::string_view bytes, bool trickle, bool socket, const SimIoContext& io);

enum class ESimClientEnd { Left, CloseRequested, Stopped };

// Serves one client on fd until it leaves, asks to be closed, or the simulator stops. acceptsLines
// says whether received lines are acted on (the pseudo-terminal checks the client's line speed).
// Clients arriving meanwhile on the listening socket refuseFrom (-1: none) are closed at once.
[[nodiscard]] ESimClientEnd ServeClient(int fd, bool socket, ISimSession& session, const SimIoContext& io,
    const std::function<bool()>& acceptsLines, int refuseFrom = -1);

// Accepts and closes every client waiting on the listening socket.
void RefuseWaitingClients(int listening);
