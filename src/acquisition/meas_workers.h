#pragma once

#include <memory>

#include "acquisition/meas_thread.h"

// How the operator triggers captures.
enum class CaptureMethod : int32_t { Key = 0, Trigger = 1, Interval = 2 };

// Capture button or Enter key, no scan: a continuously refreshed value; the window records.
class CMeasThreadKey final : public CMeasThread {
public:
    using CMeasThread::CMeasThread;

protected:
    void ThreadMain() override;
};

// External trigger, no scan: ":READ?" waits for the instrument's trigger, or the trigger input
// is sampled by polling ("io:input?") when the instrument triggers itself.
class CMeasThreadTrg final : public CMeasThread {
public:
    using CMeasThread::CMeasThread;

protected:
    void ThreadMain() override;

private:
    void SampleTriggerInput(bool& skipFilter, bool& filterDone);
};

// At intervals, no scan, until MaxCount results are recorded.
class CMeasThreadInterval final : public CMeasThread {
public:
    using CMeasThread::CMeasThread;

protected:
    void ThreadMain() override;
};

// Capture button or Enter key, MUX scan: one press measures a whole scan (AUTO) or one channel (STEP).
class CMeasThreadKeyScan final : public CMeasThread {
public:
    using CMeasThread::CMeasThread;

protected:
    void ThreadMain() override;
};

// External trigger, MUX scan: a ":READ?" is always outstanding.
class CMeasThreadTrgScan final : public CMeasThread {
public:
    using CMeasThread::CMeasThread;

protected:
    void ThreadMain() override;
};

// At intervals, MUX scan (AUTO only), until MaxCount scans are recorded.
class CMeasThreadIntervalScan final : public CMeasThread {
public:
    using CMeasThread::CMeasThread;

protected:
    void ThreadMain() override;
};

// The worker for a method and MUX state (scan = MUX and scan both on). A STEP scan at intervals
// has no worker: null.
std::unique_ptr<CMeasThread> CreateMeasThread(CaptureMethod method, bool scan, bool scanAuto, INotifyWindow& window,
    CInstrumentLink& link, CMeasEvents& events);
