#include "sim/proxy_session.h"

#include "settings/numeric_locale.h"

bool ParseProxyTarget(const std::string& text, std::string& host, uint16_t& port)
{
    const size_t colon = text.rfind(':');
    std::string portText = text;
    host = "127.0.0.1";
    if (colon != std::string::npos) {
        host = text.substr(0, colon);
        portText = text.substr(colon + 1);
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
            host = host.substr(1, host.size() - 2);
        else if (host.find(':') != std::string::npos)
            return false; // an IPv6 address needs its brackets, or its last group reads as the port
    }
    int32_t number = 0;
    if (host.empty() || !ParseInt32C(portText, number) || number < 1 || number > 65535)
        return false;
    port = static_cast<uint16_t>(number);
    return true;
}

CProxySession::CProxySession(int upstream, CRecordingWriter* recording, CLineRecorder& recorder, SimIoContext io)
    : m_upstream(upstream)
    , m_recording(recording)
    , m_recorder(recorder)
    , m_io(io)
{
    Record(ERecordKind::Connect, {});
}

CProxySession::~CProxySession()
{
    if (m_upstream >= 0)
        EndUpstream();
}

void CProxySession::Record(ERecordKind kind, std::string_view bytes)
{
    if (m_recording != nullptr)
        m_recording->Write(kind, bytes);
}

void CProxySession::Feed(std::string_view bytes, bool execute)
{
    m_cutter.Feed(
        bytes,
        [this, execute](const std::string& line, bool) {
            m_recorder.Record(line);
            if (execute)
                Record(ERecordKind::Request, line);
        },
        [] { return false; });
    if (execute && m_upstream >= 0 && !SendBytes(m_upstream, bytes, false, true, m_io))
        EndUpstream();
}

void CProxySession::PullUpstream()
{
    if (m_upstream < 0)
        return;
    char buffer[4096];
    const long n = ReceiveSome(m_upstream, buffer, sizeof buffer, true);
    if (n == kSimAgain)
        return;
    if (n <= 0) {
        EndUpstream();
        return;
    }
    const std::string_view bytes(buffer, static_cast<size_t>(n));
    m_toClient.append(bytes);
    RecordReplies(bytes);
}

void CProxySession::RecordReplies(std::string_view bytes)
{
    m_replyLine.append(bytes);
    for (size_t end = m_replyLine.find('\n'); end != std::string::npos; end = m_replyLine.find('\n')) {
        const std::string chunk = m_replyLine.substr(0, end + 1);
        m_replyLine.erase(0, end + 1);
        if (chunk.size() >= 2 && chunk[chunk.size() - 2] == '\r')
            Record(ERecordKind::Reply, std::string_view(chunk).substr(0, chunk.size() - 2));
        else
            Record(ERecordKind::Fragment, chunk);
    }
    if (m_replyLine.size() > kMaxLineBytes) {
        Record(ERecordKind::Fragment, m_replyLine); // an endless line is recorded in pieces
        m_replyLine.clear();
    }
}

void CProxySession::EndUpstream()
{
    if (!m_replyLine.empty())
        Record(ERecordKind::Fragment, m_replyLine);
    m_replyLine.clear();
    CloseSocket(m_upstream);
    m_upstream = -1;
}

std::vector<std::string> CProxySession::TakeDue()
{
    if (m_toClient.empty())
        return {};
    std::vector<std::string> due { std::move(m_toClient) };
    m_toClient.clear();
    return due;
}
