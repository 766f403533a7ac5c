#pragma once

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "sim/recording.h"
#include "sim/sim_io.h"

// One reply to a recorded request: the bytes as they go to the client, and how long after the
// request the instrument sent them.
struct SimReplayStep {
    int64_t DelayMs = 0;
    std::string Bytes;
};

// The replies of a recording grouped by the request they follow: a reply belongs to the last line
// its connection sent before it. That is the request it answers for a client that waits for each
// answer, as the instrument link does; for a script that sends on while an answer is outstanding
// it keeps the order the bytes had on the wire. Each request line's occurrences are handed out in
// recorded order, whatever other lines come between them. Thread-safe.
class CReplayBook {
public:
    explicit CReplayBook(const std::vector<SimRecordEntry>& entries);

    // The replies to the next unused occurrence of the line; false when none is left.
    [[nodiscard]] bool Take(const std::string& line, std::vector<SimReplayStep>& steps);
    // Occurrences not handed out yet.
    [[nodiscard]] size_t Unused() const;

private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::deque<std::vector<SimReplayStep>>> m_answers;
};

// A client answered from a recording, with the recorded delays; a line the recording holds no
// (further) answer for gets none, and the notice names it.
class CReplaySession final : public ISimSession {
public:
    using Notice = std::function<void(const std::string&)>;

    CReplaySession(CReplayBook& book, CLineRecorder& recorder, Notice notice);

    void Feed(std::string_view bytes, bool execute) override;
    [[nodiscard]] std::vector<std::string> TakeDue() override;
    [[nodiscard]] int WaitHintMs() const override;
    [[nodiscard]] bool CloseRequested() const override { return false; }

private:
    struct SPending {
        Clock::time_point ReadyAt;
        std::string Bytes;
    };

    void HandleLine(const std::string& line, bool execute);

    CReplayBook& m_book;
    CLineRecorder& m_recorder;
    Notice m_notice;
    CLineCutter m_cutter;
    std::deque<SPending> m_pending; // by ReadyAt
};
