// The byte pipe's rules, the same on every platform: one transport at a time, the LAN receive
// buffer, bounded sends and drains. The platform's devices are behind os_channel.
#include "link/comm_channel.h"

#include <algorithm>
#include <thread>

#include "link/os_channel.h"

namespace {

constexpr size_t kDrainChunk = 1000;

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

} // namespace

CCommChannel::CCommChannel() = default;

CCommChannel::~CCommChannel() { Close(); }

bool CCommChannel::OpenCom(const std::string& path, uint32_t baud)
{
    if (m_mode == ChannelMode::Lan)
        Close();
    m_mode = ChannelMode::Com;
    if (m_com != os_channel::kNoHandle)
        return false; // the port already open stays open and usable
    m_openError = os_channel::SerialOpen(path, baud, m_com);
    if (m_openError != OpenError::None) {
        CloseSerial();
        m_mode = ChannelMode::None;
        return false;
    }
    m_portPath = path;
    m_baud = baud;
    return true;
}

bool CCommChannel::OpenLan(uint32_t address, int port)
{
    if (m_mode == ChannelMode::Com)
        Close();
    // A socket still connected from an earlier open is closed rather than leaked.
    if (m_socket != os_channel::kNoHandle)
        CloseSocket();
    m_mode = ChannelMode::Lan;
    int error = 0;
    m_socket = os_channel::SocketConnect(address, port, ConnectTimeoutMs, error);
    if (m_socket == os_channel::kNoHandle) {
        m_lastSocketError = error;
        Close();
        return false;
    }
    m_lastSocketError = 0;
    m_rxCount = 0;
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
    if (m_socket == os_channel::kNoHandle)
        return;
    // The peer reset the connection: close abortively rather than wait in the shutdown handshake.
    os_channel::SocketClose(m_socket, m_lastSocketError == kSocketConnReset);
    m_socket = os_channel::kNoHandle;
    m_rxCount = 0;
}

void CCommChannel::CloseSerial()
{
    os_channel::SerialClose(m_com);
    m_com = os_channel::kNoHandle;
    m_portPath.clear();
}

bool CCommChannel::Send(const void* bytes, size_t length, size_t& written)
{
    const auto* data = static_cast<const uint8_t*>(bytes);
    if (m_mode == ChannelMode::Lan)
        return SendLan(data, length, written);

    written = 0;
    if (m_com == os_channel::kNoHandle)
        return false;
    // Unread reply bytes belong to an earlier exchange. Only input is discarded: output still in
    // the driver's queue is the end of the previous command.
    os_channel::SerialDiscardInput(m_com);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(SendTimeoutMs);
    if (!os_channel::SerialWrite(m_com, data, length, m_baud, deadline))
        return false;
    written = length;
    return true;
}

bool CCommChannel::SendLan(const uint8_t* bytes, size_t length, size_t& written)
{
    written = 0;
    if (m_socket == os_channel::kNoHandle)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(SendTimeoutMs);
    while (written < length) {
        int error = 0;
        const long n = os_channel::SocketSend(m_socket, bytes + written, length - written, error);
        if (n >= 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (error != kSocketWouldBlock || std::chrono::steady_clock::now() >= deadline) {
            m_lastSocketError = error;
            return false; // the connection stays; a later receive tells whether it is gone
        }
        os_channel::SocketWaitWritable(m_socket, 10);
    }
    return true;
}

bool CCommChannel::ReceiveLan()
{
    int error = 0;
    const long n = os_channel::SocketReceive(m_socket, m_rxBuffer + m_rxCount, kRxBufferSize - m_rxCount, error);
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
    if (error != kSocketWouldBlock) {
        m_lastSocketError = error;
        Close();
    }
    return false;
}

bool CCommChannel::GetReceivedCount(size_t& count)
{
    count = 0;
    if (m_mode == ChannelMode::Lan) {
        if (m_socket == os_channel::kNoHandle)
            return false;
        // Bytes just received are reported at once, so a drain never stops with a reply still buffered.
        if (m_rxCount == 0 && !ReceiveLan())
            return false;
        count = m_rxCount;
        return true;
    }
    return m_com != os_channel::kNoHandle && os_channel::SerialPending(m_com, count);
}

bool CCommChannel::Read(void* destination, size_t wanted, size_t& delivered)
{
    delivered = 0;
    if (m_mode == ChannelMode::Lan) {
        if (m_socket == os_channel::kNoHandle)
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
    if (m_com == os_channel::kNoHandle)
        return false;
    const long n = os_channel::SerialRead(m_com, destination, wanted);
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
    if (m_mode == ChannelMode::Lan) {
        if (m_rxCount > 0)
            return WaitResult::Ready;
        // Ready: the next receive reads the data, or finds the end and closes.
        return m_socket == os_channel::kNoHandle ? WaitResult::Broken : os_channel::SocketWait(m_socket, timeoutMs);
    }
    if (m_mode == ChannelMode::Com && m_com != os_channel::kNoHandle)
        return os_channel::SerialWait(m_com, timeoutMs);
    return WaitResult::Broken;
}
