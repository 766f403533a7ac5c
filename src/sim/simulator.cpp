#include "sim/simulator.h"

#include <atomic>
#include <mutex>
#include <thread>

#include "sim/instrument.h"
#include "sim/line_recorder.h"
#include "sim/proxy_session.h"
#include "sim/pty_server.h"
#include "sim/replay_session.h"
#include "sim/tcp_server.h"

namespace {

constexpr int kProxyConnectMs = 3000;

} // namespace

struct CSimulator::SImpl {
    explicit SImpl(SimOptions simOptions)
        : options(std::move(simOptions))
        , instrument(options)
        , recorder(options.TranscriptPath)
        , wakeFd(OpenWake())
    {
    }
    ~SImpl() { CloseWake(wakeFd); }
    SImpl(const SImpl&) = delete;
    SImpl& operator=(const SImpl&) = delete;

    SimIoContext Io() const { return { wakeFd, &running }; }
    void StartTicker();
    [[nodiscard]] bool Started() const { return tcp || pty; }
    // The session of a client that has just come; nothing when the proxied instrument cannot be reached.
    [[nodiscard]] std::unique_ptr<ISimSession> NewSession();
    [[nodiscard]] SimSessionFactory Sessions()
    {
        return [this] { return NewSession(); };
    }

    const SimOptions options;
    CInstrument instrument;
    CLineRecorder recorder;
    int wakeFd;
    std::atomic<bool> running { true };
    std::mutex startMutex;
    std::unique_ptr<CTcpServer> tcp;
    std::unique_ptr<CPtyServer> pty;
    std::thread tcpThread;
    std::thread ptyThread;
    std::thread tickerThread;
    Notice notice;
    std::unique_ptr<CReplayBook> replay;
    bool proxy = false;
    std::string proxyHost;
    uint16_t proxyPort = 0;
    std::unique_ptr<CRecordingWriter> recording;
};

std::unique_ptr<ISimSession> CSimulator::SImpl::NewSession()
{
    if (replay)
        return std::make_unique<CReplaySession>(*replay, recorder, notice);
    if (!proxy)
        return std::make_unique<CSimSession>(instrument, recorder, options);
    const int upstream = ConnectTcp(proxyHost, proxyPort, kProxyConnectMs, Io());
    if (upstream < 0) {
        if (notice && running)
            notice("proxy: cannot reach the instrument at " + proxyHost + ":" + std::to_string(proxyPort));
        return nullptr;
    }
    return std::make_unique<CProxySession>(upstream, recording.get(), recorder, Io());
}

void CSimulator::SImpl::StartTicker()
{
    if (options.TriggerEveryMs <= 0 || tickerThread.joinable())
        return;
    tickerThread = std::thread([this] {
        const SimIoContext io = Io();
        while (io.IsRunning()) {
            PauseMs(options.TriggerEveryMs, io);
            if (io.IsRunning())
                instrument.FireTrigger();
        }
    });
}

CSimulator::CSimulator(SimOptions options)
    : m_impl(std::make_unique<SImpl>(std::move(options)))
{
}

CSimulator::~CSimulator()
{
    Stop();
}

void CSimulator::SetNotice(Notice notice)
{
    std::lock_guard lock(m_impl->startMutex);
    if (!m_impl->Started())
        m_impl->notice = std::move(notice);
}

bool CSimulator::UseProxy(const std::string& target, const std::string& recordPath, std::string& error)
{
    std::lock_guard lock(m_impl->startMutex);
    if (m_impl->Started() || m_impl->replay) {
        error = "the proxy must be chosen before serving, instead of a replay";
        return false;
    }
    if (!ParseProxyTarget(target, m_impl->proxyHost, m_impl->proxyPort)) {
        error = "--proxy takes PORT or HOST:PORT, not \"" + target + "\"";
        return false;
    }
    if (!recordPath.empty()) {
        m_impl->recording = std::make_unique<CRecordingWriter>();
        const auto tell = [impl = m_impl.get()](const std::string& line) {
            if (impl->notice)
                impl->notice(line);
        };
        if (!m_impl->recording->Open(recordPath, tell)) {
            error = recordPath + ": cannot be written";
            return false;
        }
    }
    m_impl->proxy = true;
    return true;
}

bool CSimulator::UseReplay(const std::string& path, std::string& error)
{
    std::lock_guard lock(m_impl->startMutex);
    if (m_impl->Started() || m_impl->proxy) {
        error = "the replay must be chosen before serving, instead of a proxy";
        return false;
    }
    std::vector<SimRecordEntry> entries;
    if (!ReadRecording(path, entries, error))
        return false;
    m_impl->replay = std::make_unique<CReplayBook>(entries);
    return true;
}

bool CSimulator::StartTcp(uint16_t port)
{
    std::lock_guard lock(m_impl->startMutex);
    if (m_impl->tcp || m_impl->wakeFd < 0 || !m_impl->running)
        return false;
    auto server = std::make_unique<CTcpServer>(m_impl->Sessions(), m_impl->Io());
    if (!server->Open(port))
        return false;
    m_impl->tcp = std::move(server);
    m_impl->tcpThread = std::thread([server = m_impl->tcp.get()] { server->Run(); });
    m_impl->StartTicker();
    return true;
}

uint16_t CSimulator::TcpPort() const
{
    std::lock_guard lock(m_impl->startMutex);
    return m_impl->tcp ? m_impl->tcp->Port() : 0;
}

bool CSimulator::StartPty()
{
    std::lock_guard lock(m_impl->startMutex);
    if (m_impl->pty || m_impl->wakeFd < 0 || !m_impl->running)
        return false;
    auto server = std::make_unique<CPtyServer>(m_impl->Sessions(), m_impl->options, m_impl->Io());
    if (!server->Open())
        return false;
    m_impl->pty = std::move(server);
    m_impl->ptyThread = std::thread([server = m_impl->pty.get()] { server->Run(); });
    m_impl->StartTicker();
    return true;
}

std::string CSimulator::PtyPath() const
{
    std::lock_guard lock(m_impl->startMutex);
    return m_impl->pty ? m_impl->pty->Path() : std::string();
}

void CSimulator::Stop()
{
    std::lock_guard lock(m_impl->startMutex);
    m_impl->running = false;
    if (m_impl->wakeFd >= 0)
        SignalWake(m_impl->wakeFd);
    for (std::thread* thread : { &m_impl->tcpThread, &m_impl->ptyThread, &m_impl->tickerThread }) {
        if (thread->joinable())
            thread->join();
    }
    m_impl->tcp.reset();
    m_impl->pty.reset();
}

std::vector<std::string> CSimulator::ReceivedLines() const
{
    return m_impl->recorder.Lines();
}

void CSimulator::ClearReceivedLines()
{
    m_impl->recorder.Clear();
}

void CSimulator::SetChannelResistance(int channel, double ohms)
{
    m_impl->instrument.SetChannelResistance(channel, ohms);
}

void CSimulator::FireTrigger()
{
    m_impl->instrument.FireTrigger();
}
