#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "acquisition/manual_reset_event.h"
#include "acquisition/thread_object.h"

TEST(ManualResetEvent, StaysSetUntilResetAndWakesEveryWaiter)
{
    CManualResetEvent event;
    EXPECT_FALSE(event.Wait(0));
    std::atomic<int> woken { 0 };
    std::thread a([&] { woken += event.Wait(CManualResetEvent::kInfinite) ? 1 : 0; });
    std::thread b([&] { woken += event.Wait(CManualResetEvent::kInfinite) ? 1 : 0; });
    event.Set();
    a.join();
    b.join();
    EXPECT_EQ(woken, 2);
    EXPECT_TRUE(event.Wait(0)); // manual reset: still set
    event.Reset();
    EXPECT_FALSE(event.IsSet());
    EXPECT_FALSE(event.Wait(10));
}

TEST(ManualResetEvent, WaitAllNeedsEveryEventAtOnce)
{
    CManualResetEvent interval;
    CManualResetEvent trigger(true);
    EXPECT_FALSE(CManualResetEvent::WaitAll({ &interval, &trigger }, 10));
    std::thread setter([&] { interval.Set(); });
    EXPECT_TRUE(CManualResetEvent::WaitAll({ &interval, &trigger }, CManualResetEvent::kInfinite));
    setter.join();
    trigger.Reset();
    EXPECT_FALSE(CManualResetEvent::WaitAll({ &interval, &trigger }, 0));
}

namespace {

class CGatedThread final : public CThreadObject {
public:
    CManualResetEvent Gate;
    std::atomic<bool> Ran { false };

    ~CGatedThread() override
    {
        Gate.Set();
        (void)WaitForEnd(5000);
    }

protected:
    void ThreadMain() override
    {
        (void)Gate.Wait(CManualResetEvent::kInfinite);
        Ran = true;
    }
};

} // namespace

TEST(ThreadObject, RunsOnlyAfterResumeAndReportsItsEnd)
{
    CGatedThread thread;
    EXPECT_TRUE(thread.WaitForEnd(0)); // never started: nothing to wait for
    ASSERT_TRUE(thread.Resume());
    EXPECT_FALSE(thread.Resume());
    EXPECT_FALSE(thread.WaitForEnd(20));
    thread.Gate.Set();
    EXPECT_TRUE(thread.WaitForEnd(5000));
    EXPECT_TRUE(thread.Ran);
}
