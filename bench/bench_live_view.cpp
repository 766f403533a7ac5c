// Feeds readings through the live view's model (run statistics and one trend series per channel,
// no window) as a long MUX scan records them: the mean cost per reading and the peak memory, which
// should level off once every channel's exact tail is full, whatever the run length.
// Usage: bench_live_view [READINGS] [CHANNELS]. Prints figures; never asserts on time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "host/live_view_model.h"
#include "settings/numeric_locale.h"

namespace {

double PeakMiB()
{
    rusage usage {};
    (void)::getrusage(RUSAGE_SELF, &usage); // cannot fail for RUSAGE_SELF
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

struct Held {
    size_t Points = 0;
    size_t Buckets = 0;
};

Held HeldBy(const CLiveViewModel& model)
{
    Held held;
    for (const std::string& name : model.ChannelNames()) {
        const CTrendSeries* series = model.Series(name);
        held.Points += series->Points().size();
        held.Buckets += series->Buckets().size();
    }
    return held;
}

} // namespace

int main(int argc, char** argv)
{
    const long readings = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int channels = argc > 2 ? std::atoi(argv[2]) : static_cast<int>(kMaxSteps);
    if (readings <= 0 || channels < 1 || channels > static_cast<int>(kMaxSteps))
        return 1;
    // The texts the recorder would hand over; formatting them is the recorder's cost, not the view's.
    std::vector<std::string> values;
    for (int i = 0; i < 1000; ++i)
        values.push_back(i % 250 == 17 ? std::string("OverRange") : FormatC("%.5E", 1.0e3 + i * 1.0e-3));
    StepArrays steps;
    for (int c = 0; c < channels; ++c)
        steps.Names[static_cast<size_t>(c)] = FormatC("CH%02d", c + 1);
    CLiveViewModel model;
    model.SetLimits(1000.9, 1000.1);
    const bool scan = channels > 1;
    const long rows = (readings + channels - 1) / channels;
    const long report = std::max(1L, rows / 10);
    std::chrono::steady_clock::duration spent {};
    for (long row = 0; row < rows; ++row) {
        for (int c = 0; c < channels; ++c) {
            const auto position = static_cast<size_t>(c);
            steps.Values[position] = values[static_cast<size_t>((row * channels + c) % 1000)];
            steps.Judges[position] = (row + c) % 101 == 0 ? "FAIL" : "PASS";
            steps.Comps[position] = (row + c) % 101 == 0 ? "HI" : "IN";
        }
        const auto start = std::chrono::steady_clock::now();
        model.AddRow(static_cast<double>(row) * 0.05, steps, channels, scan, scan);
        spent += std::chrono::steady_clock::now() - start;
        if (row % report == 0 || row + 1 == rows) {
            const Held held = HeldBy(model);
            std::printf("readings %ld points %zu buckets %zu peak_mib %.1f\n", (row + 1) * channels, held.Points,
                held.Buckets, PeakMiB());
        }
    }
    const double fed = static_cast<double>(rows * channels);
    const double microseconds = std::chrono::duration<double, std::micro>(spent).count() / fed;
    std::printf("channels %d readings %.0f\n", channels, fed);
    std::printf("us_per_reading %.3f peak_mib %.1f\n", microseconds, PeakMiB());
    return 0;
}
