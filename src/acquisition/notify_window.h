#pragma once

#include <array>
#include <cstdint>
#include <string>

constexpr int WM_USER = 0x0400;

// Messages from the acquisition worker to the main window.
enum MeasMessage : int {
    WM_MEAS_RESULT = WM_USER + 220,
    WM_MEAS_END = WM_USER + 221,
    WM_MEAS_ERROR = WM_USER + 222,
    WM_MEAS_INTERVAL = WM_USER + 223,
    WM_MEAS_STEP_RESULT = WM_USER + 224,
    WM_MEAS_STEP_NAME = WM_USER + 225,
    WM_MEAS_TOTAL_JUDGE = WM_USER + 226,
    WM_MEAS_SCAN_DONE = WM_USER + 228,
    WM_MEAS_CLEAR = WM_USER + 230,
    WM_MEAS_TEMP = WM_USER + 231,
};

// Why an acquisition failed: the WParam of WM_MEAS_ERROR (LParam: the reply wait in ms, for NoReply).
enum class MeasFault : int {
    BadReply = 0, // replies came, but not in the form of the request (twice in a row)
    NoReply = 1, // no reply within the wait, also after the line was resynchronised
    Closed = 2, // the connection was closed or the device went away
    Unconfirmed = 3, // after a lost reply the instrument never confirmed its identity
};

// One message. The reply text and the four Info integers travel as copies, so the window never
// reads memory the worker may be changing, whether the message was posted or sent.
struct NotifyMessage {
    int Msg = 0;
    int64_t WParam = 0;
    int64_t LParam = 0;
    std::string Text;
    std::array<int32_t, 4> Info {};
};

// The window the worker reports to. Post queues the message and returns at once; Send returns
// when the window's handler has run (on the window's own thread).
class INotifyWindow {
public:
    virtual ~INotifyWindow() = default;
    virtual void Post(NotifyMessage message) = 0;
    virtual void Send(NotifyMessage message) = 0;
};
