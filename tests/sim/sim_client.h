#pragma once

// A small line client for the simulator tests: talks to it over loopback TCP or a pseudo-terminal
// the way the instrument link does (CR LF ended lines, replies read up to their line end).

#include <chrono>
#include <optional>
#include <string>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

class CSimClient {
public:
    CSimClient() = default;
    ~CSimClient() { Close(); }
    CSimClient(const CSimClient&) = delete;
    CSimClient& operator=(const CSimClient&) = delete;

    bool ConnectTcp(uint16_t port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        const int on = 1;
        // Lines go out at once, as the instrument link sends them.
        if (m_fd >= 0)
            (void)::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        return m_fd >= 0 && ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }

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

    void Close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        m_pending.clear();
    }

    bool SendRaw(const std::string& bytes)
    {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
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
            pollfd waiter { m_fd, POLLIN, 0 };
            if (::poll(&waiter, 1, static_cast<int>(left)) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                return std::nullopt;
            m_pending.append(buffer, static_cast<size_t>(n));
        }
    }

    // True when the peer has closed the connection (read gives end of file) within the wait.
    bool PeerClosed(int timeoutMs = 3000)
    {
        pollfd waiter { m_fd, POLLIN, 0 };
        if (::poll(&waiter, 1, timeoutMs) <= 0)
            return false;
        char buffer[256];
        return ::read(m_fd, buffer, sizeof buffer) == 0;
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
