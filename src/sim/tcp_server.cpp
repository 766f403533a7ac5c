#include "sim/tcp_server.h"

CTcpServer::CTcpServer(SimSessionFactory newSession, SimIoContext io)
    : m_newSession(std::move(newSession))
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
        const std::unique_ptr<ISimSession> session = m_newSession();
        ESimClientEnd end = ESimClientEnd::CloseRequested; // no session: the client is closed at once
        if (session)
            end = ServeClient(
                client, true, *session, m_io, [] { return true; }, m_listenFd);
        CloseSocket(client);
        if (end == ESimClientEnd::Stopped)
            return;
    }
}
