#pragma once

// A loopback peer that answers each received line through a script, for reply forms the
// simulator never produces (replies with extra text, short lists).

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "link/instrument_link.h"
#include "link/test_peer.h"

class CScriptedPeer {
public:
    // The reply to a line, or nothing for no reply.
    using Script = std::function<std::optional<std::string>(const std::string& line)>;

    explicit CScriptedPeer(Script script)
        : m_script(std::move(script))
    {
    }
    ~CScriptedPeer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    CScriptedPeer(const CScriptedPeer&) = delete;
    CScriptedPeer& operator=(const CScriptedPeer&) = delete;

    // Opens the link to this peer and starts answering.
    [[nodiscard]] bool Connect(CInstrumentLink& link)
    {
        link.Interface = InterfaceKind::Lan;
        link.IpAddress = CLoopbackListener::Address();
        link.TcpPort = m_listener.Port();
        if (!link.Open())
            return false;
        const int fd = m_listener.Accept();
        if (fd < 0)
            return false;
        m_thread = std::thread([this, fd] { Serve(fd); });
        return true;
    }

    // Points the link at this peer and serves the first client that connects, for code that
    // opens the link itself.
    void Listen(CInstrumentLink& link)
    {
        link.Interface = InterfaceKind::Lan;
        link.IpAddress = CLoopbackListener::Address();
        link.TcpPort = m_listener.Port();
        m_thread = std::thread([this] {
            const int fd = m_listener.Accept();
            if (fd >= 0)
                Serve(fd);
        });
    }

    std::vector<std::string> Lines() const
    {
        std::lock_guard guard(m_mutex);
        return m_lines;
    }

private:
    void Serve(int fd)
    {
        std::string pending;
        while (!m_stop) {
            if (!ReadSome(fd, pending, 10))
                break;
            size_t end = 0;
            while ((end = pending.find("\r\n")) != std::string::npos) {
                const std::string line = pending.substr(0, end);
                pending.erase(0, end + 2);
                {
                    std::lock_guard guard(m_mutex);
                    m_lines.push_back(line);
                }
                if (const auto reply = m_script(line); reply && !WriteAll(fd, *reply + "\r\n"))
                    break;
            }
        }
        ::close(fd);
    }

    Script m_script;
    CLoopbackListener m_listener;
    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};
