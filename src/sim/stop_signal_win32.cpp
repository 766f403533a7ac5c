#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include "sim/stop_signal.h"

namespace {

std::atomic<bool> g_stop { false };

extern "C" void OnStop(int) { g_stop = true; }

} // namespace

void BlockStopSignals()
{
    std::signal(SIGINT, OnStop);
    std::signal(SIGTERM, OnStop);
}

void WaitForStopSignal()
{
    while (!g_stop)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}
