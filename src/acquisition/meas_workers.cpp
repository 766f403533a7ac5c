#include "acquisition/meas_workers.h"

#include <cstdlib>

#include "link/instrument_link.h"

namespace {

constexpr int kRequestWaitMs = 100;
constexpr int kContinuousSettleMs = 500;
constexpr int kScanSettleMs = 100;
constexpr int kDisplayPauseMs = 50;
constexpr int kTriggerInputTimeoutMs = 1000;

} // namespace

void CMeasThreadKey::ThreadMain()
{
    (void)SendLine(":init:cont on");
    (void)SendLine(":trig:sour imm");
    SleepMs(kContinuousSettleMs);
    ResetForStart();
    bool firstPass = true;
    while (Running) {
        WaitForStartOnce(firstPass);
        if (!Running)
            break;
        if (Pending) {
            RecordResult = 0; // shown only; the window records what is on display when the operator captures
            if (ReplyArrived()) {
                m_events.IdleEvent.Reset();
                ReadResult();
                m_events.IdleEvent.Set();
                SleepMs(kDisplayPauseMs);
            }
        } else if (m_events.TriggerEvent.Wait(kRequestWaitMs)) {
            Request(FetchCommand(), SingleForm(), true, true);
            m_events.TriggerEvent.Reset();
        }
        EndPass();
    }
}

void CMeasThreadInterval::ThreadMain()
{
    (void)SendLine(":init:cont on");
    (void)SendLine(":trig:sour imm");
    SleepMs(kContinuousSettleMs);
    ResetForStart();
    bool firstPass = true;
    while (Running) {
        WaitForStartOnce(firstPass);
        if (!Running)
            break;
        if (!Finished) {
            if (Pending) {
                if (ReplyArrived()) {
                    m_events.IdleEvent.Reset();
                    ReadResult();
                    if (ResultCount >= MaxCount) {
                        Finished = 1;
                        PostMsg(WM_MEAS_END);
                    }
                    m_events.IdleEvent.Set();
                }
            } else if (CManualResetEvent::WaitAll(
                           { &m_events.IntervalEvent, &m_events.TriggerEvent }, kRequestWaitMs)) {
                // Reset before the request: a tick during its send (the drain takes 10 ms) must stay
                // set, as every tick that falls while a result is outstanding does.
                m_events.IntervalEvent.Reset();
                m_events.TriggerEvent.Reset();
                Request(FetchCommand(), SingleForm(), true, true);
                if (ResultCount == 0)
                    PostMsg(WM_MEAS_INTERVAL);
            }
        }
        EndPass();
    }
}

void CMeasThreadTrg::SampleTriggerInput(bool& skipFilter, bool& filterDone)
{
    bool timedOut = false;
    if (TrgFilter && !skipFilter) {
        SleepMs(TrgFilterTime);
        if (SendLine("io:input?"))
            (void)m_link.ReceiveReply(timedOut, kTriggerInputTimeoutMs); // only lets the input settle
        filterDone = true;
    }
    RecordResult = 0;
    TrgCaptured = 0;
    std::string reply;
    if (SendLine("io:input?"))
        reply = m_link.ReceiveReply(timedOut, kTriggerInputTimeoutMs);
    // Only the input port's own reply counts: a late reading ("1.2E-3,IN") would otherwise read as
    // hexadecimal 1, a trigger that never happened.
    if (!timedOut && !IsMeasurementReply(reply, ReplyForm::InputBits)) {
        m_link.OutOfStep = true;
        reply.clear();
    }
    const long input = std::strtol(reply.c_str(), nullptr, 16); // unreadable: no trigger
    if ((input & 1) != 0) {
        RecordResult = 1;
        TrgCaptured = 1;
        skipFilter = false;
        filterDone = false;
    } else {
        skipFilter = filterDone;
    }
}

void CMeasThreadTrg::ThreadMain()
{
    const int external = SetTriggerMode();
    ResetForStart();
    bool skipFilter = false;
    bool filterDone = false;
    bool firstPass = true;
    while (Running) {
        WaitForStartOnce(firstPass);
        if (!Running)
            break;
        if (Pending) {
            if (ReplyArrived()) {
                m_events.IdleEvent.Reset();
                ReadResult();
                m_events.IdleEvent.Set();
            }
        } else if (m_events.TriggerEvent.Wait(kRequestWaitMs)) {
            if (external) {
                Request(ReadCommand(), SingleForm(), true, false); // waits for the trigger
            } else {
                SampleTriggerInput(skipFilter, filterDone);
                Request(FetchCommand(), SingleForm(), true, true);
            }
            m_events.TriggerEvent.Reset();
        }
        EndPass();
    }
}

void CMeasThread::RunScanLoop(bool externalTrigger)
{
    ResetForStart();
    (void)SendLine(externalTrigger ? "TRIGGER:SOURCE EXT" : "TRIGGER:SOURCE IMM");
    SleepMs(kScanSettleMs);
    bool firstPass = true;
    while (Running) {
        if (firstPass)
            SendStepName();
        WaitForStartOnce(firstPass);
        if (!Running)
            break;
        if (Pending) {
            if (ReplyArrived()) {
                m_events.IdleEvent.Reset();
                if (!ScanAuto) {
                    HandleScanStep();
                } else {
                    if (externalTrigger)
                        SendMsg(WM_MEAS_CLEAR, ResultCount);
                    if (!ReadScan())
                        Fail();
                }
                Pending = 0;
                if (externalTrigger)
                    m_events.TriggerEvent.Set(); // the next ":READ?" waits for the next trigger
                m_events.IdleEvent.Set();
            }
        } else if (m_events.TriggerEvent.Wait(kRequestWaitMs)) {
            // The reply only says the scan was measured; the channels are checked as they are read.
            Request(":READ?", ReplyForm::Value, false, !externalTrigger);
            if (ScanAuto && !externalTrigger)
                SendMsg(WM_MEAS_CLEAR, ResultCount);
            m_events.TriggerEvent.Reset();
        }
        EndPass();
    }
}

void CMeasThreadKeyScan::ThreadMain()
{
    RunScanLoop(false);
}

void CMeasThreadTrgScan::ThreadMain()
{
    RunScanLoop(true);
}

void CMeasThreadIntervalScan::ThreadMain()
{
    ResetForStart();
    (void)SendLine("TRIGGER:SOURCE IMM");
    SleepMs(kScanSettleMs);
    bool firstPass = true;
    while (Running) {
        WaitForStartOnce(firstPass);
        if (!Running)
            break;
        if (!Finished) {
            if (Pending) {
                if (ReplyArrived()) {
                    m_events.IdleEvent.Reset();
                    PostMsg(WM_MEAS_INTERVAL); // the interval counts from the end of each scan
                    if (!ReadScan())
                        Fail();
                    if (ResultCount >= MaxCount) {
                        Finished = 1;
                        PostMsg(WM_MEAS_END);
                    }
                    Pending = 0;
                    m_events.IdleEvent.Set();
                }
            } else if (CManualResetEvent::WaitAll(
                           { &m_events.IntervalEvent, &m_events.TriggerEvent }, kRequestWaitMs)) {
                m_events.IntervalEvent.Reset();
                m_events.TriggerEvent.Reset();
                Request(":READ?", ReplyForm::Value, false, true);
                if (ScanAuto)
                    SendMsg(WM_MEAS_CLEAR, ResultCount);
            }
        }
        EndPass();
    }
}

std::unique_ptr<CMeasThread> CreateMeasThread(
    CaptureMethod method, bool scan, bool scanAuto, INotifyWindow& window, CInstrumentLink& link, CMeasEvents& events)
{
    switch (method) {
    case CaptureMethod::Key:
        if (scan)
            return std::make_unique<CMeasThreadKeyScan>(window, link, events);
        return std::make_unique<CMeasThreadKey>(window, link, events);
    case CaptureMethod::Trigger:
        if (scan)
            return std::make_unique<CMeasThreadTrgScan>(window, link, events);
        return std::make_unique<CMeasThreadTrg>(window, link, events);
    case CaptureMethod::Interval:
        if (scan && !scanAuto)
            return nullptr;
        if (scan)
            return std::make_unique<CMeasThreadIntervalScan>(window, link, events);
        return std::make_unique<CMeasThreadInterval>(window, link, events);
    }
    return nullptr;
}
