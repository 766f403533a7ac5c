#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/run_statistics.h"
#include "host/trend_series.h"

// The live view's data, without any window: the run's statistics and one trend series per channel
// (the front terminals are one channel), fed by the same recorded texts as the recorder, so the
// plot, the channel map and the file never disagree.
class CLiveViewModel {
public:
    explicit CLiveViewModel(TrendLimits limits = {});

    // A recorded row taken `time` seconds after Start.
    void AddRow(double time, const StepArrays& steps, int stepCount, bool muxOn, bool muxScan);
    // At Start: the statistics and every series empty; the limit lines stay.
    void Clear();
    // The comparator's limits, drawn on every channel's plot (absent: no line).
    void SetLimits(std::optional<double> upper, std::optional<double> lower);

    [[nodiscard]] const CRunStatistics& Statistics() const { return m_statistics; }
    // Channels in the order of their first reading, as in Statistics().
    [[nodiscard]] std::vector<std::string> ChannelNames() const;
    // nullptr for a channel without a reading yet.
    [[nodiscard]] const CTrendSeries* Series(const std::string& name) const;

private:
    struct NamedSeries {
        std::string Name;
        CTrendSeries Series;
    };
    CTrendSeries& SeriesNamed(const std::string& name);

    TrendLimits m_limits;
    CRunStatistics m_statistics;
    std::vector<NamedSeries> m_series;
    std::optional<double> m_upper;
    std::optional<double> m_lower;
};
