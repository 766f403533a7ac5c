// Acquisition against the in-process simulator, driven by the headless host as the command line
// drives it: readings per second at interval 0, the CPU cost while the instrument is slow, and
// the latency from a reply's hand-over to its row on disk. Prints figures; never asserts on time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <sys/resource.h>
#include <vector>

#include "host/headless_host.h"
#include "host/meas_controller.h"
#include "link/instrument_link.h"
#include "settings/meas_set_data.h"
#include "settings/model_info.h"
#include "sim/simulator.h"

namespace {

using Clock = std::chrono::steady_clock;

// Forwards to the host and notes when each result was handed over.
class CTimingWindow final : public INotifyWindow {
public:
    explicit CTimingWindow(CHeadlessHost& host)
        : m_host(host)
    {
    }
    void Post(NotifyMessage message) override
    {
        if (message.Msg == WM_MEAS_RESULT) {
            std::lock_guard<std::mutex> guard(m_mutex);
            m_posted.push_back(Clock::now());
        }
        m_host.Post(std::move(message));
    }
    void Send(NotifyMessage message) override { m_host.Send(std::move(message)); }
    Clock::time_point PostedAt(size_t index)
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        return index < m_posted.size() ? m_posted[index] : Clock::now();
    }

private:
    CHeadlessHost& m_host;
    std::mutex m_mutex;
    std::vector<Clock::time_point> m_posted;
};

class CLatencySink final : public IDisplaySink {
public:
    explicit CLatencySink(CTimingWindow& window)
        : m_window(window)
    {
    }
    void RowRecorded(int number, const StepArrays&, int, const std::string&, const std::string&) override
    {
        const double ms
            = std::chrono::duration<double, std::milli>(Clock::now() - m_window.PostedAt(static_cast<size_t>(number))).count();
        Latencies.push_back(ms);
    }
    std::vector<double> Latencies;

private:
    CTimingWindow& m_window;
};

struct RunResult {
    double Seconds = 0;
    double CpuSeconds = 0;
    std::vector<double> Latencies;
};

double CpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

RunResult Run(int readings, int measureMs, const std::string& folder)
{
    SimOptions options;
    options.Model = "VX6207";
    options.LatencyMs = measureMs; // the instrument takes this long for every answer
    CSimulator simulator(options);
    RunResult result;
    if (!simulator.StartTcp(0))
        return result;
    CInstrumentLink link;
    link.Interface = InterfaceKind::Lan;
    link.IpAddress = 0x7F000001;
    link.TcpPort = simulator.TcpPort();
    CSettingData config(folder);
    config.ModelCode = 8;
    MeasSetData data;
    InitMeasSetData(data, 8);
    CRecordingPrompt prompt;
    CHeadlessHost host;
    CTimingWindow window(host);
    CLatencySink sink(window);
    CMeasController controller(config, data, link, prompt, sink, host, window);
    controller.Method = CaptureMethod::Interval;
    controller.IntervalSec = 0;
    controller.Count = readings;
    controller.FilePath = folder + "/bench.csv";
    host.SetHandlers([&](const NotifyMessage& message) { controller.HandleMessage(message); },
        [&](int id) { controller.OnTimer(id); });
    if (controller.Start() != StartResult::Started)
        return result;
    // Timed from the first row on, so the preamble's settle time does not count.
    (void)host.Pump([&] { return !sink.Latencies.empty() || !controller.WorkerExists(); });
    const auto start = Clock::now();
    const double cpuStart = CpuSeconds();
    (void)host.Pump([&] { return sink.Latencies.size() >= static_cast<size_t>(readings) || !controller.WorkerExists(); });
    result.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.CpuSeconds = CpuSeconds() - cpuStart;
    (void)host.Pump([&] { return !controller.WorkerExists(); });
    result.Latencies = sink.Latencies;
    return result;
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())))];
}

} // namespace

int main(int argc, char** argv)
{
    const int readings = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int slowReadings = argc > 2 ? std::atoi(argv[2]) : 8;
    char pattern[] = "/tmp/vx-bench-XXXXXX";
    const std::string folder = mkdtemp(pattern);

    const RunResult fast = Run(readings, 0, folder);
    const double perSecond = fast.Seconds > 0 ? static_cast<double>(fast.Latencies.size() - 1) / fast.Seconds : 0;
    std::printf("interval 0: %zu readings in %.2f s -> %.1f readings/s\n", fast.Latencies.size(), fast.Seconds, perSecond);
    const double median = Percentile(fast.Latencies, 0.5);
    const double p99 = Percentile(fast.Latencies, 0.99);
    std::printf("reply hand-over to row on disk: median %.3f ms, p99 %.3f ms\n", median, p99);

    const RunResult slow = Run(slowReadings, 500, folder);
    const double cpuPercent = slow.Seconds > 0 ? 100.0 * slow.CpuSeconds / slow.Seconds : 0;
    std::printf("500 ms readings: %zu in %.2f s, process CPU %.3f s -> %.2f %% of one core\n", slow.Latencies.size(),
        slow.Seconds, slow.CpuSeconds, cpuPercent);

    std::error_code error;
    std::filesystem::remove_all(folder, error);
    std::printf("readings_per_s %.1f cpu_pct %.2f p99_ms %.3f\n", perSecond, cpuPercent, p99);
    return 0;
}
