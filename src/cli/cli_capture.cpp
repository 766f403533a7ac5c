// "capture": an acquisition without a window, recorded into a text file or an .xlsx workbook.
// Rows are printed as they are recorded; Ctrl-C stops cleanly with a complete file. A summary per
// channel ends the run, from the same texts the recorder wrote.
#include <atomic>
#include <cmath>
#include <csignal>
#include <fstream>
#include <iostream>
#include <thread>

#include "cli/cli_common.h"
#include "cli/cli_registry.h"
#include "host/headless_host.h"
#include "host/meas_controller.h"
#include "host/run_statistics.h"
#include "link/instrument_link.h"
#include "settings/meas_set_data.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

std::atomic<bool> g_interrupted { false };

// The first Ctrl-C (or termination request) stops cleanly; a second one, while that stop is under
// way, ends the program at once.
void OnInterrupt(int signal)
{
    g_interrupted = true;
    std::signal(signal, SIG_DFL);
}

#ifdef SIGHUP
// A closed terminal or ssh session stops cleanly too; its repeats (a shell passes the hang-up on to
// its jobs) must not end the program half-way through completing the file.
void OnHangUp(int) { g_interrupted = true; }
#endif

void CatchStopSignals()
{
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
#ifdef SIGQUIT
    std::signal(SIGQUIT, OnInterrupt);
#endif
#ifdef SIGHUP
    std::signal(SIGHUP, OnHangUp);
#endif
#ifdef SIGPIPE
    // After a hang-up the rows printed to a closed pipe must fail quietly, not end the program.
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

constexpr double kMaxIntervalSec = 3600.0;

// The interval as the controller will use it (0.1 s steps); false, with the reason, when unusable.
[[nodiscard]] bool CheckInterval(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0.0 || seconds > kMaxIntervalSec) {
        std::cerr << "--interval must be a number of seconds from 0.0 to 3600.0.\n";
        return false;
    }
    const double used = std::floor(seconds * 10.0 + 1e-9) / 10.0;
    if (std::fabs(used - seconds) > 1e-9)
        std::cerr << FormatC("The interval resolution is 0.1 s: using %.1f s.\n", used);
    return true;
}

// Messages of the command line's own to the host loop (beside the worker's).
enum : int { kCliCapture = WM_USER + 400, kCliStop = WM_USER + 401 };

struct CaptureOptions {
    std::string Method = "interval";
    double IntervalSec = 1.0;
    int Count = 10;
    int Channel = 0;
    std::string Output;
    std::string Workbook;
    std::string Model;
    std::string Summary;
};

// Prints each recorded row; counts them so trigger captures can end at a count.
class CPrintingSink final : public IDisplaySink {
public:
    void ShowValue(const std::string& value) override
    {
        if (value != "-----------")
            ValueShown = true;
    }

    void RowRecorded(int number, const StepArrays& steps, int stepCount, const std::string& total,
        const std::string& temperature) override
    {
        std::cout << "#" << number + 1;
        if (ScanLayout)
            std::cout << "  total " << total;
        const int shown = ScanLayout ? stepCount : 1;
        for (int i = 0; i < shown; ++i) {
            const auto position = static_cast<size_t>(i);
            std::cout << "  ";
            if (ScanLayout)
                std::cout << steps.Names[position] << "=";
            std::cout << steps.Values[position] << " " << steps.Comps[position];
            if (ScanLayout)
                std::cout << " " << steps.Judges[position];
        }
        if (!temperature.empty())
            std::cout << "  temp " << temperature;
        std::cout << std::endl;
        Statistics.AddRow(steps, stepCount, MuxOn, ScanLayout);
        ++Rows;
    }

    void SetStepRow(int, const std::string&, const std::string&, const std::string&, uint8_t) override { ++StepRows; }

    bool ScanLayout = false;
    bool MuxOn = false;
    CRunStatistics Statistics;
    bool ValueShown = false;
    int StepRows = 0;
    std::atomic<int> Rows { 0 };
};

// Key mode: each line read from standard input captures once; "q" (or the end of input) stops.
void ReadKeys(CHeadlessHost& host, std::atomic<bool>& finished)
{
    std::string line;
    while (!finished && std::getline(std::cin, line)) {
        NotifyMessage message;
        message.Msg = (line == "q" || line == "Q") ? kCliStop : kCliCapture;
        host.Post(message);
        if (message.Msg == kCliStop)
            return;
    }
    if (!finished) {
        NotifyMessage stop;
        stop.Msg = kCliStop;
        host.Post(stop);
    }
}

// The summary as CSV; false, with the reason, when the file cannot be written.
[[nodiscard]] bool WriteSummary(const std::string& path, const CRunStatistics& statistics)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << statistics.FormatCsv();
    file.close();
    if (!file) {
        std::cerr << "Failed to write the summary to " << path << ".\n";
        return false;
    }
    return true;
}

int RunCapture(CCliConnection& connection, const CaptureOptions& options)
{
    if (options.Output.empty() == options.Workbook.empty()) {
        std::cerr << "Give one destination: -o FILE or --xlsx FILE.\n";
        return kExitUsage;
    }
    if (!CheckInterval(options.IntervalSec))
        return kExitUsage;
    CInstrumentLink& link = InstrumentLink();
    if (!connection.Configure(link))
        return kExitUsage;
    CSettingData config;
    connection.LoadConfig(config);
    // The model: --model, else the simulator's, else the configuration's, else the instrument's own.
    MeasSetData data;
    if (const int status = connection.ResolveModelOrIdentify(options.Model, link, config.ModelCode); status != 0)
        return status;
    InitMeasSetData(data, config.ModelCode);

    CHeadlessHost host;
    CPrintingSink sink;
    CMeasController controller(config, data, link, connection.Prompt(), sink, host, host);
    controller.Destination = options.Workbook.empty() ? SaveTarget::File : SaveTarget::Excel;
    controller.FilePath = options.Output;
    controller.WorkbookPath = options.Workbook;
    controller.IntervalSec = options.IntervalSec;
    controller.Count = options.Count;
    controller.ChannelNo = options.Channel > 0 ? options.Channel : 1;
    controller.Method = options.Method == "key" ? CaptureMethod::Key
        : options.Method == "trigger"           ? CaptureMethod::Trigger
                                                : CaptureMethod::Interval;
    // Trigger captures end at the count; the controller keeps no result beyond it.
    controller.RecordLimit = controller.Method == CaptureMethod::Trigger ? options.Count : 0;

    bool stopRequested = false;
    int pendingCaptures = 0;
    host.SetHandlers(
        [&](const NotifyMessage& message) {
            if (message.Msg == kCliCapture)
                ++pendingCaptures;
            else if (message.Msg == kCliStop)
                stopRequested = true;
            else
                controller.HandleMessage(message);
        },
        [&](int id) { controller.OnTimer(id); });

    CatchStopSignals();
    if (controller.Start() != StartResult::Started)
        return kExitFailure;
    sink.ScanLayout = data.MuxOn && data.MuxScan;
    sink.MuxOn = data.MuxOn;
    std::cerr << "Capturing (" << options.Method << ")"
              << (data.MuxOn ? (data.MuxScan ? ", MUX scan" : ", MUX channel") : "") << " into "
              << (options.Workbook.empty() ? options.Output : options.Workbook) << "\n";

    std::atomic<bool> finished { false };
    std::thread keys;
    if (controller.Method == CaptureMethod::Key)
        keys = std::thread(ReadKeys, std::ref(host), std::ref(finished));

    bool stopping = false;
    int stepRowsAtCapture = -1;
    host.Pump([&] {
        if (!controller.WorkerExists())
            return true;
        // Key presses are served one at a time, each once a reading is on display (as an operator
        // presses Enter on a value, and the next press comes after the button is enabled again).
        // In a scan, the next press waits until the previous one has measured a channel.
        const bool scanCapture = data.MuxOn && data.MuxScan;
        const bool ready = scanCapture ? sink.StepRows > stepRowsAtCapture : sink.ValueShown;
        if (pendingCaptures > 0 && !controller.CaptureHeld() && ready) {
            --pendingCaptures;
            sink.ValueShown = false;
            stepRowsAtCapture = sink.StepRows;
            controller.Capture();
        }
        const bool keysDone = stopRequested && pendingCaptures == 0 && !controller.CaptureHeld();
        if (!stopping && (g_interrupted || keysDone)) {
            stopping = true;
            (void)controller.Stop(); // a false result is retried through WM_MEAS_END
        }
        return false;
    });
    finished = true;
    if (keys.joinable()) {
        if (controller.Method == CaptureMethod::Key)
            std::cerr << (std::cin.eof() ? "" : "(press Enter to finish)\n");
        keys.join();
    }
    // Any acquisition that ended with an error message fails, whatever it kept.
    const bool failed = controller.EndedWithError() || (sink.Rows == 0 && controller.Method != CaptureMethod::Key);
    std::cerr << sink.Rows << " row(s) " << (failed ? "kept" : "recorded")
              << (controller.KeptIn.empty() || sink.Rows == 0 ? "" : " in " + controller.KeptIn) << ".\n";
    if (!sink.Statistics.Channels().empty())
        std::cerr << sink.Statistics.FormatTable();
    if (!options.Summary.empty() && !WriteSummary(options.Summary, sink.Statistics))
        return kExitFailure;
    return failed ? kExitFailure : kExitOk;
}

const CCliRegistration kCapture(
    "capture", "Capture readings into a text file or an .xlsx workbook", [](CLI::App& sub) -> CliRunner {
        auto connection = std::make_shared<CCliConnection>();
        auto options = std::make_shared<CaptureOptions>();
        connection->AddOptions(sub);
        sub.add_option("--method", options->Method, "key (Enter captures, q ends), trigger or interval")
            ->check(CLI::IsMember({ "key", "trigger", "interval" }));
        sub.add_option("--interval", options->IntervalSec, "Seconds between readings (0.0 to 3600.0, in 0.1 s steps)");
        sub.add_option("--count", options->Count, "Number of readings (interval) or rows to record (trigger)")
            ->check(CLI::PositiveNumber);
        sub.add_option("--channel", options->Channel, "MUX channel to measure when the MUX does not scan")
            ->check(CLI::Range(1, 42));
        sub.add_option("-o,--output", options->Output, "Text file to append rows to");
        sub.add_option("--xlsx", options->Workbook, "Workbook to write");
        sub.add_option("--summary", options->Summary, "CSV file to write the per-channel summary to");
        sub.add_option("--model", options->Model,
            "Model code or name; without it the configured model, else the instrument's own");
        return [connection, options] { return RunCapture(*connection, *options); };
    });

} // namespace
