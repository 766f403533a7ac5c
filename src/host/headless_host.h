#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "acquisition/notify_window.h"
#include "host/host_interfaces.h"

// The main window's message loop without a window: a queue of posted and sent messages and a
// set of periodic timers, served on the thread that runs Pump. The command line and the tests
// use it where the Qt window uses its event loop.
class CHeadlessHost final : public INotifyWindow, public ITimerService {
public:
    using MessageHandler = std::function<void(const NotifyMessage&)>;
    using TimerHandler = std::function<void(int)>;

    void SetHandlers(MessageHandler onMessage, TimerHandler onTimer);

    // Any thread. Post returns at once; Send returns once the message has been handled on the
    // pumping thread (or at once, handled in place, when called on that thread).
    void Post(NotifyMessage message) override;
    void Send(NotifyMessage message) override;
    void StartTimer(int id, int periodMs) override;
    void KillTimer(int id) override;

    // Serves messages and timers until done() is true or timeoutMs has passed (negative: no
    // limit); done is checked after everything served and at least every `wakeMs`.
    // True when done() became true.
    bool Pump(const std::function<bool()>& done, int timeoutMs = -1, int wakeMs = 50);
    // Serves what is already due, without waiting.
    void PumpPending();

private:
    using Clock = std::chrono::steady_clock;
    struct Item {
        NotifyMessage Message;
        bool* Done = nullptr; // set for sent messages
    };
    struct Timer {
        int PeriodMs = 0;
        Clock::time_point Due;
    };

    // Takes the next thing to serve: a message, or a due timer (id in timerId). False when none.
    bool TakeNext(std::unique_lock<std::mutex>& lock, Item& item, int& timerId);
    void Serve(Item& item, int timerId);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Item> m_queue;
    std::map<int, Timer> m_timers;
    MessageHandler m_onMessage;
    TimerHandler m_onTimer;
    std::thread::id m_pumpThread;
};
