// vx6207-sim: the simulated resistance meter as a program, for demos and manual tests.
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "settings/numeric_locale.h"
#include "sim/simulator.h"
#include "sim/stop_signal.h"

namespace {

// "CH=OHMS" into the channel resistance table.
bool ParseChannelResistances(const std::vector<std::string>& items, std::map<int, double>& table)
{
    for (const std::string& item : items) {
        const size_t equals = item.find('=');
        int32_t channel = 0;
        double ohms = 0.0;
        if (equals == std::string::npos || !ParseInt32C(item.substr(0, equals), channel)
            || !ParseDoubleC(item.substr(equals + 1), ohms) || channel < 0 || channel > 42)
            return false;
        table[channel] = ohms;
    }
    return true;
}

// "CH=LOWER:UPPER" (ohms) into the channel comparator table; channel 0 is the front terminals.
bool ParseChannelLimits(const std::vector<std::string>& items, std::map<int, std::pair<double, double>>& table)
{
    for (const std::string& item : items) {
        const size_t equals = item.find('=');
        const size_t colon = item.find(':', equals == std::string::npos ? 0 : equals);
        int32_t channel = 0;
        double lower = 0.0;
        double upper = 0.0;
        if (equals == std::string::npos || colon == std::string::npos || !ParseInt32C(item.substr(0, equals), channel)
            || !ParseDoubleC(item.substr(equals + 1, colon - equals - 1), lower)
            || !ParseDoubleC(item.substr(colon + 1), upper) || channel < 0 || channel > 42)
            return false;
        table[channel] = { lower, upper };
    }
    return true;
}

void AddMuxOptions(CLI::App& app, SimOptions& options, std::vector<std::string>& limitItems)
{
    app.add_option("--mux-channels", options.MuxChannels, "MUX channels enabled for scans (e.g. 1,2,3)")
        ->delimiter(',')
        ->check(CLI::Range(1, 42));
    app.add_option("--mux-select", options.MuxSelect, "Selected MUX channel at power-on (0 = front terminals)")
        ->check(CLI::Range(0, 42));
    app.add_option("--scan-mode", options.MuxScanMode, "Scan mode at power-on")
        ->check(CLI::IsMember({ "OFF", "STEP", "AUTO" }));
    app.add_flag("--fail-stop", options.MuxFailStop, "Scans stop at the first failing channel");
    app.add_option(
        "--channel-limits", limitItems, "Comparator limits of a channel: CH=LOWER:UPPER in ohms (0 = front)");
}

void AddOptions(CLI::App& app, SimOptions& options, std::vector<std::string>& channelItems)
{
    app.add_option("--model", options.Model, "Model name the instrument reports (VX6207, VX6207-02, VX6208, ...)");
    app.add_option("--serial", options.Serial, "Serial number");
    app.add_option("--firmware", options.Firmware, "Firmware version");
    app.add_option("--latency-ms", options.LatencyMs, "Delay before each reply");
    app.add_option("--drop-reply", options.DropReplyTo, "Never answer this command");
    app.add_option("--garble-reply", options.GarbleReplyTo, "Answer this command with garbage");
    app.add_option("--fault-every", options.FaultEvery, "Drop or garble only the first of every N named lines");
    app.add_option("--delay-reply", options.DelayReplyTo, "Answer this command late (see --delay-nth, --delay-ms)");
    app.add_option("--delay-nth", options.DelayNth, "Only the N-th line naming the --delay-reply command is late");
    app.add_option("--delay-ms", options.DelayReplyMs, "How late that reply comes, in ms");
    app.add_option("--close-after", options.CloseAfterLines, "Close the connection after N received lines");
    app.add_flag("--trickle", options.Trickle, "Send replies one byte per millisecond");
    app.add_option("--trigger-every-ms", options.TriggerEveryMs, "Fire the external trigger every N ms");
    app.add_option("--zero-adjust-ms", options.ZeroAdjustMs, "Duration of a zero adjustment");
    app.add_flag("--zero-adjust-fail", options.ZeroAdjustFails, "Zero adjustments fail");
    app.add_option("--self-test", options.SelfTestResult, "Answer of *TST?");
    app.add_flag(
        "--no-front-cable", [&options](int64_t) { options.FrontCable = false; }, "No cable on the front terminals");
    app.add_option("--measure-ms", options.MeasureMs, "Time one reading takes");
    app.add_option("--baud", options.BaudRate, "Pseudo-terminal: answer only at this line speed");
    app.add_option("--resistance", options.DefaultResistance, "Resistance of every channel in ohms");
    app.add_option("--channel-resistance", channelItems, "Resistance of one channel: CH=OHMS (0 = front)");
    app.add_flag("--over-range", options.OverRange, "Readings are over range");
    app.add_option("--transcript", options.TranscriptPath, "Write every received line to this file");
}

// Where the answers come from: the simulated instrument, a real one behind a proxy, or a recording.
struct SAnswerSource {
    std::string Proxy;
    std::string Record;
    std::string Replay;
};

void AddSourceOptions(CLI::App& app, SAnswerSource& source)
{
    CLI::Option* proxy = app.add_option(
        "--proxy", source.Proxy, "Forward clients to the instrument at PORT or HOST:PORT instead of simulating one");
    app.add_option("--record", source.Record, "With --proxy: record every request with its replies and timing")
        ->needs(proxy);
    app.add_option("--replay", source.Replay, "Answer clients from a recording made with --record")->excludes(proxy);
}

// Chooses the source; the exit status on failure (2 for a usage error), 0 when it is ready.
int UseSource(CSimulator& simulator, const SAnswerSource& source, bool both)
{
    std::string error;
    int status = 0;
    if (!source.Proxy.empty()) {
        if (both) {
            error = "--proxy forwards either --tcp or --pty, not both";
            status = 2;
        } else if (!simulator.UseProxy(source.Proxy, source.Record, error)) {
            status = error.rfind("--proxy", 0) == 0 ? 2 : 1;
        }
    } else if (!source.Replay.empty() && !simulator.UseReplay(source.Replay, error)) {
        status = 1;
    }
    if (status != 0)
        std::fprintf(stderr, "%s\n", error.c_str());
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    BlockStopSignals();

    CLI::App app { "Simulated VX6207 family resistance meter" };
    SimOptions options;
    std::vector<std::string> channelItems;
    int tcpPort = -1;
    bool usePty = false;
    AddOptions(app, options, channelItems);
    std::vector<std::string> limitItems;
    AddMuxOptions(app, options, limitItems);
    app.add_option("--tcp", tcpPort, "Serve TCP on 127.0.0.1:PORT (0 = any free port)")->check(CLI::Range(0, 65535));
    app.add_flag("--pty", usePty, "Serve a pseudo-terminal");
    SAnswerSource source;
    AddSourceOptions(app, source);
    CLI11_PARSE(app, argc, argv);
    if (!ParseChannelResistances(channelItems, options.ChannelResistance)) {
        std::fprintf(stderr, "--channel-resistance takes CH=OHMS with CH from 0 to 42\n");
        return 2;
    }
    if (!ParseChannelLimits(limitItems, options.ChannelLimits)) {
        std::fprintf(stderr, "--channel-limits takes CH=LOWER:UPPER with CH from 0 to 42\n");
        return 2;
    }
    if (tcpPort < 0 && !usePty) {
        std::fprintf(stderr, "Give --tcp PORT and/or --pty\n");
        return 2;
    }

    CSimulator simulator(options);
    std::mutex noticeMutex;
    simulator.SetNotice([&noticeMutex](const std::string& line) {
        std::lock_guard lock(noticeMutex);
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    });
    if (const int status = UseSource(simulator, source, tcpPort >= 0 && usePty); status != 0)
        return status;
    if (tcpPort >= 0) {
        if (!simulator.StartTcp(static_cast<uint16_t>(tcpPort))) {
            std::fprintf(stderr, "cannot listen on 127.0.0.1:%d\n", tcpPort);
            return 1;
        }
        std::printf("listening on 127.0.0.1:%u\n", static_cast<unsigned>(simulator.TcpPort()));
        std::fflush(stdout);
    }
    if (usePty) {
        if (!simulator.StartPty()) {
            std::fprintf(stderr, "cannot create a pseudo-terminal\n");
            return 1;
        }
        std::printf("pty %s\n", simulator.PtyPath().c_str());
        std::fflush(stdout);
    }
    WaitForStopSignal();
    simulator.Stop();
    return 0;
}
