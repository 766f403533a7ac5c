#pragma once

// Real OS peers for the link tests: a loopback TCP listener and a pseudo-terminal pair. The test
// plays the instrument on the returned descriptor.

#include <chrono>
#include <string>
#include <thread>

#include "test_io.h"

#ifndef _WIN32
#include <pty.h>
#include <termios.h>
#endif

inline void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

inline bool WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const long n = TestWrite(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Appends what arrives within waitMs to `text`: false once the peer has closed, true otherwise
// (with or without new bytes).
inline bool ReadSome(int fd, std::string& text, int waitMs)
{
    if (TestWaitInput(fd, waitMs) <= 0)
        return true;
    char buffer[4096];
    const long n = TestRead(fd, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    text.append(buffer, static_cast<size_t>(n));
    return true;
}

// Reads what arrives within timeoutMs (stops early once `until` has been seen, when given).
inline std::string ReadFor(int fd, int timeoutMs, const std::string& until = {})
{
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!until.empty() && text.find(until) != std::string::npos)
            break;
        if (!ReadSome(fd, text, 10))
            break;
    }
    return text;
}

class CLoopbackListener {
public:
    CLoopbackListener() { m_fd = TestListenLoopback(m_port); }
    ~CLoopbackListener() { TestClose(m_fd); }
    CLoopbackListener(const CLoopbackListener&) = delete;
    CLoopbackListener& operator=(const CLoopbackListener&) = delete;

    int Port() const { return m_port; }
    static uint32_t Address() { return 0x7F000001; }

    // Accepts the next client (the caller closes it); -1 when none comes within 5 s.
    int Accept() const
    {
        if (TestWaitInput(m_fd, 5000) <= 0)
            return -1;
        return TestAccept(m_fd);
    }

private:
    int m_fd = -1;
    int m_port = 0;
};

// On Windows the pair stays empty: the tests that use it are skipped there (VX_REQUIRE_PTY).
class CPtyPair {
public:
    CPtyPair()
    {
#ifndef _WIN32
        int slave = -1;
        char name[256] {};
        if (::openpty(&m_master, &slave, name, nullptr, nullptr) == 0) {
            termios raw {};
            tcgetattr(m_master, &raw);
            cfmakeraw(&raw);
            tcsetattr(m_master, TCSANOW, &raw);
            m_slavePath = name;
            // Keep a slave descriptor open so the master never sees a hang-up between opens.
            m_slaveKeeper = slave;
        }
#endif
    }
    ~CPtyPair()
    {
        TestClose(m_slaveKeeper);
        TestClose(m_master);
    }
    CPtyPair(const CPtyPair&) = delete;
    CPtyPair& operator=(const CPtyPair&) = delete;

    int Master() const { return m_master; }
    const std::string& SlavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    int m_slaveKeeper = -1;
    std::string m_slavePath;
};
