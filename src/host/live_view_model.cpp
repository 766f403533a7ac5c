#include "host/live_view_model.h"

#include <algorithm>

CLiveViewModel::CLiveViewModel(TrendLimits limits)
    : m_limits(limits)
{
}

void CLiveViewModel::AddRow(double time, const StepArrays& steps, int stepCount, bool muxOn, bool muxScan)
{
    ForEachRowReading(steps, stepCount, muxOn, muxScan,
        [&](const std::string& name, const std::string& value, const std::string& judgement, bool channel) {
            m_statistics.AddReading(name, value, judgement, channel);
            SeriesNamed(name).AddReading(time, value, IsFailingJudgement(judgement, channel));
        });
}

void CLiveViewModel::Clear()
{
    m_statistics.Clear();
    m_series.clear();
}

void CLiveViewModel::SetLimits(std::optional<double> upper, std::optional<double> lower)
{
    m_upper = upper;
    m_lower = lower;
    for (NamedSeries& named : m_series) {
        named.Series.SetUpperLimit(upper);
        named.Series.SetLowerLimit(lower);
    }
}

std::vector<std::string> CLiveViewModel::ChannelNames() const
{
    std::vector<std::string> names;
    names.reserve(m_statistics.Channels().size());
    for (const ChannelStatistics& channel : m_statistics.Channels())
        names.push_back(channel.Name);
    return names;
}

const CTrendSeries* CLiveViewModel::Series(const std::string& name) const
{
    const auto found = std::find_if(
        m_series.begin(), m_series.end(), [&](const NamedSeries& named) { return named.Name == name; });
    return found != m_series.end() ? &found->Series : nullptr;
}

CTrendSeries& CLiveViewModel::SeriesNamed(const std::string& name)
{
    // A scan of a few dozen channels: the newest channel is searched first, as in the statistics.
    const auto found = std::find_if(
        m_series.rbegin(), m_series.rend(), [&](const NamedSeries& named) { return named.Name == name; });
    if (found != m_series.rend())
        return found->Series;
    NamedSeries& added = m_series.emplace_back(NamedSeries { name, CTrendSeries(m_limits) });
    added.Series.SetUpperLimit(m_upper);
    added.Series.SetLowerLimit(m_lower);
    return added.Series;
}
