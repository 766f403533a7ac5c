// Windows has no pseudo-terminals: the simulator serves over loopback TCP only there.
#include "sim/pty_server.h"

CPtyServer::CPtyServer(SimSessionFactory newSession, const SimOptions& options, SimIoContext io)
    : m_newSession(std::move(newSession))
    , m_options(options)
    , m_io(io)
{
}

CPtyServer::~CPtyServer() = default;

bool CPtyServer::Open() { return false; }

void CPtyServer::Run() { }

bool CPtyServer::ClientSpeedMatches() const { return false; }

void CPtyServer::IgnoreUntilClientLeaves() { }

unsigned BaudOfSpeed(unsigned) { return 0; }
