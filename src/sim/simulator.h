#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/sim_options.h"

// The simulated resistance meter: a stateful peer that serves a loopback TCP port and a
// pseudo-terminal (both may run at once, each serving one client after another) on its own threads.
// Instead of simulating, it can also forward its clients to a real instrument and record the
// exchanges, or answer its clients from such a recording.
class CSimulator {
public:
    using Notice = std::function<void(const std::string&)>;

    explicit CSimulator(SimOptions options);
    ~CSimulator(); // stops
    CSimulator(const CSimulator&) = delete;
    CSimulator& operator=(const CSimulator&) = delete;

    // Before starting. Where lines for the operator go (a request a replay has no answer for, an
    // instrument the proxy cannot reach); called from the serving threads.
    void SetNotice(Notice notice);
    // Before starting: forward every client to the instrument at target ("PORT" or "HOST:PORT"),
    // recording the exchanges into recordPath unless it is empty. error says why it cannot.
    [[nodiscard]] bool UseProxy(const std::string& target, const std::string& recordPath, std::string& error);
    // Before starting: answer every client from the recording at path.
    [[nodiscard]] bool UseReplay(const std::string& path, std::string& error);

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
