#include <csignal>
#include <pthread.h>

#include "sim/stop_signal.h"

namespace {

sigset_t StopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

void BlockStopSignals()
{
    // Blocked first thing, and inherited by the serving threads, so that only the final sigwait
    // takes SIGINT and SIGTERM and the simulator always stops cleanly.
    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void WaitForStopSignal()
{
    const sigset_t signals = StopSignals();
    int received = 0;
    while (sigwait(&signals, &received) != 0) { }
}
