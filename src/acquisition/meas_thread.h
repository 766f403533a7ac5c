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

// How reading one MUX step ended.
enum class StepRead {
    Lost, // no reply for the channel, also when asked again, or the link failed: the acquisition ends
    Read, // the channel's reply came: judged PASS or OFF
    ReadFailing, // the channel's reply came: judged FAIL or ERR
};

// How the scan-state query ended.
enum class ScanState { Lost, Scanning, Done };

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
    // Sends one line. A link that is out of step (a reply went missing) is resynchronised first, so
    // that the reply read next answers this line; false when the link is gone or could not be
    // resynchronised (the fault is kept for Fail).
    [[nodiscard]] bool SendLine(const std::string& command);
    // A query answered within the step time-out in the given form; a wrong or missing reply puts the
    // link out of step and the query is asked once more after resynchronising. False when neither
    // answer came or the link is gone (the fault is kept for Fail).
    [[nodiscard]] bool QueryStep(const std::string& command, ReplyForm form, std::string& reply);
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
    void RetryOrFail(MeasFault fault);
    // Ends the acquisition once: WM_MEAS_ERROR with the fault; nothing more is sent or awaited.
    void Fail(MeasFault fault);
    void Fail() { Fail(m_fault); }
    [[nodiscard]] bool Resync();
    // The wait for a step query's reply: the instrument's 100 ms, or the learned bound (at most 2 s).
    [[nodiscard]] int StepTimeoutMs() const;
    void EndPass();
    static void SleepMs(int ms);

    void ReadResult();
    [[nodiscard]] ScanState QueryScanState();
    [[nodiscard]] StepRead ReadStep(size_t position, bool scroll);
    // One whole scan: false when the link failed (the steps read so far are still recorded).
    [[nodiscard]] bool ReadScan();
    // STEP scans: Lost, or whether the instrument reports the scan complete.
    [[nodiscard]] ScanState ReadScanStep(size_t position);
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
    MeasFault m_fault = MeasFault::Closed; // why the last send failed
    int m_lastWaitMs = 0; // the reply wait that ran out last (for the operator's message)
    // Twice the round trip the last resynchronisation measured (plus a margin): the replies' waits
    // are lengthened to it once a line has shown that replies take longer than the instrument's.
    int m_learnedBoundMs = 0;
};
