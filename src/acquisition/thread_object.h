#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

// A worker thread owned by an object: constructed "suspended", started by Resume, and ended when
// ThreadMain returns. The object outlives its thread and is deleted by its owner, which must
// first see the thread end (WaitForEnd); the destructor joins a thread that is still running.
class CThreadObject {
public:
    CThreadObject() = default;
    virtual ~CThreadObject();
    CThreadObject(const CThreadObject&) = delete;
    CThreadObject& operator=(const CThreadObject&) = delete;

    // Starts the thread; false when it was started already or could not be created.
    [[nodiscard]] bool Resume();
    // True when the thread has ended within timeoutMs (also when it never started).
    [[nodiscard]] bool WaitForEnd(int timeoutMs);
    bool Started() const { return m_thread.joinable(); }

protected:
    virtual void ThreadMain() = 0;

private:
    void Run();

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;
};
