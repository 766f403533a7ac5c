#pragma once

#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/instrument.h"
#include "sim/line_cutter.h"
#include "sim/line_recorder.h"
#include "sim/sim_options.h"

// One client connection as the serving loop sees it: the client's bytes go in, the bytes for the
// client come out when they are due.
class ISimSession {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~ISimSession() = default;
    // execute false records the lines without acting on them (the client talks at another line speed).
    virtual void Feed(std::string_view bytes, bool execute) = 0;
    // Bytes due now for the client, in sending order.
    [[nodiscard]] virtual std::vector<std::string> TakeDue() = 0;
    // How long the caller may wait before bytes can become due (-1: nothing pending).
    [[nodiscard]] virtual int WaitHintMs() const = 0;
    [[nodiscard]] virtual bool CloseRequested() const = 0;
    [[nodiscard]] virtual bool Trickles() const { return false; }
    // A descriptor the session also reads from (a proxied instrument), -1 when none; the serving
    // loop calls PullUpstream when it has input or has hung up.
    [[nodiscard]] virtual int UpstreamFd() const { return -1; }
    virtual void PullUpstream() { }
};

// Makes the session for a client that has just come; nothing refuses the client.
using SimSessionFactory = std::function<std::unique_ptr<ISimSession>()>;

// A client of the simulated instrument: cuts the received bytes into lines, hands them to the
// instrument and holds the replies until they are due, applying the fault options on the way.
class CSimSession final : public ISimSession {
public:
    CSimSession(CInstrument& instrument, CLineRecorder& recorder, const SimOptions& options);

    void Feed(std::string_view bytes, bool execute) override;
    // Replies due now, each ended by CR LF, in sending order.
    [[nodiscard]] std::vector<std::string> TakeDue() override;
    [[nodiscard]] int WaitHintMs() const override;
    [[nodiscard]] bool CloseRequested() const override { return m_closeRequested; }
    [[nodiscard]] bool Trickles() const override { return m_options.Trickle; }

private:
    struct SPending {
        SimResponse Response;
        Clock::time_point ReadyAt;
        bool Armed = true; // false while waiting for the trigger
        bool Garble = false;
    };

    void HandleLine(const std::string& line, bool execute);
    void Enqueue(SimResponse response, bool garble);
    // Whether the drop and garble faults hit this line (counts the lines they name).
    bool FaultHits(const std::string& line);

    CInstrument& m_instrument;
    CLineRecorder& m_recorder;
    const SimOptions& m_options;
    CLineCutter m_cutter;
    int m_lineCount = 0;
    int m_faultLines = 0;
    int m_delayLines = 0; // lines naming the delayed command so far
    bool m_closeRequested = false;
    std::list<SPending> m_pending;
    Clock::time_point m_sequenceEnd {};
};

// True when a fault option names this line: its header (with the question mark) or the whole line,
// compared without a leading colon and case-insensitively.
[[nodiscard]] bool FaultNamesLine(const std::string& option, const std::string& line);
// Bytes of the same length that read as nothing sensible and hold no CR or LF.
[[nodiscard]] std::string GarbleText(size_t length);
