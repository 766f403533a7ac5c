#include "link/instrument_link.h"

#include <algorithm>
#include <chrono>
#include <thread>

std::atomic<bool> MuxSupported { false };

namespace {

constexpr int kQueryContainsTimeoutMs = 500;
constexpr size_t kReplyChunk = 1024;
// The time-out counts silence; the reply as a whole must be in within this many time-outs, so
// that a peer trickling bytes without a line end cannot hold the caller (and the lock).
constexpr int64_t kWholeReplyTimeouts = 2;

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

void PortTableData::Clear()
{
    FriendlyNames.clear();
    PortNames.clear();
    SerialNumbers.clear();
    Labels.clear();
    BaudRates.clear();
    Faults.clear();
}

CInstrumentLink& InstrumentLink()
{
    static CInstrumentLink link;
    return link;
}

std::string CInstrumentLink::DevicePathOf(const std::string& port)
{
    if (port.empty() || port.front() == '/')
        return port;
    return "/dev/" + port;
}

void CInstrumentLink::SetIpOctets(const std::array<int32_t, 4>& octets)
{
    IpOctets = octets;
    IpAddress = 0;
    for (int32_t octet : octets)
        IpAddress = (IpAddress << 8) | (static_cast<uint32_t>(octet) & 0xFFU);
}

bool CInstrumentLink::Open()
{
    return OpenChannel(ComPort, BaudRate, true);
}

bool CInstrumentLink::OpenPort(const std::string& port, uint32_t baud)
{
    return OpenChannel(port, baud, false);
}

bool CInstrumentLink::OpenChannel(const std::string& port, uint32_t baud, bool usePortTable)
{
    IsOpen = 0;
    OutOfStep = false;
    LastFault = ConnectFault::NoPort;
    bool opened = false;
    if (Interface == InterfaceKind::Lan) {
        opened = m_channel.OpenLan(IpAddress, TcpPort);
        LastFault = opened ? ConnectFault::None : ConnectFault::NoConnection;
    } else if (!usePortTable || !PortTable.PortNames.empty()) {
        opened = m_channel.OpenCom(DevicePathOf(port), baud);
        if (opened)
            LastFault = ConnectFault::None;
        else if (m_channel.LastOpenError() == OpenError::InUse)
            LastFault = ConnectFault::PortInUse;
    }
    if (opened) {
        IsOpen = 1;
        m_channel.DrainInput();
    }
    return IsOpen != 0;
}

void CInstrumentLink::Close()
{
    m_channel.Close();
    IsOpen = 0;
    OutOfStep = false;
}

void CInstrumentLink::Pause(int ms) const
{
    const int64_t scaled = int64_t { ms } * PausePercent / 100;
    if (scaled > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(scaled));
}

void CInstrumentLink::ResetLine()
{
    CrSeen = 0;
    LfSeen = 0;
    LineText.clear();
}

bool CInstrumentLink::SendCommand(const std::string& text)
{
    if (!IsOpen)
        return false;
    ResetLine();
    m_channel.DrainInput(); // a late reply to an earlier command must not answer this one
    std::string line;
    line.reserve(text.size() + 2);
    line.append(text).append("\r\n");
    size_t written = 0;
    bool sent = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        sent = m_channel.Send(line.data(), line.size(), written);
    }
    if (sent && LineSent)
        LineSent(); // outside the lock: the watcher may repaint a window
    return sent;
}

bool CInstrumentLink::SendBareLine()
{
    if (!IsOpen)
        return false;
    size_t written = 0;
    std::lock_guard<std::mutex> guard(m_lock);
    return m_channel.Send("\r\n", 2, written);
}

// Reads what is pending (at most 1,024 bytes) and appends it up to the first CR or NUL. The bytes
// after a CR in the same chunk (the LF and anything else) are dropped with it.
bool CInstrumentLink::CollectChunk(std::string& reply, bool& complete, size_t& received)
{
    size_t count = 0;
    if (!m_channel.GetReceivedCount(count) || count == 0)
        return false;
    count = std::min(count, kReplyChunk);
    char chunk[kReplyChunk + 1];
    size_t delivered = 0;
    if (!m_channel.Read(chunk, count, delivered))
        return false;
    chunk[count] = '\0';
    received += count; // NUL bytes add nothing to the reply but count towards its bound
    for (size_t i = 0; i < count; ++i) {
        if (chunk[i] == '\r') {
            chunk[i] = '\0';
            complete = true;
        }
    }
    reply.append(chunk); // stops at the first NUL, as the instrument never sends one inside a reply
    return true;
}

std::string CInstrumentLink::ReceiveReply(bool& timedOut, int timeoutMs)
{
    timedOut = false;
    if (!IsOpen) {
        timedOut = true;
        return {};
    }
    std::string reply;
    std::lock_guard<std::mutex> guard(m_lock);
    LastReplyBytes = 0;
    int64_t lastByte = NowMs();
    const int64_t end = lastByte + kWholeReplyTimeouts * timeoutMs;
    size_t received = 0;
    for (;;) {
        bool complete = false;
        if (CollectChunk(reply, complete, received)) {
            LastReplyBytes = received;
            if (complete)
                return reply;
            lastByte = NowMs();
            if (received > kMaxReplyBytes)
                break;
        }
        const int64_t now = NowMs();
        const int64_t remaining = std::min(timeoutMs - (now - lastByte), end - now);
        if (remaining < 0)
            break;
        if (m_channel.WaitForInput(static_cast<int>(remaining) + 1) == WaitResult::Broken)
            break;
    }
    timedOut = true;
    OutOfStep = true;
    return {};
}

bool CInstrumentLink::PollLine()
{
    if (!IsOpen)
        return false;
    std::lock_guard<std::mutex> guard(m_lock);
    size_t count = 0;
    if (!m_channel.GetReceivedCount(count) || count == 0)
        return false;
    char chunk[CCommChannel::kRxBufferSize];
    size_t delivered = 0;
    (void)m_channel.Read(chunk, std::min(count, sizeof chunk), delivered); // a short read still delivers bytes
    bool result = false;
    for (size_t i = 0; i < delivered; ++i) {
        const char c = chunk[i];
        if (c == '\r')
            CrSeen = 1;
        else if (c == '\n')
            LfSeen = 1;
        else if (LineText.size() < kMaxReplyBytes)
            LineText.push_back(c);
        if (CrSeen && LfSeen)
            result = true;
    }
    return result;
}

bool CInstrumentLink::QueryContains(const std::string& header, bool& found, const char* expected, bool addQuestionMark)
{
    found = false;
    if (!SendCommand(addQuestionMark ? header + "?" : header))
        return false;
    bool timedOut = false;
    const std::string reply = ReceiveReply(timedOut, kQueryContainsTimeoutMs);
    if (timedOut)
        return false;
    found = expected != nullptr && reply.find(expected) != std::string::npos;
    return true;
}
