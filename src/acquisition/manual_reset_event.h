#pragma once

#include <chrono>
#include <condition_variable>
#include <initializer_list>
#include <mutex>

// An event that stays signalled until it is reset, and wakes every waiter when set. All events
// share one mutex and condition variable so that a thread can wait for several at once (WaitAll)
// without polling; there are only a handful of them and they change a few times per reading.
class CManualResetEvent {
public:
    static constexpr int kInfinite = -1;

    explicit CManualResetEvent(bool initiallySet = false);
    CManualResetEvent(const CManualResetEvent&) = delete;
    CManualResetEvent& operator=(const CManualResetEvent&) = delete;

    void Set();
    void Reset();
    [[nodiscard]] bool IsSet() const;

    // True when the event is (or becomes) set within timeoutMs; kInfinite waits without limit.
    [[nodiscard]] bool Wait(int timeoutMs);
    // True when all the events are set at the same moment within timeoutMs.
    [[nodiscard]] static bool WaitAll(std::initializer_list<CManualResetEvent*> events, int timeoutMs);

private:
    template <typename Predicate> static bool WaitUntil(Predicate ready, int timeoutMs);

    bool m_set;
};
