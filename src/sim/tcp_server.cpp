#include "sim/tcp_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

CTcpServer::CTcpServer(CInstrument& instrument, CLineRecorder& recorder, const SimOptions& options, SimIoContext io)
    : m_instrument(instrument)
    , m_recorder(recorder)
    , m_options(options)
    , m_io(io)
{
}

CTcpServer::~CTcpServer()
{
    if (m_listenFd >= 0)
        ::close(m_listenFd);
}

bool CTcpServer::Open(uint16_t port)
{
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listenFd < 0)
        return false;
    const int on = 1;
    (void)::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on); // only speeds up restarts
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    socklen_t size = sizeof address;
    if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(m_listenFd, 8) != 0
        || ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
        return false;
    }
    m_port = ntohs(address.sin_port);
    return true;
}

void CTcpServer::Run()
{
    while (m_io.IsRunning()) {
        const int events = WaitFor(m_listenFd, POLLIN, 50, m_io);
        if (events < 0)
            return;
        if ((events & POLLIN) == 0)
            continue;
        const int client = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client < 0)
            continue;
        const int on = 1;
        (void)::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on); // latency only
        CSimSession session(m_instrument, m_recorder, m_options);
        const ESimClientEnd end = ServeClient(client, true, session, m_io, [] { return true; });
        ::close(client);
        if (end == ESimClientEnd::Stopped)
            return;
    }
}
