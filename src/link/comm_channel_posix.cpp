// Serial ports with termios and TCP with POSIX sockets.
#include <algorithm>
#include <cerrno>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include "link/os_channel.h"

namespace os_channel {
namespace {

constexpr int kBitsPerCharacter = 10; // start bit, 8 data bits, stop bit

// Maps an errno value to the socket error number the rest of the system knows.
int SocketErrorOf(int error)
{
    switch (error) {
    case EAGAIN:
#if EAGAIN != EWOULDBLOCK
    case EWOULDBLOCK:
#endif
        return kSocketWouldBlock;
    case ECONNRESET:
        return kSocketConnReset;
    case ECONNABORTED:
        return kSocketConnAborted;
    case ENOTCONN:
        return kSocketNotConnected;
    case EPIPE:
        return kSocketShutdown;
    case ETIMEDOUT:
        return kSocketTimedOut;
    case ECONNREFUSED:
        return kSocketConnRefused;
    default:
        return 10000 + error;
    }
}

bool SpeedOf(uint32_t baud, speed_t& speed)
{
    static constexpr struct {
        uint32_t Baud;
        speed_t Speed;
    } kSpeeds[] = { { 1200, B1200 }, { 2400, B2400 }, { 4800, B4800 }, { 9600, B9600 }, { 19200, B19200 },
        { 38400, B38400 }, { 57600, B57600 }, { 115200, B115200 }, { 230400, B230400 }, { 460800, B460800 },
        { 921600, B921600 } };
    for (const auto& entry : kSpeeds) {
        if (entry.Baud == baud) {
            speed = entry.Speed;
            return true;
        }
    }
    return false;
}

bool ConfigureSerial(int fd, uint32_t baud)
{
    termios settings {};
    speed_t speed {};
    if (tcgetattr(fd, &settings) != 0 || !SpeedOf(baud, speed))
        return false;
    cfmakeraw(&settings); // 8 data bits, no parity, binary, no echo, no character processing
    settings.c_cflag &= ~(CSTOPB | CRTSCTS | PARENB);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0)
        return false;
    if (tcsetattr(fd, TCSANOW, &settings) != 0)
        return false;
    // RTS asserted, DTR off. Pseudo-terminals have no modem lines and refuse these; that is fine.
    int rts = TIOCM_RTS;
    int dtr = TIOCM_DTR;
    (void)ioctl(fd, TIOCMBIS, &rts);
    (void)ioctl(fd, TIOCMBIC, &dtr);
    return true;
}

int Fd(Handle handle) { return static_cast<int>(handle); }

// tcdrain with a deadline: a port whose peer holds the line (or a stuck adapter) must not hold
// the caller. Waits about as long as the queued characters take at the line speed.
bool WaitUntilSent(int fd, uint32_t baud, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        int queued = 0;
        if (ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0)
            return true; // a device without an output count (a pseudo-terminal) has nothing queued
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        const int64_t transmitMs = int64_t { queued } * kBitsPerCharacter * 1000 / std::max<uint32_t>(baud, 1) + 1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count() + 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<int64_t>(transmitMs, left)));
    }
}

WaitResult Poll(int fd, int timeoutMs, pollfd& waiter)
{
    waiter = pollfd { fd, POLLIN, 0 };
    const int ready = ::poll(&waiter, 1, std::max(timeoutMs, 0));
    if (ready == 0 || (ready < 0 && errno == EINTR))
        return WaitResult::Timeout;
    if (ready < 0 || (waiter.revents & POLLNVAL) != 0)
        return WaitResult::Broken;
    return WaitResult::Ready;
}

} // namespace

OpenError SerialOpen(const std::string& path, uint32_t baud, Handle& handle)
{
    // Non-blocking so that neither the open nor a write can hang on a port without carrier.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    OpenError error = OpenError::None;
    if (fd < 0 || !isatty(fd))
        error = OpenError::NoPort;
    else if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        error = OpenError::InUse;
    else if (!ConfigureSerial(fd, baud))
        error = OpenError::Settings;
    if (error != OpenError::None) {
        if (fd >= 0)
            ::close(fd);
        handle = kNoHandle;
        return error;
    }
    tcflush(fd, TCIOFLUSH);
    handle = fd;
    return OpenError::None;
}

void SerialClose(Handle handle)
{
    if (handle != kNoHandle)
        ::close(Fd(handle));
}

void SerialDiscardInput(Handle handle) { tcflush(Fd(handle), TCIFLUSH); }

bool SerialWrite(
    Handle handle, const uint8_t* bytes, size_t length, uint32_t baud, std::chrono::steady_clock::time_point deadline)
{
    size_t written = 0;
    while (written < length) {
        const ssize_t n = ::write(Fd(handle), bytes + written, length - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        pollfd waiter { Fd(handle), POLLOUT, 0 };
        (void)::poll(&waiter, 1, 10); // room in the driver's queue or a retry after 10 ms
    }
    return WaitUntilSent(Fd(handle), baud, deadline);
}

bool SerialPending(Handle handle, size_t& count)
{
    int pending = 0;
    if (ioctl(Fd(handle), FIONREAD, &pending) != 0)
        return false;
    count = static_cast<size_t>(std::max(pending, 0));
    return true;
}

long SerialRead(Handle handle, void* destination, size_t wanted)
{
    const ssize_t n = ::read(Fd(handle), destination, wanted);
    if (n < 0)
        return errno == EAGAIN || errno == EINTR ? 0 : -1;
    return static_cast<long>(n);
}

WaitResult SerialWait(Handle handle, int timeoutMs)
{
    pollfd waiter {};
    const WaitResult result = Poll(Fd(handle), timeoutMs, waiter);
    // A serial device whose other end is gone reports a hang-up for ever: once what it still holds
    // has been read, it will never deliver again.
    if (result == WaitResult::Ready && (waiter.revents & (POLLHUP | POLLERR)) != 0) {
        size_t pending = 0;
        if (!SerialPending(handle, pending) || pending == 0)
            return WaitResult::Broken;
    }
    return result;
}

Handle SocketConnect(uint32_t address, int port, int timeoutMs, int& error)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = SocketErrorOf(errno);
        return kNoHandle;
    }
    sockaddr_in peer {};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<uint16_t>(port));
    peer.sin_addr.s_addr = htonl(address);
    bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0;
    if (!connected && errno != EINPROGRESS) {
        error = SocketErrorOf(errno);
    } else if (!connected) {
        pollfd waiter { fd, POLLOUT, 0 };
        int ready = 0;
        do {
            ready = ::poll(&waiter, 1, timeoutMs);
        } while (ready < 0 && errno == EINTR);
        int status = 0;
        socklen_t size = sizeof status;
        if (ready <= 0 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &status, &size) != 0 || status != 0)
            error = ready == 0 ? kSocketTimedOut : SocketErrorOf(status);
        else
            connected = true;
    }
    if (!connected) {
        ::close(fd);
        return kNoHandle;
    }
    const int on = 1;
    (void)setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on); // best effort: only latency
    return fd;
}

void SocketClose(Handle socket, bool abortive)
{
    if (abortive) {
        (void)shutdown(Fd(socket), SHUT_WR);
        const linger abort { 1, 0 };
        (void)setsockopt(Fd(socket), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
    ::close(Fd(socket));
}

long SocketSend(Handle socket, const uint8_t* bytes, size_t length, int& error)
{
    for (;;) {
        const ssize_t n = ::send(Fd(socket), bytes, length, MSG_NOSIGNAL);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno != EINTR) {
            error = SocketErrorOf(errno);
            return -1;
        }
    }
}

long SocketReceive(Handle socket, uint8_t* destination, size_t room, int& error)
{
    const ssize_t n = ::recv(Fd(socket), destination, room, 0);
    if (n >= 0)
        return static_cast<long>(n);
    error = errno == EINTR ? kSocketWouldBlock : SocketErrorOf(errno);
    return -1;
}

void SocketWaitWritable(Handle socket, int timeoutMs)
{
    pollfd waiter { Fd(socket), POLLOUT, 0 };
    (void)::poll(&waiter, 1, timeoutMs);
}

WaitResult SocketWait(Handle socket, int timeoutMs)
{
    pollfd waiter {};
    return Poll(Fd(socket), timeoutMs, waiter);
}

bool ParseIpv4(const std::string& text, uint32_t& address)
{
    in_addr parsed {};
    if (inet_pton(AF_INET, text.c_str(), &parsed) != 1)
        return false;
    address = ntohl(parsed.s_addr);
    return true;
}

} // namespace os_channel
