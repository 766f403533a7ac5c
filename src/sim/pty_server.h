#pragma once

#include <string>

#include "sim/sim_io.h"

// Serves the instrument on a pseudo-terminal, so that clients go through the real tty layer. The
// master side stays open for the simulator's life; clients open the slave one after another.
class CPtyServer {
public:
    CPtyServer(SimSessionFactory newSession, const SimOptions& options, SimIoContext io);
    ~CPtyServer();
    CPtyServer(const CPtyServer&) = delete;
    CPtyServer& operator=(const CPtyServer&) = delete;

    [[nodiscard]] bool Open();
    [[nodiscard]] const std::string& Path() const { return m_path; }
    // Thread body: serves whoever has the slave open until the simulator stops.
    void Run();

private:
    [[nodiscard]] bool ClientSpeedMatches() const;
    void IgnoreUntilClientLeaves();

    SimSessionFactory m_newSession;
    const SimOptions& m_options;
    SimIoContext m_io;
    int m_master = -1;
    std::string m_path;
};

// The line speed in bits per second of a termios speed code (0 when unknown).
[[nodiscard]] unsigned BaudOfSpeed(unsigned speedCode);
