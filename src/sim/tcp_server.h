#pragma once

#include <cstdint>

#include "sim/sim_io.h"

// Serves the instrument on a loopback TCP port, one client at a time: like a single-session LAN
// instrument, it closes at once a client that comes while another is connected.
class CTcpServer {
public:
    CTcpServer(SimSessionFactory newSession, SimIoContext io);
    ~CTcpServer();
    CTcpServer(const CTcpServer&) = delete;
    CTcpServer& operator=(const CTcpServer&) = delete;

    // Binds and listens on 127.0.0.1 (port 0: any free port).
    [[nodiscard]] bool Open(uint16_t port);
    [[nodiscard]] uint16_t Port() const { return m_port; }
    // Thread body: accepts and serves clients until the simulator stops.
    void Run();

private:
    SimSessionFactory m_newSession;
    SimIoContext m_io;
    int m_listenFd = -1;
    uint16_t m_port = 0;
};
