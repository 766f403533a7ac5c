#include "acquisition/meas_thread.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "link/instrument_link.h"
#include "settings/numeric_locale.h"

namespace {

constexpr int kStepQueryTimeoutMs = 100;
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

bool CMeasThread::SendLine(const std::string& command)
{
    return m_link.SendCommand(command);
}

void CMeasThread::Fail()
{
    if (m_linkLost)
        return;
    m_linkLost = true;
    PostMsg(WM_MEAS_ERROR);
}

void CMeasThread::Request(const char* command, ReplyForm form, bool checked, bool bounded)
{
    m_request = command;
    m_form = form;
    m_checked = checked;
    m_bounded = bounded && ReplyTimeoutMs > 0;
    m_sentAt = std::chrono::steady_clock::now();
    if (!SendLine(command))
        Fail();
    Pending = 1;
}

void CMeasThread::RetryOrFail()
{
    if (++m_failures >= 2) {
        Fail();
        return;
    }
    m_sentAt = std::chrono::steady_clock::now();
    if (!SendLine(m_request)) // also forgets the bad line and any late reply
        Fail();
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
            RetryOrFail();
            return false;
        }
        m_failures = 0;
        return true;
    }
    // Sleeps until bytes arrive rather than polling every millisecond; a cleared Running is still
    // seen within the wait.
    if (m_link.WaitForInput(kReplyWaitMs) == WaitResult::Broken) {
        Fail(); // the instrument went away (cable pulled, connection closed): no reply will ever come
        return false;
    }
    if (m_bounded && std::chrono::steady_clock::now() - m_sentAt > std::chrono::milliseconds(ReplyTimeoutMs))
        RetryOrFail();
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

int CMeasThread::QueryScanState()
{
    if (!SendLine("SCAN:STATe?"))
        return 0;
    bool timedOut = false;
    if (m_link.ReceiveReply(timedOut, kStepQueryTimeoutMs) == "1")
        return 1;
    if (!SendLine(":CALCulate:LIMit:JUDGe:TOTal?"))
        return 0;
    const std::string total = m_link.ReceiveReply(timedOut, kStepQueryTimeoutMs);
    if (timedOut)
        return 0;
    ReplyText = Truncated(total);
    SendMsg(WM_MEAS_TOTAL_JUDGE, 0, 0, ReplyText);
    return 2;
}

int CMeasThread::ReadStep(size_t position, bool scroll)
{
    if (position >= Channels.size())
        return 0;
    const uint32_t channel = Channels[position];
    const std::string request = FormatC("%s,%d", ":FETCH? LIMJdge", static_cast<int>(channel));
    std::string reply;
    // A bad or missing reply gets the request once more; a second one fails the scan.
    for (int attempt = 0;; ++attempt) {
        if (!SendLine(request))
            return 0;
        bool timedOut = false;
        reply = m_link.ReceiveReply(timedOut, kStepQueryTimeoutMs);
        if (!timedOut && IsMeasurementReply(reply, ReplyForm::Channel))
            break;
        if (attempt == 1)
            return 0;
    }
    Info = { static_cast<int32_t>(position), static_cast<int32_t>(channel), ResultCount, scroll ? 1 : 0 };
    SendMsg(WM_MEAS_STEP_RESULT, 0, 0, reply);
    const size_t comma = reply.rfind(',');
    const std::string judge = comma == std::string::npos ? reply : reply.substr(comma + 1);
    return judge == "FAIL" || judge == "ERR" ? 2 : 1;
}

int CMeasThread::ReadScan()
{
    if (QueryScanState() == 0)
        return 0;
    int steps = 0;
    for (size_t i = 0; i < Channels.size(); ++i) {
        ++steps;
        const int result = ReadStep(i, false);
        if (result == 0)
            return 0;
        if (result == 2 && FailStop)
            break;
    }
    if (!Running)
        return 1; // stopped meanwhile: the scan is not recorded
    if (RecordTemp)
        (void)ReadTemperature();
    m_events.AckEvent.Reset();
    PostMsg(WM_MEAS_SCAN_DONE, ResultCount, steps);
    (void)m_events.AckEvent.Wait(CManualResetEvent::kInfinite);
    if (RecordResult)
        ++ResultCount;
    return 1;
}

int CMeasThread::ReadScanStep(size_t position)
{
    const int state = QueryScanState();
    if (ReadStep(position, true) == 0)
        return 0;
    if (state != 2 || !RecordResult || !Running)
        return state;
    if (RecordTemp)
        (void)ReadTemperature();
    m_events.AckEvent.Reset();
    PostMsg(WM_MEAS_SCAN_DONE, ResultCount, -1);
    (void)m_events.AckEvent.Wait(CManualResetEvent::kInfinite);
    ++ResultCount;
    return 2;
}

bool CMeasThread::ReadTemperature()
{
    if (!SendLine(":FETC:TEMP?"))
        return false;
    bool timedOut = false;
    const std::string reply = m_link.ReceiveReply(timedOut, kStepQueryTimeoutMs);
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
    const int state = ReadScanStep(static_cast<size_t>(StepIndex));
    if (state == 0) {
        PostMsg(WM_MEAS_ERROR);
        return;
    }
    ++StepIndex;
    // Back to the first channel when the instrument reports the scan complete, and also when it
    // has measured every enabled channel without saying so (the list must not be overrun).
    if (state == 2 || static_cast<size_t>(StepIndex) >= Channels.size())
        StepIndex = 0;
}
