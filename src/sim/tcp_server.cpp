#include "sim/tcp_server.h"


CTcpServer::CTcpServer(CInstrument& instrument, CLineRecorder& recorder, const SimOptions& options, SimIoContext io)
    : m_instrument(instrument)
    , m_recorder(recorder)
    , m_options(options)
    , m_io(io)
{
}

CTcpServer::~CTcpServer() { CloseSocket(m_listenFd); }

bool CTcpServer::Open(uint16_t port)
{
    m_listenFd = ListenLoopback(port, m_port);
    return m_listenFd >= 0;
}

void CTcpServer::Run()
{
    while (m_io.IsRunning()) {
        const int events = WaitFor(m_listenFd, kSimIn, 50, m_io);
        if (events < 0)
            return;
        if ((events & kSimIn) == 0)
            continue;
        const int client = AcceptClient(m_listenFd);
        if (client < 0)
            continue;
        CSimSession session(m_instrument, m_recorder, m_options);
        const ESimClientEnd end = ServeClient(client, true, session, m_io, [] { return true; });
        CloseSocket(client);
        if (end == ESimClientEnd::Stopped)
            return;
    }
}
