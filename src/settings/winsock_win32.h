#pragma once

// Winsock started once for the process and cleaned up at its end (Windows builds only); shared by
// the link and the simulator.
#include <winsock2.h>

[[nodiscard]] inline bool StartWinsock()
{
    class CWinsock {
    public:
        CWinsock() { m_started = WSAStartup(MAKEWORD(2, 2), &m_data) == 0; }
        ~CWinsock()
        {
            if (m_started)
                WSACleanup();
        }
        CWinsock(const CWinsock&) = delete;
        CWinsock& operator=(const CWinsock&) = delete;
        [[nodiscard]] bool Started() const { return m_started; }

    private:
        WSADATA m_data {};
        bool m_started = false;
    };
    static const CWinsock winsock;
    return winsock.Started();
}
