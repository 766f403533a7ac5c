#pragma once

#include <chrono>
#include <list>
#include <string>
#include <string_view>
#include <vector>

#include "sim/instrument.h"
#include "sim/line_recorder.h"
#include "sim/sim_options.h"

// Longest line kept; the rest of a longer line is dropped and the line is not executed.
constexpr size_t kMaxLineBytes = 16384;

// One client connection: cuts the received bytes into lines, hands them to the instrument and
// holds the replies until they are due, applying the fault options on the way.
class CSimSession {
public:
    using Clock = std::chrono::steady_clock;

    CSimSession(CInstrument& instrument, CLineRecorder& recorder, const SimOptions& options);

    // execute false records the lines without acting on them (the client talks at another line speed).
    void Feed(std::string_view bytes, bool execute);
    // Replies due now, each ended by CR LF, in sending order.
    [[nodiscard]] std::vector<std::string> TakeDue();
    // How long the caller may wait before replies can become due (-1: nothing pending).
    [[nodiscard]] int WaitHintMs() const;
    [[nodiscard]] bool CloseRequested() const { return m_closeRequested; }
    [[nodiscard]] bool Trickles() const { return m_options.Trickle; }

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
    std::string m_line;
    bool m_lastWasCr = false;
    bool m_overflow = false;
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
