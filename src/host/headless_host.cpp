#include "host/headless_host.h"

#include <thread>

void CHeadlessHost::SetHandlers(MessageHandler onMessage, TimerHandler onTimer)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_onMessage = std::move(onMessage);
    m_onTimer = std::move(onTimer);
}

void CHeadlessHost::Post(NotifyMessage message)
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_queue.push_back({ std::move(message), nullptr });
    }
    m_changed.notify_all();
}

void CHeadlessHost::Send(NotifyMessage message)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_pumpThread == std::this_thread::get_id()) {
        const MessageHandler handler = m_onMessage;
        lock.unlock();
        if (handler)
            handler(message);
        return;
    }
    bool done = false;
    m_queue.push_back({ std::move(message), &done });
    m_changed.notify_all();
    m_changed.wait(lock, [&done] { return done; });
}

void CHeadlessHost::StartTimer(int id, int periodMs)
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_timers[id] = { periodMs, Clock::now() + std::chrono::milliseconds(periodMs) };
    }
    m_changed.notify_all();
}

void CHeadlessHost::KillTimer(int id)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_timers.erase(id);
}

bool CHeadlessHost::TakeNext(std::unique_lock<std::mutex>&, Item& item, int& timerId)
{
    timerId = 0;
    if (!m_queue.empty()) {
        item = std::move(m_queue.front());
        m_queue.pop_front();
        return true;
    }
    const Clock::time_point now = Clock::now();
    for (auto& [id, timer] : m_timers) {
        if (timer.Due <= now) {
            // A steady period: the next tick is due one period after this one was, not after it
            // was served (a tick more than a period late is not made up).
            timer.Due += std::chrono::milliseconds(timer.PeriodMs);
            if (timer.Due <= now)
                timer.Due = now + std::chrono::milliseconds(timer.PeriodMs);
            timerId = id;
            return true;
        }
    }
    return false;
}

void CHeadlessHost::Serve(Item& item, int timerId)
{
    if (timerId != 0) {
        if (m_onTimer)
            m_onTimer(timerId);
        return;
    }
    if (m_onMessage)
        m_onMessage(item.Message);
    if (item.Done != nullptr) {
        std::lock_guard<std::mutex> guard(m_mutex);
        *item.Done = true;
    }
    m_changed.notify_all();
}

void CHeadlessHost::PumpPending()
{
    (void)Pump([] { return true; }, 0);
}

bool CHeadlessHost::Pump(const std::function<bool()>& done, int timeoutMs, int wakeMs)
{
    const Clock::time_point deadline
        = timeoutMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_pumpThread = std::this_thread::get_id();
    for (;;) {
        Item item;
        int timerId = 0;
        // One round serves what was queued when it began (and due timers): a message that keeps
        // posting itself again cannot hold off the done-check and the deadline.
        size_t budget = m_queue.size() + m_timers.size();
        while (budget-- > 0 && TakeNext(lock, item, timerId)) {
            lock.unlock();
            Serve(item, timerId);
            lock.lock();
        }
        lock.unlock();
        const bool finished = done();
        lock.lock();
        if (finished || Clock::now() >= deadline) {
            m_pumpThread = {};
            return finished;
        }
        Clock::time_point wake = std::min(deadline, Clock::now() + std::chrono::milliseconds(wakeMs));
        for (const auto& [id, timer] : m_timers)
            wake = std::min(wake, timer.Due);
        m_changed.wait_until(lock, wake, [this] { return !m_queue.empty(); });
    }
}
