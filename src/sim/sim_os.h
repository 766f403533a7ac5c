#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The platform under the simulator's serving threads, one source file per platform (POSIX:
// poll, eventfd, sockets; Windows: Winsock 2). Descriptors and sockets are held as int.

struct SimIoContext;

// Poll bits, as POSIX and Winsock both name them.
inline constexpr short kSimIn = 0x0001;
inline constexpr short kSimOut = 0x0004;
inline constexpr short kSimHangUp = 0x0010;
inline constexpr short kSimError = 0x0008;
inline constexpr short kSimInvalid = 0x0020;

// What a non-blocking transfer did: bytes moved, or one of these.
inline constexpr long kSimAgain = -2; // nothing moved now; wait and try again
inline constexpr long kSimFailed = -1;

// The stop signal every wait also watches; -1 when it cannot be made.
[[nodiscard]] int OpenWake();
void SignalWake(int wake);
void CloseWake(int wake);

// One descriptor to wait on (Fd -1: left out) and the events it had.
struct SimWaiter {
    int Fd = -1;
    short Events = kSimIn;
    int Revents = 0;
};
inline constexpr size_t kMaxSimWaiters = 4;

// Waits up to timeoutMs for events on any of the descriptors (at most kMaxSimWaiters); fills in
// their Revents and returns how many had events, 0 on time-out, -1 when woken to stop.
[[nodiscard]] int WaitForAny(SimWaiter* waiters, size_t count, int timeoutMs, const SimIoContext& io);
// Waits up to timeoutMs for events on fd; returns its event bits, 0 on time-out, -1 when woken to stop.
[[nodiscard]] int WaitFor(int fd, short events, int timeoutMs, const SimIoContext& io);
// Sleeps up to ms unless the simulator stops first.
void PauseMs(int ms, const SimIoContext& io);

[[nodiscard]] long SendSome(int fd, const char* bytes, size_t length, bool socket);
// Bytes received; 0 when the peer has gone; kSimAgain or kSimFailed.
[[nodiscard]] long ReceiveSome(int fd, char* buffer, size_t room, bool socket);

// A non-blocking listening socket on 127.0.0.1 (port 0: any free port); -1 on failure.
[[nodiscard]] int ListenLoopback(uint16_t port, uint16_t& bound);
// The next waiting client, non-blocking with TCP_NODELAY; -1 when none.
[[nodiscard]] int AcceptClient(int listening);
// A non-blocking TCP connection with TCP_NODELAY to host (a name or an address) and port, made
// within timeoutMs; -1 when it cannot be made.
[[nodiscard]] int ConnectTcp(const std::string& host, uint16_t port, int timeoutMs, const SimIoContext& io);
void CloseSocket(int socket);
