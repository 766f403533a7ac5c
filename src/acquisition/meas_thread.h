#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "acquisition/manual_reset_event.h"
#include "acquisition/notify_window.h"
#include "acquisition/reply_check.h"
#include "acquisition/thread_object.h"

class CInstrumentLink;

// The five events of one acquisition. Created by Start and closed by Stop; there is one set,
// because there is never more than one worker.
struct CMeasEvents {
    CManualResetEvent IntervalEvent;
    CManualResetEvent TriggerEvent;
    CManualResetEvent StartEvent;
    CManualResetEvent IdleEvent;
    CManualResetEvent AckEvent;
};

// Replies handed to the window are cut to this many characters.
constexpr size_t kReplyTextChars = 127;

// The shared state and operations of the six acquisition loops.
class CMeasThread : public CThreadObject {
public:
    CMeasThread(INotifyWindow& notifyWnd, CInstrumentLink& link, CMeasEvents& events);

    int32_t MaxCount = 100;
    int32_t Finished = 0;
    int32_t TrgFilter = 0;
    int32_t TrgFilterTime = 0;
    int32_t UseLimit = 0;
    int32_t ScanAuto = 1;
    int32_t StepIndex = 0;
    int32_t MuxUsed = 0;
    int32_t ScanMode = 0;
    std::vector<uint32_t> Channels;
    int32_t RecordTemp = 0;
    std::atomic<int32_t> Running { 1 }; // written by Stop on the window's thread, read by the loop
    int32_t ResultCount = 0;
    std::array<int32_t, 4> Info {};
    int32_t Pending = 0;
    int32_t RecordResult = 1;
    int32_t TrgCaptured = 0;
    int32_t FailStop = 0;
    std::string ReplyText;
    // How long a measurement request may go unanswered before it counts as lost (0: no bound).
    // Waits for the external trigger are never bounded.
    int32_t ReplyTimeoutMs = 0;

protected:
    // Loop pieces shared by the six workers.
    void ResetForStart();
    [[nodiscard]] bool SendLine(const std::string& command);
    // Sends a measurement request. `form` is what its reply must look like (checked only when
    // `checked`); `bounded` says whether a missing reply counts as lost after ReplyTimeoutMs.
    void Request(const char* command, ReplyForm form, bool checked, bool bounded);
    ReplyForm SingleForm() const { return UseLimit ? ReplyForm::ValueAndJudge : ReplyForm::Value; }
    const char* FetchCommand() const { return UseLimit ? ":FETCh? LIMit" : ":FETCh?"; }
    const char* ReadCommand() const { return UseLimit ? ":READ? LIMit" : ":READ?"; }
    void WaitForStartOnce(bool& firstPass);
    // While a request is pending: true when its whole reply has arrived. Waits a little for input
    // when there is none; a link that can no longer deliver is reported once with WM_MEAS_ERROR.
    // A reply that has the wrong form, or none within the bound, gets the request sent once more;
    // a second failure in a row ends the acquisition with WM_MEAS_ERROR.
    [[nodiscard]] bool ReplyArrived();
    void RetryOrFail();
    void Fail();
    void EndPass();
    static void SleepMs(int ms);

    void ReadResult();
    [[nodiscard]] int QueryScanState();
    [[nodiscard]] int ReadStep(size_t position, bool scroll);
    [[nodiscard]] int ReadScan();
    [[nodiscard]] int ReadScanStep(size_t position);
    [[nodiscard]] bool ReadTemperature();
    [[nodiscard]] int SetTriggerMode();
    // STEP scans: announce the channel measured next, as every scan loop does before its go signal.
    void SendStepName();
    // The scan loop of the Capture button (a press measures a scan or a step) and of the external
    // trigger (a ":READ?" is always outstanding and answered after the trigger).
    void RunScanLoop(bool externalTrigger);
    // STEP scans: the reply to ":READ?" has come; read the channel at StepIndex and move on.
    void HandleScanStep();

    void PostMsg(int msg, int64_t wParam = 0, int64_t lParam = 0);
    void SendMsg(int msg, int64_t wParam = 0, int64_t lParam = 0, std::string text = {});

    INotifyWindow& m_notifyWnd;
    CInstrumentLink& m_link;
    CMeasEvents& m_events;
    bool m_linkLost = false; // the acquisition has failed: nothing more is sent or awaited
    std::string m_request; // the outstanding measurement request
    ReplyForm m_form = ReplyForm::Value;
    bool m_checked = false;
    bool m_bounded = false;
    int m_failures = 0; // bad or missing replies in a row
    std::chrono::steady_clock::time_point m_sentAt;
};
