#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/comm_channel.h"

// The platform's serial ports and TCP sockets under CCommChannel, one source file per platform
// (POSIX: termios and sockets; Windows: the communications API and Winsock 2). Handles are the
// platform's descriptors or handles held as integers; kNoHandle is none. Socket errors come back
// as the Winsock numbers the link speaks (kSocket... in comm_channel.h).
namespace os_channel {

using Handle = intptr_t;
inline constexpr Handle kNoHandle = -1;

// Opens and configures a serial port (8N1, no flow control, RTS on, DTR off) without blocking.
[[nodiscard]] OpenError SerialOpen(const std::string& path, uint32_t baud, Handle& handle);
void SerialClose(Handle handle);
// Discards input not yet read; output still queued is left to go out.
void SerialDiscardInput(Handle handle);
// Writes everything before the deadline and waits, bounded by it, until the bytes have left.
[[nodiscard]] bool SerialWrite(
    Handle handle, const uint8_t* bytes, size_t length, uint32_t baud, std::chrono::steady_clock::time_point deadline);
[[nodiscard]] bool SerialPending(Handle handle, size_t& count);
// Bytes read (0 when none are waiting), or -1 on a failure.
[[nodiscard]] long SerialRead(Handle handle, void* destination, size_t wanted);
[[nodiscard]] WaitResult SerialWait(Handle handle, int timeoutMs);

// Connects within the time-out; kNoHandle with the error number on failure.
[[nodiscard]] Handle SocketConnect(uint32_t address, int port, int timeoutMs, int& error);
// Abortive: the peer reset the connection, so no shutdown handshake is waited for.
void SocketClose(Handle socket, bool abortive);
// Bytes sent (possibly 0), or -1 with the error number (kSocketWouldBlock when the buffer is full).
[[nodiscard]] long SocketSend(Handle socket, const uint8_t* bytes, size_t length, int& error);
// Bytes received, 0 when the peer closed the connection, -1 with the error number.
[[nodiscard]] long SocketReceive(Handle socket, uint8_t* destination, size_t room, int& error);
// Waits until the socket can take more bytes or the time runs out.
void SocketWaitWritable(Handle socket, int timeoutMs);
[[nodiscard]] WaitResult SocketWait(Handle socket, int timeoutMs);

// A dotted IPv4 address as the system's resolver reads it; the first octet in the top byte.
[[nodiscard]] bool ParseIpv4(const std::string& text, uint32_t& address);

} // namespace os_channel
