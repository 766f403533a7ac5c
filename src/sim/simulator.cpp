#include "sim/simulator.h"

#include <atomic>
#include <mutex>
#include <thread>

#include "sim/instrument.h"
#include "sim/line_recorder.h"
#include "sim/pty_server.h"
#include "sim/tcp_server.h"

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
    [[nodiscard]] SimSessionFactory Sessions()
    {
        return [this] { return std::make_unique<CSimSession>(instrument, recorder, options); };
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
};

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
