#pragma once

// A small line client for the simulator tests: talks to it over loopback TCP or a pseudo-terminal
// the way the instrument link does (CR LF ended lines, replies read up to their line end).

#include <chrono>
#include <optional>
#include <string>

#include "test_io.h"

#ifndef _WIN32
#include <fcntl.h>
#include <termios.h>
#else
inline constexpr unsigned B9600 = 9600;
inline constexpr unsigned B38400 = 38400;
inline constexpr unsigned B115200 = 115200;
#endif

class CSimClient {
public:
    CSimClient() = default;
    ~CSimClient() { Close(); }
    CSimClient(const CSimClient&) = delete;
    CSimClient& operator=(const CSimClient&) = delete;

    bool ConnectTcp(uint16_t port)
    {
        m_fd = TestTcpSocket();
        // Lines go out at once, as the instrument link sends them.
        if (m_fd >= 0)
            TestNoDelay(m_fd);
        return m_fd >= 0 && TestConnectLoopback(m_fd, port);
    }

#ifndef _WIN32
    bool OpenPty(const std::string& path, speed_t speed = B9600)
    {
        m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios settings {};
        if (m_fd < 0 || ::tcgetattr(m_fd, &settings) != 0)
            return false;
        ::cfmakeraw(&settings);
        return ::cfsetspeed(&settings, speed) == 0 && ::tcsetattr(m_fd, TCSANOW, &settings) == 0
            && ::tcflush(m_fd, TCIOFLUSH) == 0;
    }
#else
    // Windows has no pseudo-terminals; the callers skip first (VX_REQUIRE_PTY).
    bool OpenPty(const std::string&, unsigned = 9600) { return false; }
#endif

    void Close()
    {
        TestClose(m_fd);
        m_fd = -1;
        m_pending.clear();
    }

    bool SendRaw(const std::string& bytes)
    {
        size_t done = 0;
        while (done < bytes.size()) {
            const long n = TestWrite(m_fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }
    bool Send(const std::string& line) { return SendRaw(line + "\r\n"); }

    // The next reply line without its CR LF; nothing when none completes within the wait.
    std::optional<std::string> ReadLine(int timeoutMs = 3000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (true) {
            const size_t end = m_pending.find("\r\n");
            if (end != std::string::npos) {
                std::string line = m_pending.substr(0, end);
                m_pending.erase(0, end + 2);
                return line;
            }
            const auto left
                = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                      .count();
            if (left <= 0)
                return std::nullopt;
            if (TestWaitInput(m_fd, static_cast<int>(left)) <= 0)
                continue;
            char buffer[4096];
            const long n = TestRead(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                return std::nullopt;
            m_pending.append(buffer, static_cast<size_t>(n));
        }
    }

    // True when the peer has closed the connection (read gives end of file) within the wait.
    bool PeerClosed(int timeoutMs = 3000)
    {
        if (TestWaitInput(m_fd, timeoutMs) <= 0)
            return false;
        char buffer[256];
        return TestRead(m_fd, buffer, sizeof buffer) == 0;
    }

    std::string Query(const std::string& line, int timeoutMs = 3000)
    {
        if (!Send(line))
            return "<send failed>";
        return ReadLine(timeoutMs).value_or("<no reply>");
    }

    // Sends a line that must not be answered: the next reply must be the one to "*idn?" after it.
    bool Unanswered(const std::string& line) { return Send(line) && Query("*idn?").rfind("ZORVI,", 0) == 0; }

private:
    int m_fd = -1;
    std::string m_pending;
};
