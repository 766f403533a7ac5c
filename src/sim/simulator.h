#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/sim_options.h"

// The simulated resistance meter: a stateful peer that serves a loopback TCP port and a
// pseudo-terminal (both may run at once, each serving one client after another) on its own threads.
class CSimulator {
public:
    explicit CSimulator(SimOptions options);
    ~CSimulator(); // stops
    CSimulator(const CSimulator&) = delete;
    CSimulator& operator=(const CSimulator&) = delete;

    [[nodiscard]] bool StartTcp(uint16_t port = 0); // loopback; 0 = any free port
    uint16_t TcpPort() const;
    [[nodiscard]] bool StartPty(); // creates a pseudo-terminal; PtyPath() is the device to open
    std::string PtyPath() const;
    void Stop();

    // Thread-safe views for tests.
    std::vector<std::string> ReceivedLines() const; // like the transcript
    void ClearReceivedLines();
    void SetChannelResistance(int channel, double ohms);
    void FireTrigger(); // one external trigger event, for tests that count triggers

private:
    struct SImpl;
    std::unique_ptr<SImpl> m_impl;
};
