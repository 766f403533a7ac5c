#include "host/meas_controller.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <thread>

#include "link/identification.h"
#include "link/instrument_link.h"
#include "settings/file_io.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

constexpr int kStopSettleMs = 50;
constexpr int kStopIdleWaitMs = 1;
constexpr int kStopEndWaitMs = 100;

void SleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

CMeasController::CMeasController(CSettingData& config, MeasSetData& data, CInstrumentLink& link, IUserPrompt& prompt,
    IDisplaySink& display, ITimerService& timers, INotifyWindow& window)
    : m_config(config)
    , m_data(data)
    , m_link(link)
    , m_prompt(prompt)
    , m_display(display)
    , m_timers(timers)
    , m_window(window)
{
}

CMeasController::~CMeasController()
{
    // A worker left running would outlive the objects it reports to: end it whatever it costs.
    if (m_worker != nullptr) {
        m_worker->Running = 0;
        if (m_events != nullptr) {
            m_events->StartEvent.Set();
            m_events->AckEvent.Set();
        }
        (void)m_worker->WaitForEnd(60000);
    }
}

void CMeasController::CloseLink()
{
    m_link.Close();
}

int CMeasController::CheckConnection()
{
    if (!m_link.Open()) {
        m_statusText = WithConnectCause("Failed to open interface.", m_link);
        return 1;
    }
    m_useLimit = m_config.SaveJudge;
    std::string maker;
    std::string model;
    bool supported = false;
    if (!Identify(m_link, maker, model, m_serial, supported)) {
        m_link.IsOpen = 0;
        // The same causes as the identification and the port search give (echo, line end, silence).
        m_statusText = WithConnectCause("No response.", m_link);
        return 2;
    }
    const int32_t code = ModelCodeOfName(model);
    if (code == 0) {
        m_statusText = "VX620x is not connected.";
        return 1;
    }
    if (code != m_config.ModelCode) {
        m_statusText = "The model setting and the model of the connection destination are different.";
        return 3;
    }
    m_display.ShowSerial(m_serial);
    if (IsMuxModel(code)) {
        bool front = false;
        bool scanOff = false;
        bool scanAuto = false;
        if (!m_link.QueryContains("CH", front, "FRONT", true)
            || !m_link.QueryContains("SCAN:MODE", scanOff, "OFF", true)
            || !m_link.QueryContains("SCAN:MODE", scanAuto, "AUTO", true)) {
            m_statusText = "Communication error.";
            return 3;
        }
        m_data.MuxOn = front ? 0 : 1;
        m_data.MuxScan = scanOff ? 0 : 1;
        m_data.MuxScanMethod = scanAuto ? 1 : 0;
    } else {
        m_data.MuxOn = 0;
        m_data.MuxScan = 0;
    }
    m_statusText.clear();
    return 0;
}

const MuxPinSet& CMeasController::PinOf(int channel) const
{
    const auto index = static_cast<size_t>(std::clamp(channel, 1, 42) - 1);
    return m_data.MuxMeasMethod == 1 ? m_data.Pins2Wire[index] : m_data.Pins4Wire[index];
}

bool CMeasController::PrepareMux()
{
    bool found = false;
    if (!m_link.QueryContains("FRONtcheck", found, "1", true))
        return false;
    if (found) {
        m_prompt.ShowMessage("Disconnect cable from front terminal and start measurement.");
        return false;
    }
    std::vector<uint32_t>& channels = m_worker->Channels;
    channels.clear();
    for (int channel = 1; channel <= 42; ++channel) {
        if (!m_link.QueryContains(FormatC("%s %d", "CH:STATe?", channel), found, "ON", false))
            return false;
        if (found)
            channels.push_back(static_cast<uint32_t>(channel));
    }
    if (channels.empty()) {
        m_prompt.ShowMessage("There is no effective CH.");
        return false;
    }
    for (size_t i = 0; i < channels.size(); ++i)
        m_steps.Names[i] = PinOf(static_cast<int>(channels[i])).Name;
    if (!m_data.MuxScan) {
        const auto position = std::find(channels.begin(), channels.end(), static_cast<uint32_t>(ChannelNo));
        if (position == channels.end()) {
            m_prompt.ShowMessage("The set channel is not available.");
            return false;
        }
        m_worker->StepIndex = static_cast<int32_t>(position - channels.begin());
        // A manual-channel result is shown and recorded at position 0: give it the name of the
        // channel measured, not that of the first enabled channel.
        m_steps.Names[0] = PinOf(ChannelNo).Name;
        if (m_link.IsOpen)
            (void)m_link.SendCommand(FormatC("%s %d", "CH", ChannelNo)); // a refused line shows in the readings
    }
    if (!m_link.QueryContains("SCAN:FAIL:STOP", found, "ON", true))
        return false;
    m_worker->FailStop = found ? 1 : 0;
    return true;
}

bool CMeasController::PrepareWorker()
{
    const bool scan = m_data.MuxOn && m_data.MuxScan;
    m_events = std::make_unique<CMeasEvents>();
    if (Method == CaptureMethod::Interval)
        m_events->IntervalEvent.Set();
    if (!(scan && Method == CaptureMethod::Key))
        m_events->TriggerEvent.Set();
    m_events->IdleEvent.Set();
    m_events->AckEvent.Set();
    m_worker = CreateMeasThread(Method, scan, m_data.MuxScanMethod == 1, m_window, m_link, *m_events);
    if (m_worker == nullptr)
        return false;
    m_worker->MaxCount = Count;
    m_worker->UseLimit = m_useLimit;
    m_worker->TrgFilter = m_config.FilterEnable;
    m_worker->TrgFilterTime = std::clamp(m_config.FilterTime, 0, 1000);
    m_worker->ScanAuto = m_data.MuxScanMethod == 1 ? 1 : 0;
    m_worker->MuxUsed = m_data.MuxOn;
    m_worker->ScanMode = m_data.MuxScan;
    m_worker->RecordTemp = m_config.SaveTemp;
    m_worker->ReplyTimeoutMs = ReplyTimeoutMs();
    return true;
}

int32_t CMeasController::ReplyTimeoutMs() const
{
    // The longest a reading may take under the front conditions (speed, averaging, delay), with a
    // wide margin; a scan takes that per channel. Never less than a few seconds.
    constexpr int32_t kMinimumMs = 3000;
    constexpr std::array<int32_t, 4> kReadingMs = { 500, 200, 50, 20 }; // SLOW2, SLOW1, MEDIUM, FAST
    const MeasCondition& cond = m_data.Front.Cond;
    const auto speed = static_cast<size_t>(std::clamp(cond.Speed, 0, 3));
    const int32_t readings = cond.AvgOn ? std::clamp(cond.AvgCount, 1, 100) : 1;
    const int32_t delay = cond.DelayOn ? std::max<int32_t>(cond.DelayTime, 0) : 0;
    const int32_t steps = m_data.MuxOn && m_data.MuxScan ? 42 : 1;
    return std::max(kMinimumMs, 2 * steps * (readings * kReadingMs[speed] + delay) + 1000);
}

bool CMeasController::OpenRecorder()
{
    m_recorder.reset();
    const int steps = std::max<int>(1, m_worker != nullptr ? static_cast<int>(m_worker->Channels.size()) : 1);
    std::string workbook = WorkbookPath;
    if (workbook.empty()) {
        const size_t dot = FilePath.rfind('.');
        workbook = (dot == std::string::npos ? FilePath : FilePath.substr(0, dot)) + ".xlsx";
    }
    m_recorder
        = CreateRecorder(Destination, m_data.MuxOn != 0, m_data.MuxScan != 0, m_config, steps, m_prompt, workbook);
    return m_recorder->Open(Destination == SaveTarget::Excel ? m_serial : FilePath);
}

StartResult CMeasController::Start()
{
    if (m_worker != nullptr) {
        BuildStepList();
        return StartResult::Started;
    }
    m_endedWithError = false;
    m_saveFailureTold = false;
    KeptIn.clear();
    m_rowsRecorded = 0;
    IntervalSec = std::floor(std::clamp(IntervalSec, 0.0, 3600.0) * 10.0 + 1e-9) / 10.0;
    Count = std::max(Count, 1);
    StartResult result = StartResult::Failed;
    if (const int check = CheckConnection(); check != 0) {
        CloseLink();
        m_prompt.ShowMessage(m_statusText);
    } else {
        if (m_link.IsOpen)
            (void)m_link.SendCommand(":SYST:DATA 0"); // a refused line surfaces as a missing reply
        if (!PrepareWorker()) {
            if (Method == CaptureMethod::Interval && m_data.MuxOn && m_data.MuxScan)
                m_prompt.ShowMessage("Interval measurement is not supported when Scan-TRG is STEP.");
            CloseLink();
            m_events.reset();
        } else if (m_data.MuxOn && !PrepareMux()) {
            (void)m_worker->Resume(); // Stop below ends it the usual way
        } else if (!m_worker->Resume()) {
            result = StartResult::Failed;
        } else {
            m_measuring = 1;
            m_captureCount = 0;
            if (!OpenRecorder()) {
                result = StartResult::RecorderFailed;
            } else {
                m_events->StartEvent.Set();
                BuildStepList();
                result = StartResult::Started;
            }
        }
    }
    if (result == StartResult::Started) {
        m_display.SetIdle(false, false);
    } else {
        if (Stop())
            m_display.SetIdle(true, false);
        if (result == StartResult::Failed)
            m_prompt.ShowMessage(kFailedToStart);
    }
    ClearDisplay(-1);
    return result;
}

void CMeasController::CloseEvents()
{
    if (m_events == nullptr)
        return;
    for (CManualResetEvent* event : { &m_events->IntervalEvent, &m_events->TriggerEvent, &m_events->StartEvent,
             &m_events->IdleEvent, &m_events->AckEvent })
        event->Set();
    m_events.reset();
}

bool CMeasController::Stop()
{
    SleepMs(kStopSettleMs);
    if (m_worker == nullptr)
        return true;
    if (Method == CaptureMethod::Interval)
        m_timers.KillTimer(kIntervalTimer);
    m_worker->Running = 0;
    // A worker still waiting for the go signal is let through, so it sees Running cleared. One
    // waiting for the acknowledgement of a result is released here once measuring is over (a
    // failed recording): its result will never be acknowledged. While measuring, the result is
    // already queued ahead of the retry and its handler acknowledges it, so it is still kept.
    m_events->StartEvent.Set();
    if (!m_measuring)
        m_events->AckEvent.Set();
    if (!m_events->IdleEvent.Wait(kStopIdleWaitMs) || !m_worker->WaitForEnd(kStopEndWaitMs)) {
        NotifyMessage retry;
        retry.Msg = WM_MEAS_END;
        m_window.Post(std::move(retry));
        return false;
    }
    SleepMs(1);
    (void)m_link.SendCommand(":ABORt"); // the link may already be gone; the stop goes on regardless
    CloseLink();
    CloseEvents();
    SleepMs(kStopSettleMs);
    m_worker.reset();
    if (m_recorder != nullptr) {
        errno = 0;
        const bool finished = m_recorder->Finish();
        const int error = errno;
        const std::string hint = m_recorder->RecoverHint();
        KeptIn = m_recorder->KeptIn();
        m_recorder.reset();
        if (!finished) {
            m_endedWithError = true;
            std::string text;
            if (!m_saveFailureTold)
                text = std::string(kFailedToSaveData) + "\n" + KeptIn + ": "
                    + (error != 0 ? FileErrorText(error) : std::string("it could not be completed"));
            if (!hint.empty())
                text += (text.empty() ? "" : "\n") + hint;
            if (!text.empty())
                m_prompt.ShowMessage(text);
        }
        m_saveFailureTold = false;
    }
    m_measuring = 0;
    return true;
}
