#include "uilogic/live_view_logic.h"

#include <algorithm>

#include "settings/numeric_locale.h"

namespace {

constexpr double kNano = 1e-9;
constexpr double kPercentThousandths = 100000.0; // REF% percentages are kept in 1/1000 %

} // namespace

LimitLines LimitLinesOf(const MeasCondition& condition)
{
    if (condition.CompOn == 0)
        return {};
    const double upper = static_cast<double>(condition.CompUpper) * kNano;
    if (condition.CompMode == 0)
        return { upper, static_cast<double>(condition.CompLower) * kNano };
    const double share = static_cast<double>(condition.CompLower) / kPercentThousandths;
    return { upper * (1.0 + share), upper * (1.0 - share) };
}

const MeasCondition& ConditionOfChannel(const MeasSetData& data, int channel)
{
    if (data.MuxOn == 0 || channel < 1 || channel > static_cast<int>(kMuxChannels))
        return data.Front.Cond;
    return data.Channels(data.MuxMeasMethod)[static_cast<size_t>(channel - 1)];
}

TileState TileStateOf(const std::string& judgement, bool channelJudgement)
{
    if (IsFailingJudgement(judgement, channelJudgement))
        return TileState::Failed;
    if (judgement == (channelJudgement ? "PASS" : "IN"))
        return TileState::Passed;
    return TileState::Other;
}

std::string FormatYield(const ChannelStatistics& statistics)
{
    if (!statistics.HasYield())
        return "-";
    return FormatC("%.1f %%", statistics.Yield() * 100.0);
}

ChannelTile TileOf(int channel, const std::string& name, const ChannelStatistics* statistics,
    const std::string& lastValue, TileState lastState)
{
    ChannelTile tile;
    tile.Caption = FormatC("CH%d", channel);
    if (!name.empty() && name != tile.Caption)
        tile.Caption += " " + name;
    if (statistics == nullptr || statistics->Readings == 0) {
        tile.Value = "-";
        tile.Yield = "-";
        return tile;
    }
    tile.State = lastState;
    tile.Value = lastValue;
    tile.Yield = FormatYield(*statistics);
    return tile;
}

uint32_t TileColourRgb(TileState state)
{
    switch (state) {
    case TileState::Passed:
        return 0x66CC66;
    case TileState::Failed:
        return 0xFF5050;
    case TileState::Other:
        return 0xFFD966;
    case TileState::Waiting:
        break;
    }
    return 0xF0F0F0;
}
