#include "host/run_statistics.h"

#include <algorithm>
#include <cmath>

#include "settings/numeric_locale.h"

namespace {

constexpr std::string_view kOverRangeText = "OverRange";
constexpr const char* kCsvHeader = "Channel,Readings,Passed,Failed,Other,OverRange,NotMeasured,Yield%,Min,Max,Mean,StdDev\r\n";
constexpr const char* kNone = "-";

enum class Verdict { Pass, Fail, Other };

Verdict VerdictOf(const std::string& judgement, bool channelJudgement)
{
    if (channelJudgement)
        return judgement == "PASS" ? Verdict::Pass : judgement == "FAIL" ? Verdict::Fail : Verdict::Other;
    // The comparator's words as the instrument sends them, and as the display spells them.
    if (judgement == "IN")
        return Verdict::Pass;
    if (judgement == "HI" || judgement == "LO" || judgement == "Hi" || judgement == "Lo")
        return Verdict::Fail;
    return Verdict::Other;
}

// A number as the tables show it: enough digits to tell readings of a 6.5-digit meter apart.
std::string Number(double value) { return FormatC("%.9g", value); }

struct Cells {
    std::string Yield, Minimum, Maximum, Mean, Deviation;
};

Cells CellsOf(const ChannelStatistics& channel, const char* none)
{
    Cells cells { none, none, none, none, none };
    if (channel.HasYield())
        cells.Yield = FormatC("%.2f", channel.Yield() * 100.0);
    if (channel.Numeric > 0) {
        cells.Minimum = Number(channel.Minimum);
        cells.Maximum = Number(channel.Maximum);
        cells.Mean = Number(channel.Mean);
    }
    if (channel.HasDeviation())
        cells.Deviation = Number(channel.StdDev());
    return cells;
}

} // namespace

double ChannelStatistics::Yield() const
{
    const int64_t judged = Passed + Failed;
    return judged > 0 ? static_cast<double>(Passed) / static_cast<double>(judged) : 0.0;
}

double ChannelStatistics::StdDev() const
{
    return Numeric > 1 ? std::sqrt(SquaredDeviations / static_cast<double>(Numeric - 1)) : 0.0;
}

bool IsFailingJudgement(const std::string& judgement, bool channelJudgement)
{
    return VerdictOf(judgement, channelJudgement) == Verdict::Fail;
}

void CRunStatistics::AddRow(const StepArrays& steps, int stepCount, bool muxOn, bool muxScan)
{
    ForEachRowReading(steps, stepCount, muxOn, muxScan,
        [this](const std::string& name, const std::string& value, const std::string& judgement, bool channel) {
            AddReading(name, value, judgement, channel);
        });
}

void CRunStatistics::AddReading(const std::string& name, const std::string& value, const std::string& judgement,
    bool channelJudgement)
{
    ChannelStatistics& channel = ChannelNamed(name);
    ++channel.Readings;
    switch (VerdictOf(judgement, channelJudgement)) {
    case Verdict::Pass:
        ++channel.Passed;
        break;
    case Verdict::Fail:
        ++channel.Failed;
        break;
    case Verdict::Other:
        ++channel.Other;
        break;
    }
    double number = 0.0;
    if (value == kOverRangeText) {
        ++channel.OverRange;
        return;
    }
    if (!ParseDoubleC(value, number) || !std::isfinite(number)) {
        ++channel.NotMeasured;
        return;
    }
    ++channel.Numeric;
    if (channel.Numeric == 1) {
        channel.Minimum = channel.Maximum = number;
    } else {
        channel.Minimum = std::min(channel.Minimum, number);
        channel.Maximum = std::max(channel.Maximum, number);
    }
    const double delta = number - channel.Mean;
    channel.Mean += delta / static_cast<double>(channel.Numeric);
    channel.SquaredDeviations += delta * (number - channel.Mean);
}

ChannelStatistics& CRunStatistics::ChannelNamed(const std::string& name)
{
    // Scans of a few dozen channels: a linear search over the last used first is cheap.
    const auto found = std::find_if(m_channels.rbegin(), m_channels.rend(),
        [&](const ChannelStatistics& channel) { return channel.Name == name; });
    if (found != m_channels.rend())
        return *found;
    m_channels.emplace_back().Name = name;
    return m_channels.back();
}

std::string CRunStatistics::FormatTable() const
{
    std::string text = FormatC("%-8s %9s %8s %14s %14s %14s %12s\n", "Channel", "Readings", "Yield", "Min", "Max",
        "Mean", "Sigma");
    for (const ChannelStatistics& channel : m_channels) {
        const Cells cells = CellsOf(channel, kNone);
        const std::string yield = channel.HasYield() ? cells.Yield + "%" : cells.Yield;
        text += FormatC("%-8s %9lld %8s %14s %14s %14s %12s\n", channel.Name.c_str(),
            static_cast<long long>(channel.Readings), yield.c_str(), cells.Minimum.c_str(), cells.Maximum.c_str(),
            cells.Mean.c_str(), cells.Deviation.c_str());
    }
    return text;
}

std::string CRunStatistics::FormatCsv() const
{
    std::string text = kCsvHeader;
    for (const ChannelStatistics& channel : m_channels) {
        const Cells cells = CellsOf(channel, "");
        text += FormatC("%s,%lld,%lld,%lld,%lld,%lld,%lld,%s,%s,%s,%s,%s\r\n", channel.Name.c_str(),
            static_cast<long long>(channel.Readings), static_cast<long long>(channel.Passed),
            static_cast<long long>(channel.Failed), static_cast<long long>(channel.Other),
            static_cast<long long>(channel.OverRange), static_cast<long long>(channel.NotMeasured),
            cells.Yield.c_str(), cells.Minimum.c_str(), cells.Maximum.c_str(), cells.Mean.c_str(),
            cells.Deviation.c_str());
    }
    return text;
}
