// The main window's side of the worker protocol: what each message shows and records, how the
// worker is re-armed and acknowledged, and the capture timers.
#include <algorithm>
#include <cerrno>
#include <cmath>

#include "acquisition/reply_processing.h"
#include "host/meas_controller.h"
#include "link/instrument_link.h"
#include "settings/file_io.h"
#include "settings/numeric_locale.h"

namespace {

constexpr int kCaptureTimerMs = 10;
constexpr int kMinimumIntervalMs = 10;
constexpr const char* kBadReplyText = "The instrument's replies were not measurement results.";
constexpr const char* kNoReplyWithinText = "No reply within %d ms.";
constexpr const char* kClosedText = "The connection was closed by the instrument.";
constexpr const char* kUnconfirmedText = "The instrument did not answer again after a reply was lost.";

} // namespace

void CMeasController::HandleMessage(const NotifyMessage& message)
{
    switch (message.Msg) {
    case WM_MEAS_RESULT:
        OnResult(message);
        break;
    case WM_MEAS_END:
        OnEnd();
        break;
    case WM_MEAS_ERROR:
        OnError(message);
        break;
    case WM_MEAS_INTERVAL:
        if (Method == CaptureMethod::Interval) {
            const auto ms = static_cast<int>(IntervalSec * 1000.0 + 1e-6);
            m_timers.StartTimer(kIntervalTimer, ms == 0 ? kMinimumIntervalMs : ms);
        }
        break;
    case WM_MEAS_STEP_RESULT:
        if (m_worker != nullptr)
            ShowStepResult(message);
        break;
    case WM_MEAS_STEP_NAME:
        m_display.ShowCurrentChannel(PinOf(static_cast<int>(message.WParam)).Name);
        break;
    case WM_MEAS_TOTAL_JUDGE:
        if (m_worker != nullptr)
            ShowTotalJudgement(message.Text);
        break;
    case WM_MEAS_SCAN_DONE:
        if (m_worker != nullptr)
            OnScanDone(message);
        break;
    case WM_MEAS_CLEAR:
        ClearDisplay(message.WParam);
        break;
    case WM_MEAS_TEMP:
        if (m_worker != nullptr)
            m_temperatureText = message.Text;
        break;
    default:
        break;
    }
}

void CMeasController::OnResult(const NotifyMessage& message)
{
    if (m_worker == nullptr || !m_measuring)
        return;
    if (!m_captureHold) {
        const int number = Method == CaptureMethod::Key ? m_captureCount : message.Info[0];
        ShowSingleResult(message.Text, message.Info[1] != 0 && MayRecord(), number);
    }
    if (m_events == nullptr)
        return; // a recording failure has stopped the acquisition meanwhile
    if (message.Info[2] != 0) {
        m_captureHold = true;
        m_timers.StartTimer(kTriggerTimer, kCaptureTimerMs);
    } else {
        m_events->TriggerEvent.Set();
    }
    m_events->AckEvent.Set();
}

void CMeasController::OnScanDone(const NotifyMessage& message)
{
    if (message.LParam >= 1)
        m_display.ScrollToStepRow(static_cast<int>(message.LParam - 1));
    if (MayRecord())
        RecordCurrent(static_cast<int>(message.WParam));
    if (m_events == nullptr)
        return;
    m_events->AckEvent.Set();
    if (Method == CaptureMethod::Interval)
        m_events->TriggerEvent.Set();
}

void CMeasController::OnEnd()
{
    if (Stop())
        m_display.SetIdle(true, false);
}

std::string MeasFaultText(MeasFault fault, int64_t waitMs)
{
    switch (fault) {
    case MeasFault::BadReply:
        return kBadReplyText;
    case MeasFault::NoReply:
        return FormatC(kNoReplyWithinText, static_cast<int>(waitMs));
    case MeasFault::Closed:
        return kClosedText;
    case MeasFault::Unconfirmed:
        return kUnconfirmedText;
    }
    return {};
}

void CMeasController::OnError(const NotifyMessage& message)
{
    // Several errors may be queued by one failure; the operator is told once, for the acquisition
    // that was running.
    const bool running = m_worker != nullptr;
    if (running)
        m_endedWithError = true;
    if (Stop())
        m_display.SetIdle(true, false);
    if (running)
        m_prompt.ShowMessage(std::string(kFailedToCapture) + "\n"
            + MeasFaultText(static_cast<MeasFault>(message.WParam), message.LParam));
}

void CMeasController::OnTimer(int id)
{
    switch (id) {
    case kIntervalTimer:
        if (Method != CaptureMethod::Interval || m_worker == nullptr || m_events == nullptr)
            return;
        m_events->IntervalEvent.Set();
        if (m_data.MuxOn && m_data.MuxScan)
            m_timers.KillTimer(kIntervalTimer); // one tick per scan; the next scan restarts it
        break;
    case kCaptureTimer:
        if (!m_captureHold)
            return;
        m_captureHold = false;
        m_timers.KillTimer(kCaptureTimer);
        m_display.EnableCapture(true);
        ++m_captureCount;
        if (m_events != nullptr)
            m_events->TriggerEvent.Set();
        break;
    case kTriggerTimer:
        if (!m_captureHold)
            return;
        m_captureHold = false;
        m_timers.KillTimer(kTriggerTimer);
        if (m_events != nullptr)
            m_events->TriggerEvent.Set();
        break;
    default:
        break;
    }
}

void CMeasController::Capture()
{
    if (Method != CaptureMethod::Key || m_worker == nullptr || m_events == nullptr)
        return;
    if (m_data.MuxOn && m_data.MuxScan) {
        m_events->TriggerEvent.Set();
        return;
    }
    m_captureHold = true;
    m_events->TriggerEvent.Reset();
    m_timers.StartTimer(kCaptureTimer, kCaptureTimerMs);
    m_display.EnableCapture(false);
    RecordCurrent(m_captureCount);
}

int CMeasController::ChannelAtPosition(int position) const
{
    if (m_worker == nullptr || m_data.MuxOn == 0 || position < 0)
        return 0;
    if (m_data.MuxScan == 0)
        return position == 0 ? ChannelNo : 0;
    const std::vector<uint32_t>& channels = m_worker->Channels;
    return static_cast<size_t>(position) < channels.size() ? static_cast<int>(channels[static_cast<size_t>(position)])
                                                           : 0;
}

bool CMeasController::MayRecord() const
{
    // A result that arrives after the row limit was reached is shown but not kept (the worker
    // itself marks what comes after Stop).
    return RecordLimit <= 0 || m_rowsRecorded < RecordLimit;
}

void CMeasController::RecordCurrent(int number)
{
    if (m_recorder == nullptr)
        return;
    const int stepCount = m_worker != nullptr ? std::max<int>(1, static_cast<int>(m_worker->Channels.size())) : 1;
    if (m_recorder->Record(
            number, m_steps.Values, m_steps.Comps, m_steps.Judges, m_steps.Names, m_totalText, m_temperatureText)) {
        m_display.RowRecorded(number, m_steps, stepCount, m_totalText, m_temperatureText);
        if (++m_rowsRecorded == RecordLimit) {
            NotifyMessage end;
            end.Msg = WM_MEAS_END;
            m_window.Post(std::move(end));
        }
        return;
    }
    if (m_measuring) {
        const int error = errno; // the recorders leave the system's reason of the refused write
        m_measuring = 0;
        m_endedWithError = true;
        // Told at once (worker messages keep coming meanwhile); Stop adds where the rows are, if
        // closing the destination leaves them elsewhere.
        m_saveFailureTold = true;
        m_prompt.ShowMessage(std::string(kFailedToSaveData) + "\n" + m_recorder->KeptIn() + ": "
            + (error != 0 ? FileErrorText(error) : std::string("the write was refused")));
        if (Stop())
            m_display.SetIdle(true, false);
    }
}

void CMeasController::ShowSingleResult(const std::string& reply, bool record, int number)
{
    m_display.ShowValueTitle(ValueBoxTitle(number));
    const SingleResult result = ProcessSingleResult(reply);
    m_display.ShowValue(result.Value);
    m_display.ShowComp(result.Judge, result.Colour);
    m_steps.Values[0] = result.Value;
    m_steps.Comps[0] = result.Judge;
    if (record)
        RecordCurrent(number);
}

void CMeasController::ShowStepResult(const NotifyMessage& message)
{
    const int position = message.Info[0];
    const int channel = message.Info[1];
    m_display.ShowValueTitle(ValueBoxTitle(message.Info[2]));
    const ChannelResult result = ProcessChannelResult(message.Text);
    if (position >= 0 && static_cast<size_t>(position) < kMaxSteps) {
        const auto index = static_cast<size_t>(position);
        m_steps.Values[index] = result.Value;
        m_steps.Comps[index] = result.Comp;
        m_steps.Judges[index] = result.Judge;
    }
    m_channelJudgeText = result.Judge;
    m_display.ShowValue(result.Value);
    m_display.ShowComp(result.Comp, kCompWhite);
    m_display.ShowCurrentChannel(PinOf(channel).Name);
    m_display.SetStepRow(channel - 1, result.Value, result.Comp, result.Judge, result.JudgeCellColour);
    if (message.Info[3] != 0)
        m_display.ScrollToStepRow(channel - 1);
}

void CMeasController::ShowTotalJudgement(const std::string& reply)
{
    const TotalJudgement total = ProcessTotalJudgement(reply);
    m_totalText = total.Text;
    m_display.ShowTotal(total.Text, total.Colour);
}

void CMeasController::ClearDisplay(int64_t number)
{
    m_display.ShowValue(kNoValue);
    m_display.ShowComp(kNoJudge, kCompWhite);
    m_display.ShowCurrentChannel(kNoChannel);
    m_totalText = kNoTotal;
    m_display.ShowTotal(kNoTotal, kTotalWhite);
    m_display.ShowValueTitle(ValueBoxTitle(number));
    if (m_data.MuxOn && m_data.MuxScan) {
        // Every scan starts from nothing measured: a channel a scan does not reach (fail-stop)
        // is recorded as not measured, never with an earlier scan's reading.
        m_steps.Values.fill(kNoValue);
        m_steps.Comps.fill(kNoJudge);
        m_steps.Judges.fill(kNoJudge);
    }
    if (m_data.MuxOn) {
        BuildStepList();
        m_display.ScrollToStepRow(0);
    }
}

void CMeasController::BuildStepList()
{
    StepTexts names;
    for (int channel = 1; channel <= 42; ++channel)
        names[static_cast<size_t>(channel - 1)] = PinOf(channel).Name;
    m_display.BuildStepList(m_data.MuxOn != 0, names);
}
