#include "acquisition/thread_object.h"

#include <chrono>
#include <system_error>

CThreadObject::~CThreadObject()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool CThreadObject::Resume()
{
    if (m_thread.joinable())
        return false;
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        return false; // no thread could be created: the caller fails its Start
    }
    return true;
}

void CThreadObject::Run()
{
    ThreadMain();
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_done = true;
    }
    m_ended.notify_all();
}

bool CThreadObject::WaitForEnd(int timeoutMs)
{
    if (!m_thread.joinable())
        return true;
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_done; }))
        return false;
    lock.unlock();
    m_thread.join();
    return true;
}
