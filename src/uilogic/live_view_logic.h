#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "host/run_statistics.h"
#include "settings/meas_set_data.h"

// What the live view shows without drawing it: the comparator's limit lines of a channel, and
// each channel-map tile's colour and texts. Kept apart from the widgets so the rules are tested
// without a display.

inline constexpr int kMapColumns = 7;
inline constexpr int kMapRows = 6; // 42 tiles, one per MUX channel

struct LimitLines {
    std::optional<double> Upper;
    std::optional<double> Lower;
};

// The comparator of a condition as lines in the unit of the recorded values: the ABS window as it
// stands, REF% as the reference widened by the percentage on both sides. No comparator: no lines.
[[nodiscard]] LimitLines LimitLinesOf(const MeasCondition& condition);
// The condition that judges a plotted channel: the front's, or the MUX channel's (1..42) of the
// table in use.
[[nodiscard]] const MeasCondition& ConditionOfChannel(const MeasSetData& data, int channel);

enum class TileState : uint8_t {
    Waiting, // no reading yet
    Passed,
    Failed,
    Other, // judged neither way (ERR, judgement off, over range, not measured)
};

struct ChannelTile {
    TileState State = TileState::Waiting;
    std::string Caption; // "CH4 name"
    std::string Value; // the last recorded value text
    std::string Yield; // "97.5 %", or "-" before a judged reading
};

// The last judgement of a channel as a tile state.
[[nodiscard]] TileState TileStateOf(const std::string& judgement, bool channelJudgement);
// The tile of MUX channel `channel` (1..42) named `name`, from its statistics (absent: no reading).
[[nodiscard]] ChannelTile TileOf(
    int channel, const std::string& name, const ChannelStatistics* statistics, const std::string& lastValue,
    TileState lastState);
// Background of a tile as 0xRRGGBB: the judgement colours of the main window's boxes.
[[nodiscard]] uint32_t TileColourRgb(TileState state);
// "97.5 %" with one decimal; "-" when the channel has no judged reading.
[[nodiscard]] std::string FormatYield(const ChannelStatistics& statistics);
