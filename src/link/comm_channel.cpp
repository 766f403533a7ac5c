#include "link/comm_channel.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
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

namespace {

constexpr size_t kDrainChunk = 1000;
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

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

} // namespace

CCommChannel::CCommChannel() = default;

CCommChannel::~CCommChannel() { Close(); }

bool CCommChannel::OpenCom(const std::string& path, uint32_t baud)
{
    if (m_mode == ChannelMode::Lan)
        Close();
    m_mode = ChannelMode::Com;
    if (m_comFd >= 0)
        return false; // the port already open stays open and usable

    // Non-blocking so that neither the open nor a write can hang on a port without carrier.
    m_comFd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    m_openError = OpenError::None;
    if (m_comFd < 0 || !isatty(m_comFd)) {
        m_openError = OpenError::NoPort;
    } else if (flock(m_comFd, LOCK_EX | LOCK_NB) != 0) {
        m_openError = OpenError::InUse;
    } else if (!ConfigureSerial(baud)) {
        m_openError = OpenError::Settings;
    }
    if (m_openError != OpenError::None) {
        CloseSerial();
        m_mode = ChannelMode::None;
        return false;
    }
    tcflush(m_comFd, TCIOFLUSH);
    m_portPath = path;
    m_baud = baud;
    return true;
}

bool CCommChannel::ConfigureSerial(uint32_t baud)
{
    termios settings {};
    speed_t speed {};
    if (tcgetattr(m_comFd, &settings) != 0 || !SpeedOf(baud, speed))
        return false;
    cfmakeraw(&settings); // 8 data bits, no parity, binary, no echo, no character processing
    settings.c_cflag &= ~(CSTOPB | CRTSCTS | PARENB);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0)
        return false;
    if (tcsetattr(m_comFd, TCSANOW, &settings) != 0)
        return false;
    // RTS asserted, DTR off. Pseudo-terminals have no modem lines and refuse these; that is fine.
    int rts = TIOCM_RTS;
    int dtr = TIOCM_DTR;
    (void)ioctl(m_comFd, TIOCMBIS, &rts);
    (void)ioctl(m_comFd, TIOCMBIC, &dtr);
    return true;
}

bool CCommChannel::OpenLan(uint32_t address, int port)
{
    if (m_mode == ChannelMode::Com)
        Close();
    // A socket still connected from an earlier open is closed rather than leaked.
    if (m_socket >= 0)
        CloseSocket();
    m_mode = ChannelMode::Lan;
    if (!ConnectSocket(address, port)) {
        Close();
        return false;
    }
    const int on = 1;
    (void)setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on); // best effort: only latency
    m_lastSocketError = 0;
    m_rxCount = 0;
    return true;
}

bool CCommChannel::ConnectSocket(uint32_t address, int port)
{
    m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_socket < 0)
        return false;
    sockaddr_in peer {};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<uint16_t>(port));
    peer.sin_addr.s_addr = htonl(address);
    if (::connect(m_socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0)
        return true;
    if (errno != EINPROGRESS) {
        m_lastSocketError = SocketErrorOf(errno);
        return false;
    }
    pollfd waiter { m_socket, POLLOUT, 0 };
    int ready = 0;
    do {
        ready = ::poll(&waiter, 1, ConnectTimeoutMs);
    } while (ready < 0 && errno == EINTR);
    int error = 0;
    socklen_t size = sizeof error;
    if (ready <= 0 || getsockopt(m_socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
        m_lastSocketError = ready == 0 ? kSocketTimedOut : SocketErrorOf(error);
        return false;
    }
    return true;
}

void CCommChannel::Close()
{
    if (m_mode == ChannelMode::Lan) {
        CloseSocket();
        m_mode = ChannelMode::None;
        return;
    }
    m_mode = ChannelMode::None;
    CloseSerial();
}

void CCommChannel::CloseSocket()
{
    if (m_socket < 0)
        return;
    if (m_lastSocketError == kSocketConnReset) {
        // The peer reset the connection: close abortively rather than wait in the shutdown handshake.
        (void)shutdown(m_socket, SHUT_WR);
        const linger abortive { 1, 0 };
        (void)setsockopt(m_socket, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    }
    ::close(m_socket);
    m_socket = -1;
    m_rxCount = 0;
}

void CCommChannel::CloseSerial()
{
    if (m_comFd >= 0)
        ::close(m_comFd);
    m_comFd = -1;
    m_portPath.clear();
}

bool CCommChannel::Send(const void* bytes, size_t length, size_t& written)
{
    const auto* data = static_cast<const uint8_t*>(bytes);
    if (m_mode == ChannelMode::Lan)
        return SendLan(data, length, written);

    written = 0;
    if (m_comFd < 0)
        return false;
    // Unread reply bytes belong to an earlier exchange. Only input is discarded: output still in
    // the driver's queue is the end of the previous command.
    tcflush(m_comFd, TCIFLUSH);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(SendTimeoutMs);
    while (written < length) {
        const ssize_t n = ::write(m_comFd, data + written, length - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        pollfd waiter { m_comFd, POLLOUT, 0 };
        (void)::poll(&waiter, 1, 10); // room in the driver's queue or a retry after 10 ms
    }
    return WaitUntilSent(deadline);
}

// tcdrain with a deadline: a port whose peer holds the line (or a stuck adapter) must not hold
// the caller. Waits about as long as the queued characters take at the line speed.
bool CCommChannel::WaitUntilSent(std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        int queued = 0;
        if (ioctl(m_comFd, TIOCOUTQ, &queued) != 0 || queued <= 0)
            return true; // a device without an output count (a pseudo-terminal) has nothing queued
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        const int64_t transmitMs = int64_t { queued } * kBitsPerCharacter * 1000 / std::max<uint32_t>(m_baud, 1) + 1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count() + 1;
        SleepMs(static_cast<int>(std::min<int64_t>(transmitMs, left)));
    }
}

bool CCommChannel::SendLan(const uint8_t* bytes, size_t length, size_t& written)
{
    written = 0;
    if (m_socket < 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(SendTimeoutMs);
    while (written < length) {
        const ssize_t n = ::send(m_socket, bytes + written, length - written, MSG_NOSIGNAL);
        if (n >= 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (errno == EINTR)
            continue;
        const int error = SocketErrorOf(errno);
        if (error != kSocketWouldBlock || std::chrono::steady_clock::now() >= deadline) {
            m_lastSocketError = error;
            return false; // the connection stays; a later receive tells whether it is gone
        }
        pollfd waiter { m_socket, POLLOUT, 0 };
        (void)::poll(&waiter, 1, 10);
    }
    return true;
}

bool CCommChannel::ReceiveLan()
{
    const ssize_t n = ::recv(m_socket, m_rxBuffer + m_rxCount, kRxBufferSize - m_rxCount, 0);
    if (n > 0) {
        m_rxCount += static_cast<size_t>(n);
        return true;
    }
    if (n == 0) {
        // The instrument closed the connection: nothing more can arrive, so later calls fail at once.
        m_lastSocketError = kSocketDisconnected;
        Close();
        return false;
    }
    const int error = SocketErrorOf(errno);
    if (error != kSocketWouldBlock && errno != EINTR) {
        m_lastSocketError = error;
        Close();
    }
    return false;
}

bool CCommChannel::GetReceivedCount(size_t& count)
{
    count = 0;
    if (m_mode == ChannelMode::Lan) {
        if (m_socket < 0)
            return false;
        // Bytes just received are reported at once, so a drain never stops with a reply still buffered.
        if (m_rxCount == 0 && !ReceiveLan())
            return false;
        count = m_rxCount;
        return true;
    }
    if (m_comFd < 0)
        return false;
    int pending = 0;
    if (ioctl(m_comFd, FIONREAD, &pending) != 0)
        return false;
    count = static_cast<size_t>(std::max(pending, 0));
    return true;
}

bool CCommChannel::Read(void* destination, size_t wanted, size_t& delivered)
{
    delivered = 0;
    if (m_mode == ChannelMode::Lan) {
        if (m_socket < 0)
            return false;
        if (m_rxCount == 0) {
            size_t ignored = 0;
            (void)GetReceivedCount(ignored); // fills the buffer when bytes are waiting
        }
        if (m_rxCount == 0)
            return false;
        const size_t n = std::min(m_rxCount, wanted);
        std::copy_n(m_rxBuffer, n, static_cast<uint8_t*>(destination));
        std::copy(m_rxBuffer + n, m_rxBuffer + m_rxCount, m_rxBuffer);
        m_rxCount -= n;
        delivered = n;
        return true;
    }
    if (m_comFd < 0)
        return false;
    const ssize_t n = ::read(m_comFd, destination, wanted);
    if (n > 0)
        delivered = static_cast<size_t>(n);
    return n >= 0 && static_cast<size_t>(n) == wanted;
}

void CCommChannel::DrainInput()
{
    uint8_t scratch[1024];
    size_t count = 0;
    // A peer that never stops sending (readings streaming in) must not keep the drain for ever.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(DrainLimitMs);
    SleepMs(DrainSettleMs);
    while (GetReceivedCount(count) && count > 0 && std::chrono::steady_clock::now() < deadline) {
        size_t discarded = 0;
        (void)Read(scratch, std::min(count, kDrainChunk), discarded); // the bytes are thrown away either way
        SleepMs(DrainSettleMs);
    }
}

WaitResult CCommChannel::WaitForInput(int timeoutMs)
{
    int fd = -1;
    if (m_mode == ChannelMode::Lan) {
        if (m_rxCount > 0)
            return WaitResult::Ready;
        fd = m_socket;
    } else if (m_mode == ChannelMode::Com) {
        fd = m_comFd;
    }
    if (fd < 0)
        return WaitResult::Broken;
    pollfd waiter { fd, POLLIN, 0 };
    const int ready = ::poll(&waiter, 1, std::max(timeoutMs, 0));
    if (ready == 0 || (ready < 0 && errno == EINTR))
        return WaitResult::Timeout;
    if (ready < 0 || (waiter.revents & POLLNVAL) != 0)
        return WaitResult::Broken;
    if (m_mode == ChannelMode::Lan)
        return WaitResult::Ready; // the next receive reads the data, or finds the end and closes
    // A serial device whose other end is gone reports a hang-up for ever: once what it still holds
    // has been read, it will never deliver again.
    if ((waiter.revents & (POLLHUP | POLLERR)) != 0) {
        int pending = 0;
        if (ioctl(fd, FIONREAD, &pending) != 0 || pending <= 0)
            return WaitResult::Broken;
    }
    return WaitResult::Ready;
}
