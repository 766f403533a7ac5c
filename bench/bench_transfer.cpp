// WriteAll and ReadAll of a full MUX set against the in-process simulator at zero latency. Every
// line sent costs at least the 10 ms settle of the drain before it; the ratio shows how close the
// transfer comes to that floor (1.0 = nothing but the drains).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commands/communicate_meas_data.h"
#include "commands/test_records.h"
#include "sim/simulator.h"

namespace {

constexpr double kDrainFloorMs = 10.0;

double MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const std::string modelName = argc > 1 ? argv[1] : "VX6208";
    SimOptions options;
    options.Model = modelName;
    options.FrontCable = false;
    CSimulator sim(options);
    if (!sim.StartTcp(0)) {
        std::fprintf(stderr, "cannot start the simulator\n");
        return 1;
    }
    CInstrumentLink link;
    link.Interface = InterfaceKind::Lan;
    link.IpAddress = 0x7F000001;
    link.TcpPort = sim.TcpPort();
    CRecordingPrompt prompt;
    const int32_t model = ModelCodeOfName(modelName);
    const MeasSetData written = MakeMuxRecord(model, 0);
    MeasSetData read = DefaultRecord(model);

    CCommunicateMeasData transfer(prompt, link);
    auto start = std::chrono::steady_clock::now();
    const bool wrote = transfer.WriteAll(written);
    const double writeMs = MsSince(start);
    const size_t writeLines = sim.ReceivedLines().size();
    start = std::chrono::steady_clock::now();
    const bool readBack = transfer.ReadAll(read);
    const double readMs = MsSince(start);
    const size_t lines = sim.ReceivedLines().size();
    if (!wrote || !readBack) {
        std::fprintf(stderr, "transfer failed (write %d, read %d)\n", wrote, readBack);
        return 1;
    }
    const size_t readLines = lines - writeLines;
    std::printf("model %s\n", modelName.c_str());
    std::printf("write_lines %zu write_ms %.1f ms_per_line %.3f\n", writeLines, writeMs, writeMs / writeLines);
    std::printf("read_lines %zu read_ms %.1f ms_per_line %.3f\n", readLines, readMs, readMs / readLines);
    std::printf("ratio %.3f\n", (writeMs + readMs) / (kDrainFloorMs * static_cast<double>(lines)));
    return 0;
}
