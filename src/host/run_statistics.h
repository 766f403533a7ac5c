#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "acquisition/step_arrays.h"

// Statistics of a run, per channel, built from the very texts the recorder writes (value,
// comparator judgement, channel judgement, channel name) so that they always agree with the file.
//
// - The front terminals count as one channel, named "FRONT"; each MUX channel by its name.
// - Readings: every recorded reading of the channel. "OverRange" and the dash runs of a channel
//   that was not measured ("-----------") are counted apart and never enter the numbers; any other
//   text that is not a number counts as not measured as well.
// - Judgement: on the front terminals the comparator's (IN passes; HI/LO fail); on the MUX the
//   channel's (PASS passes; FAIL fails). Anything else (ERR, a judgement that was off) is other.
// - Yield = passed / judged readings, where judged = passed + failed. Readings without a pass or
//   fail judgement say nothing about the part, so they neither raise nor lower it; a channel
//   without a judged reading has no yield.
// - Minimum, maximum, mean and the sample standard deviation (n - 1) of the numeric readings,
//   accumulated with Welford's update, which stays exact to rounding when the readings sit on a
//   large offset (1e6 ohm with micro-ohm noise) where a sum of squares would cancel.
struct ChannelStatistics {
    std::string Name;
    int64_t Readings = 0;
    int64_t Passed = 0;
    int64_t Failed = 0;
    int64_t Other = 0;
    int64_t OverRange = 0;
    int64_t NotMeasured = 0;
    int64_t Numeric = 0;
    double Minimum = 0.0;
    double Maximum = 0.0;
    double Mean = 0.0;
    double SquaredDeviations = 0.0; // Welford's M2

    [[nodiscard]] bool HasYield() const { return Passed + Failed > 0; }
    [[nodiscard]] double Yield() const; // 0..1; 0 without a judged reading (see HasYield)
    [[nodiscard]] bool HasDeviation() const { return Numeric > 1; }
    [[nodiscard]] double StdDev() const; // 0 below two numeric readings (see HasDeviation)
};

class CRunStatistics {
public:
    // A recorded row: position 0 alone unless the MUX scans, then each position its own channel.
    void AddRow(const StepArrays& steps, int stepCount, bool muxOn, bool muxScan);
    // channelJudgement: the MUX is in use, so the channel judgement decides pass/fail.
    void AddReading(const std::string& name, const std::string& value, const std::string& judgement,
        bool channelJudgement);
    void Clear() { m_channels.clear(); }

    // Channels in the order of their first reading.
    [[nodiscard]] const std::vector<ChannelStatistics>& Channels() const { return m_channels; }
    // A fixed-width table for a terminal, and the same as CSV with a header row ("C" numbers).
    [[nodiscard]] std::string FormatTable() const;
    [[nodiscard]] std::string FormatCsv() const;

private:
    ChannelStatistics& ChannelNamed(const std::string& name);

    std::vector<ChannelStatistics> m_channels;
};

// The name under which the front terminals' readings are kept.
inline constexpr const char* kFrontChannelName = "FRONT";

// Whether a judgement fails the part: HI/LO of the comparator, FAIL of a MUX channel.
[[nodiscard]] bool IsFailingJudgement(const std::string& judgement, bool channelJudgement);

// Calls reading(name, value, judgement, channelJudgement) for each reading of a recorded row:
// position 0 alone unless the MUX scans, then each position its own channel.
template <typename Reading>
void ForEachRowReading(const StepArrays& steps, int stepCount, bool muxOn, bool muxScan, Reading&& reading)
{
    const int positions = muxOn && muxScan ? std::clamp(stepCount, 1, static_cast<int>(kMaxSteps)) : 1;
    for (int i = 0; i < positions; ++i) {
        const auto position = static_cast<size_t>(i);
        if (muxOn)
            reading(steps.Names[position], steps.Values[position], steps.Judges[position], true);
        else
            reading(std::string(kFrontChannelName), steps.Values[position], steps.Comps[position], false);
    }
}
