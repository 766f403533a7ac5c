#include "acquisition/meas_thread.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "link/instrument_link.h"
#include "link/resync.h"
#include "settings/numeric_locale.h"

namespace {

constexpr int kStepQueryTimeoutMs = 100;
constexpr int kMaxStepTimeoutMs = 2000;
constexpr int kTriggerSourceTimeoutMs = 1000;
constexpr int kReplyWaitMs = 20;

std::string Truncated(std::string text)
{
    if (text.size() > kReplyTextChars)
        text.resize(kReplyTextChars);
    return text;
}

} // namespace

CMeasThread::CMeasThread(INotifyWindow& notifyWnd, CInstrumentLink& link, CMeasEvents& events)
    : m_notifyWnd(notifyWnd)
    , m_link(link)
    , m_events(events)
{
}

void CMeasThread::SleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void CMeasThread::ResetForStart()
{
    Finished = 0;
    ResultCount = 0;
    Pending = 0;
    RecordResult = 1;
    TrgCaptured = 0;
    m_link.ResetLine();
}

bool CMeasThread::Resync()
{
    ResyncBounds bounds;
    // The identity may take as long as the wait that just ran out.
    bounds.ConfirmMs = std::max({ bounds.ConfirmMs, 2 * StepTimeoutMs(), m_lastWaitMs });
    bounds.TotalMs = std::max(bounds.TotalMs, 3 * bounds.ConfirmMs);
    bounds.Running = &Running;
    int roundTripMs = 0;
    switch (Resynchronise(m_link, bounds, roundTripMs)) {
    case ResyncResult::InStep:
        // Replies on this line take this long: waiting less would only lose the next one too.
        m_learnedBoundMs = std::max(m_learnedBoundMs, 2 * roundTripMs + kStepQueryTimeoutMs);
        return true;
    case ResyncResult::NoConfirmation:
        m_fault = MeasFault::Unconfirmed;
        return false;
    case ResyncResult::Broken:
        break;
    }
    m_fault = MeasFault::Closed;
    return false;
}

int CMeasThread::StepTimeoutMs() const
{
    return std::clamp(m_learnedBoundMs, kStepQueryTimeoutMs, kMaxStepTimeoutMs);
}

bool CMeasThread::SendLine(const std::string& command)
{
    if (m_link.OutOfStep && !Resync())
        return false;
    if (m_link.SendCommand(command))
        return true;
    m_fault = MeasFault::Closed;
    return false;
}

bool CMeasThread::QueryStep(const std::string& command, ReplyForm form, std::string& reply)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!SendLine(command))
            return false;
        bool timedOut = false;
        reply = m_link.ReceiveReply(timedOut, StepTimeoutMs());
        if (!timedOut && IsMeasurementReply(reply, form))
            return true;
        m_link.OutOfStep = true; // a wrong line may be a late answer to an earlier request
        m_fault = timedOut ? MeasFault::NoReply : MeasFault::BadReply;
        m_lastWaitMs = StepTimeoutMs();
    }
    reply.clear();
    return false;
}

void CMeasThread::Fail(MeasFault fault)
{
    if (m_linkLost)
        return;
    m_linkLost = true;
    PostMsg(WM_MEAS_ERROR, static_cast<int64_t>(fault), fault == MeasFault::NoReply ? m_lastWaitMs : 0);
}

void CMeasThread::Request(const char* command, ReplyForm form, bool checked, bool bounded)
{
    m_request = command;
    m_form = form;
    m_checked = checked;
    m_bounded = bounded && ReplyTimeoutMs > 0;
    Pending = 1;
    if (!SendLine(command))
        Fail();
    m_sentAt = std::chrono::steady_clock::now(); // after a resynchronisation the wait starts now
}

void CMeasThread::RetryOrFail(MeasFault fault)
{
    // Whatever the reply was, or whenever it comes, it must not answer the request sent next.
    m_link.OutOfStep = true;
    if (++m_failures >= 2) {
        Fail(fault);
        return;
    }
    if (!SendLine(m_request))
        Fail();
    m_sentAt = std::chrono::steady_clock::now();
}

void CMeasThread::WaitForStartOnce(bool& firstPass)
{
    if (!firstPass)
        return;
    firstPass = false;
    (void)m_events.StartEvent.Wait(CManualResetEvent::kInfinite); // Stop sets it too, so this always ends
}

bool CMeasThread::ReplyArrived()
{
    if (m_linkLost)
        return false;
    if (m_link.PollLine()) {
        if (m_checked && !IsMeasurementReply(m_link.LineText, m_form)) {
            RetryOrFail(MeasFault::BadReply);
            return false;
        }
        m_failures = 0;
        return true;
    }
    // Sleeps until bytes arrive rather than polling every millisecond; a cleared Running is still
    // seen within the wait.
    if (m_link.WaitForInput(kReplyWaitMs) == WaitResult::Broken) {
        Fail(MeasFault::Closed); // the instrument went away (cable pulled, connection closed): no reply will ever come
        return false;
    }
    const int boundMs = std::max(ReplyTimeoutMs, m_learnedBoundMs);
    if (m_bounded && std::chrono::steady_clock::now() - m_sentAt > std::chrono::milliseconds(boundMs)) {
        m_lastWaitMs = boundMs;
        RetryOrFail(MeasFault::NoReply);
    }
    return false;
}

void CMeasThread::EndPass()
{
    // Every working pass has already blocked (on an event, on the descriptor or on the window), so
    // the 1 ms pause is kept only for the passes that would otherwise spin: an interval run that
    // has finished, or a link that is gone.
    if (Finished || m_linkLost)
        SleepMs(1);
}

void CMeasThread::PostMsg(int msg, int64_t wParam, int64_t lParam)
{
    NotifyMessage message;
    message.Msg = msg;
    message.WParam = wParam;
    message.LParam = lParam;
    m_notifyWnd.Post(std::move(message));
}

void CMeasThread::SendMsg(int msg, int64_t wParam, int64_t lParam, std::string text)
{
    NotifyMessage message;
    message.Msg = msg;
    message.WParam = wParam;
    message.LParam = lParam;
    message.Text = Truncated(std::move(text));
    message.Info = Info;
    m_notifyWnd.Send(std::move(message));
}

void CMeasThread::ReadResult()
{
    const std::string reply = m_link.LineText;
    if (RecordTemp)
        (void)ReadTemperature();
    ReplyText = Truncated(reply);
    // A result that comes after Stop is shown at most, never recorded.
    Info = { ResultCount, RecordResult && Running ? 1 : 0, TrgCaptured ? 1 : 0, 0 };
    Pending = 0;
    m_events.AckEvent.Reset();
    NotifyMessage message;
    message.Msg = WM_MEAS_RESULT;
    message.Text = ReplyText;
    message.Info = Info;
    m_notifyWnd.Post(std::move(message));
    (void)m_events.AckEvent.Wait(CManualResetEvent::kInfinite);
    if (RecordResult)
        ++ResultCount;
}

ScanState CMeasThread::QueryScanState()
{
    std::string state;
    if (!QueryStep("SCAN:STATe?", ReplyForm::ScanState, state))
        return ScanState::Lost;
    if (state == "1")
        return ScanState::Scanning;
    std::string total;
    if (!QueryStep(":CALCulate:LIMit:JUDGe:TOTal?", ReplyForm::TotalJudge, total))
        return ScanState::Lost;
    ReplyText = Truncated(total);
    SendMsg(WM_MEAS_TOTAL_JUDGE, 0, 0, ReplyText);
    return ScanState::Done;
}

StepRead CMeasThread::ReadStep(size_t position, bool scroll)
{
    if (position >= Channels.size())
        return StepRead::Lost;
    const uint32_t channel = Channels[position];
    const std::string request = FormatC("%s,%d", ":FETCH? LIMJdge", static_cast<int>(channel));
    std::string reply;
    // Never another channel's reply: a step that cannot be read keeps its not-measured texts.
    if (!QueryStep(request, ReplyForm::Channel, reply))
        return StepRead::Lost;
    Info = { static_cast<int32_t>(position), static_cast<int32_t>(channel), ResultCount, scroll ? 1 : 0 };
    SendMsg(WM_MEAS_STEP_RESULT, 0, 0, reply);
    const size_t comma = reply.rfind(',');
    const std::string judge = comma == std::string::npos ? reply : reply.substr(comma + 1);
    return judge == "FAIL" || judge == "ERR" ? StepRead::ReadFailing : StepRead::Read;
}

bool CMeasThread::ReadScan()
{
    if (QueryScanState() == ScanState::Lost)
        return false;
    int steps = 0;
    bool lost = false;
    for (size_t i = 0; i < Channels.size(); ++i) {
        const StepRead result = ReadStep(i, false);
        if (result == StepRead::Lost) {
            lost = true;
            break;
        }
        ++steps;
        if (result == StepRead::ReadFailing && FailStop)
            break;
    }
    // Stopped meanwhile: the scan is not recorded. A scan cut short by a failure is recorded when
    // it has readings: those are real, the channels after them stay not measured.
    if (!Running || (lost && steps == 0))
        return !lost;
    if (RecordTemp && !lost)
        (void)ReadTemperature();
    m_events.AckEvent.Reset();
    PostMsg(WM_MEAS_SCAN_DONE, ResultCount, steps);
    (void)m_events.AckEvent.Wait(CManualResetEvent::kInfinite);
    if (RecordResult)
        ++ResultCount;
    return !lost;
}

ScanState CMeasThread::ReadScanStep(size_t position)
{
    const ScanState state = QueryScanState();
    if (state == ScanState::Lost || ReadStep(position, true) == StepRead::Lost)
        return ScanState::Lost;
    if (state != ScanState::Done || !RecordResult || !Running)
        return state;
    if (RecordTemp)
        (void)ReadTemperature();
    m_events.AckEvent.Reset();
    PostMsg(WM_MEAS_SCAN_DONE, ResultCount, -1);
    (void)m_events.AckEvent.Wait(CManualResetEvent::kInfinite);
    ++ResultCount;
    return ScanState::Done;
}

bool CMeasThread::ReadTemperature()
{
    if (!SendLine(":FETC:TEMP?"))
        return false;
    bool timedOut = false;
    const std::string reply = m_link.ReceiveReply(timedOut, StepTimeoutMs()); // a lost one puts the link out of step
    SendMsg(WM_MEAS_TEMP, 0, 0, reply);
    return true;
}

int CMeasThread::SetTriggerMode()
{
    bool timedOut = false;
    std::string reply;
    if (SendLine(":trig:sour?"))
        reply = m_link.ReceiveReply(timedOut, kTriggerSourceTimeoutMs);
    if (reply.compare(0, 3, "IMM") == 0) {
        (void)SendLine(":init:cont on"); // a refused line shows up as a missing reply later
        return 0;
    }
    (void)SendLine(":init:cont off");
    return 1;
}

void CMeasThread::SendStepName()
{
    if (!ScanAuto && static_cast<size_t>(StepIndex) < Channels.size())
        SendMsg(WM_MEAS_STEP_NAME, Channels[static_cast<size_t>(StepIndex)]);
}

void CMeasThread::HandleScanStep()
{
    if (StepIndex == 0)
        SendMsg(WM_MEAS_CLEAR, ResultCount);
    const ScanState state = ReadScanStep(static_cast<size_t>(StepIndex));
    if (state == ScanState::Lost) {
        Fail();
        return;
    }
    ++StepIndex;
    // Back to the first channel when the instrument reports the scan complete, and also when it
    // has measured every enabled channel without saying so (the list must not be overrun).
    if (state == ScanState::Done || static_cast<size_t>(StepIndex) >= Channels.size())
        StepIndex = 0;
}
