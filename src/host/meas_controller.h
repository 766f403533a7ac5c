#pragma once

#include <memory>
#include <string>

#include "acquisition/meas_thread.h"
#include "acquisition/meas_workers.h"
#include "acquisition/step_arrays.h"
#include "host/host_interfaces.h"
#include "recording/save_result.h"
#include "settings/meas_set_data.h"
#include "settings/setting_data.h"
#include "settings/user_prompt.h"

class CInstrumentLink;

// Outcome of Start.
enum class StartResult { Started, Failed, RecorderFailed };

// The main window's acquisition logic without a window: the connection check, Start and Stop,
// the MUX preparation, the handlers of the worker's messages, the per-step arrays and display
// state, capture counting and recording. The Qt main window and the command line both drive it;
// every call comes from one thread, the one that handles the worker's messages.
class CMeasController {
public:
    CMeasController(CSettingData& config, MeasSetData& data, CInstrumentLink& link, IUserPrompt& prompt,
        IDisplaySink& display, ITimerService& timers, INotifyWindow& window);
    ~CMeasController();
    CMeasController(const CMeasController&) = delete;
    CMeasController& operator=(const CMeasController&) = delete;

    // 0 success, 1 no interface or no instrument, 2 no response, 3 wrong model or communication error.
    [[nodiscard]] int CheckConnection();
    // Starts an acquisition; on failure everything is stopped again and the operator told.
    StartResult Start();
    // Ends the acquisition; false while the worker cannot end yet (it is retried by WM_MEAS_END).
    [[nodiscard]] bool Stop();
    // The Capture button or the Enter key.
    void Capture();
    void HandleMessage(const NotifyMessage& message);
    void OnTimer(int id);
    // (Re)builds the channel list: 42 rows named from the active pin table with the MUX in use.
    void BuildStepList();

    bool WorkerExists() const { return m_worker != nullptr; }
    // The MUX channel (1..42) whose reading a recorded row holds at a position; 0 when the row
    // holds the front terminals' reading or no acquisition runs.
    [[nodiscard]] int ChannelAtPosition(int position) const;
    bool Measuring() const { return m_measuring != 0; }
    int CaptureCount() const { return m_captureCount; }
    // A capture has been taken and the worker is not yet re-armed (timer 2 pending).
    bool CaptureHeld() const { return m_captureHold; }
    const std::string& StatusText() const { return m_statusText; }
    const StepArrays& Steps() const { return m_steps; }
    const std::string& TotalText() const { return m_totalText; }
    // Rows recorded by the last acquisition, and whether it ended with an error message (capture,
    // recording or workbook failure).
    int RowsRecorded() const { return m_rowsRecorded; }
    bool EndedWithError() const { return m_endedWithError; }

    // The operator's choices (the main window's controls).
    SaveTarget Destination = SaveTarget::File;
    CaptureMethod Method = CaptureMethod::Key;
    std::string FilePath;
    std::string WorkbookPath;
    double IntervalSec = 0.0;
    int32_t Count = 1;
    int32_t ChannelNo = 1;
    // Rows after which the acquisition ends by itself, whatever its method (0: no limit); a
    // result that comes after it is not recorded.
    int32_t RecordLimit = 0;
    // Where the rows of the last run are, once it has stopped: the file, or a workbook's journal.
    std::string KeptIn;

private:
    [[nodiscard]] bool PrepareWorker();
    [[nodiscard]] bool PrepareMux();
    [[nodiscard]] bool OpenRecorder();
    void RecordCurrent(int number);
    void ShowSingleResult(const std::string& reply, bool record, int number);
    void ShowStepResult(const NotifyMessage& message);
    void ShowTotalJudgement(const std::string& reply);
    void ClearDisplay(int64_t number);
    void CloseLink();
    void CloseEvents();
    const MuxPinSet& PinOf(int channel) const;

    void OnResult(const NotifyMessage& message);
    void OnScanDone(const NotifyMessage& message);
    void OnEnd();
    void OnError(const NotifyMessage& message);
    [[nodiscard]] bool MayRecord() const;
    int32_t ReplyTimeoutMs() const;

    CSettingData& m_config;
    MeasSetData& m_data;
    CInstrumentLink& m_link;
    IUserPrompt& m_prompt;
    IDisplaySink& m_display;
    ITimerService& m_timers;
    INotifyWindow& m_window;

    std::unique_ptr<CMeasEvents> m_events;
    std::unique_ptr<CMeasThread> m_worker;
    std::unique_ptr<CSaveResult> m_recorder;
    int32_t m_measuring = 0;
    int32_t m_useLimit = 0;
    int32_t m_captureCount = 0;
    bool m_captureHold = false;
    bool m_endedWithError = false;
    bool m_saveFailureTold = false; // a refused row was told: Stop does not tell it again
    int m_rowsRecorded = 0;
    std::string m_serial;
    std::string m_statusText;
    std::string m_channelJudgeText = "---";
    std::string m_temperatureText;
    std::string m_totalText = "----";
    StepArrays m_steps;
};

inline constexpr const char* kFailedToStart = "Failed to start measurement.";
inline constexpr const char* kFailedToCapture = "Failed to capture measurement results.";

// Why an acquisition failed, as the second line of kFailedToCapture.
[[nodiscard]] std::string MeasFaultText(MeasFault fault, int64_t waitMs);
inline constexpr const char* kFailedToSaveData = "Failed to save data.";
