#pragma once

#include <cstdint>
#include <string>

#include "acquisition/step_arrays.h"

// What the main window shows. The Qt window paints controls; the command line prints rows; tests
// record. Every method has an empty default so that a sink implements only what it shows.
class IDisplaySink {
public:
    virtual ~IDisplaySink() = default;
    virtual void ShowValueTitle(const std::string& /*title*/) {}
    virtual void ShowValue(const std::string& /*value*/) {}
    virtual void ShowComp(const std::string& /*judge*/, int32_t /*colour*/) {}
    virtual void ShowTotal(const std::string& /*judge*/, int32_t /*colour*/) {}
    virtual void ShowCurrentChannel(const std::string& /*name*/) {}
    virtual void ShowSerial(const std::string& /*serial*/) {}
    // The channel result list: 42 rows with their names when the MUX is in use, none otherwise.
    virtual void BuildStepList(bool /*muxOn*/, const StepTexts& /*names*/) {}
    virtual void SetStepRow(int /*row*/, const std::string& /*value*/, const std::string& /*comp*/,
        const std::string& /*judge*/, uint8_t /*judgeColour*/)
    {
    }
    virtual void ScrollToStepRow(int /*row*/) {}
    virtual void SetIdle(bool /*idle*/, bool /*lock*/) {}
    virtual void EnableCapture(bool /*enabled*/) {}
    // A row has been handed to the recorder successfully.
    virtual void RowRecorded(int /*number*/, const StepArrays& /*steps*/, int /*stepCount*/,
        const std::string& /*total*/, const std::string& /*temperature*/)
    {
    }
};

// The main window's timers: 1 paces intervals, 2 and 3 re-arm captures.
class ITimerService {
public:
    virtual ~ITimerService() = default;
    virtual void StartTimer(int id, int periodMs) = 0;
    virtual void KillTimer(int id) = 0;
};

enum HostTimer : int { kIntervalTimer = 1, kCaptureTimer = 2, kTriggerTimer = 3 };
