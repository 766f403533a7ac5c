#pragma once

#include <cstdint>

#include "sim/sim_io.h"

// Serves the instrument on a loopback TCP port, one client after another.
class CTcpServer {
public:
    CTcpServer(CInstrument& instrument, CLineRecorder& recorder, const SimOptions& options, SimIoContext io);
    ~CTcpServer();
    CTcpServer(const CTcpServer&) = delete;
    CTcpServer& operator=(const CTcpServer&) = delete;

    // Binds and listens on 127.0.0.1 (port 0: any free port).
    [[nodiscard]] bool Open(uint16_t port);
    [[nodiscard]] uint16_t Port() const { return m_port; }
    // Thread body: accepts and serves clients until the simulator stops.
    void Run();

private:
    CInstrument& m_instrument;
    CLineRecorder& m_recorder;
    const SimOptions& m_options;
    SimIoContext m_io;
    int m_listenFd = -1;
    uint16_t m_port = 0;
};
