#pragma once

// One zero adjustment of the instrument: mirror the conditions, enable and start it, poll for its
// end, read the values it stored back. The measurement settings dialog drives the steps from its
// 200 ms timer; the command line runs them blocking.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "commands/communicate_meas_data.h"
#include "settings/meas_set_data.h"

inline constexpr const char* kZeroAdjusting = "0 adjusting...";
inline constexpr const char* kZeroAdjustNotExecuted = "0 adjustment was not executed.";
inline constexpr const char* kFailedToStartZeroAdjust = "Failed to start 0ADJ.";
inline constexpr const char* kFailedToCompleteZeroAdjust = "Failed to complete 0ADJ.";
inline constexpr const char* kFailedToLoadSettings = "Failed to load settings.";
inline constexpr int kZeroAdjustPollMs = 200;

// The question before the conditions are mirrored to the instrument for the adjustment.
[[nodiscard]] std::string MirrorQuestionOf(int32_t model);

enum class ZeroAdjustStatus {
    Running, // no answer yet
    Done, // the instrument finished; after Finish the values are in Values()
    Failed, // the system's message has been shown
    Aborted, // stopped by the operator
};

class CZeroAdjustRun {
public:
    // Called on each poll without an answer with the seconds since the start.
    using ProgressFn = std::function<void(double seconds)>;
    // Waits between polls; tests pass one that returns at once.
    using WaitFn = std::function<void(int milliseconds)>;

    CZeroAdjustRun(IUserPrompt& prompt, CInstrumentLink& link);

    void SetProgress(ProgressFn progress) { m_progress = std::move(progress); }
    void SetWait(WaitFn wait) { m_wait = std::move(wait); }

    // Sends the record's conditions first when mirror is set, then enables and starts the
    // adjustment. False: the message has been shown and the link is closed.
    [[nodiscard]] bool Start(const MeasSetData& record, bool mirror);
    // One check for the end. Any answer ends the transfer; a failure shows its message.
    ZeroAdjustStatus Poll();
    // Stops a running adjustment: in MUX mode the scan abort (":ABORt", link closed), then the
    // end of the transfer. Nothing is shown.
    void Abort();
    // Reads the stored values back after Done. False: "Failed to load settings." has been shown.
    [[nodiscard]] bool Finish();
    // After a successful Start: polls to the end and reads the values back, aborting when the flag
    // is raised between polls.
    ZeroAdjustStatus Wait(const std::atomic<bool>& stop);
    // Start, then Wait.
    ZeroAdjustStatus Run(const MeasSetData& record, bool mirror, const std::atomic<bool>& stop);

    // The conditions with the values read back.
    const MeasSetData& Values() const { return *m_record; }

private:
    [[nodiscard]] bool RunCommands(std::initializer_list<int> numbers, bool read);

    IUserPrompt& m_prompt;
    CCommunicateMeasData m_transfer;
    std::unique_ptr<MeasSetData> m_record; // large: kept off the caller's stack
    std::chrono::steady_clock::time_point m_started;
    ProgressFn m_progress;
    WaitFn m_wait;
};
