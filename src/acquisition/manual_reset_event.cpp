#include "acquisition/manual_reset_event.h"

namespace {

std::mutex& EventMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::condition_variable& EventChanged()
{
    static std::condition_variable changed;
    return changed;
}

} // namespace

CManualResetEvent::CManualResetEvent(bool initiallySet)
    : m_set(initiallySet)
{
}

void CManualResetEvent::Set()
{
    {
        std::lock_guard<std::mutex> guard(EventMutex());
        m_set = true;
    }
    EventChanged().notify_all();
}

void CManualResetEvent::Reset()
{
    std::lock_guard<std::mutex> guard(EventMutex());
    m_set = false;
}

bool CManualResetEvent::IsSet() const
{
    std::lock_guard<std::mutex> guard(EventMutex());
    return m_set;
}

template <typename Predicate> bool CManualResetEvent::WaitUntil(Predicate ready, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(EventMutex());
    if (timeoutMs < 0) {
        EventChanged().wait(lock, ready);
        return true;
    }
    return EventChanged().wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
}

bool CManualResetEvent::Wait(int timeoutMs)
{
    return WaitUntil([this] { return m_set; }, timeoutMs);
}

bool CManualResetEvent::WaitAll(std::initializer_list<CManualResetEvent*> events, int timeoutMs)
{
    return WaitUntil(
        [&events] {
            for (const CManualResetEvent* event : events) {
                if (!event->m_set)
                    return false;
            }
            return true;
        },
        timeoutMs);
}
