#include <gtest/gtest.h>

#include "uilogic/live_view_logic.h"

namespace {

MeasCondition Comparator(int32_t on, int32_t mode, int64_t upper, int64_t lower)
{
    MeasCondition condition;
    condition.CompOn = on;
    condition.CompMode = mode;
    condition.CompUpper = upper;
    condition.CompLower = lower;
    return condition;
}

} // namespace

TEST(LiveViewLogic, LimitLinesFollowTheComparatorMode)
{
    struct Case {
        const char* Name;
        MeasCondition Condition;
        std::optional<double> Upper, Lower;
    };
    const Case cases[] = {
        { "off draws nothing", Comparator(0, 0, 1500000000, 500000000), std::nullopt, std::nullopt },
        { "ABS as it stands", Comparator(1, 0, 1500000000, 500000000), 1.5, 0.5 },
        // REF%: 100 ohm reference, 2.5 % either side (percentages in thousandths).
        { "REF% around the reference", Comparator(1, 1, 100000000000, 2500), 102.5, 97.5 },
        { "REF% of 0 % is the reference", Comparator(1, 1, 1000000000, 0), 1.0, 1.0 },
    };
    for (const Case& test : cases) {
        const LimitLines lines = LimitLinesOf(test.Condition);
        ASSERT_EQ(lines.Upper.has_value(), test.Upper.has_value()) << test.Name;
        ASSERT_EQ(lines.Lower.has_value(), test.Lower.has_value()) << test.Name;
        if (test.Upper) {
            EXPECT_DOUBLE_EQ(*lines.Upper, *test.Upper) << test.Name;
            EXPECT_DOUBLE_EQ(*lines.Lower, *test.Lower) << test.Name;
        }
    }
}

TEST(LiveViewLogic, TheChannelsConditionComesFromTheTableInUse)
{
    MeasSetData data;
    InitMeasSetData(data, 10);
    data.Front.Cond.CompUpper = 1;
    data.Channels4Wire[3].CompUpper = 4;
    data.Channels2Wire[3].CompUpper = 2;
    EXPECT_EQ(ConditionOfChannel(data, 4).CompUpper, 1) << "MUX off: the front judges";
    data.MuxOn = 1;
    EXPECT_EQ(ConditionOfChannel(data, 4).CompUpper, 4);
    data.MuxMeasMethod = 1;
    EXPECT_EQ(ConditionOfChannel(data, 4).CompUpper, 2);
    EXPECT_EQ(ConditionOfChannel(data, 0).CompUpper, 1);
    EXPECT_EQ(ConditionOfChannel(data, 43).CompUpper, 1);
}

TEST(LiveViewLogic, TilesShowTheLastJudgementAndTheYield)
{
    struct Case {
        const char* Judgement;
        bool Channel;
        TileState State;
    };
    const Case cases[] = {
        { "PASS", true, TileState::Passed },
        { "FAIL", true, TileState::Failed },
        { "ERR", true, TileState::Other },
        { "IN", false, TileState::Passed },
        { "HI", false, TileState::Failed },
        { "LO", false, TileState::Failed },
        { "IN", true, TileState::Other }, // on the MUX only the channel judgement counts
        { "---", true, TileState::Other },
    };
    for (const Case& test : cases)
        EXPECT_EQ(TileStateOf(test.Judgement, test.Channel), test.State) << test.Judgement << test.Channel;

    CRunStatistics statistics;
    for (const char* judgement : { "PASS", "PASS", "FAIL", "ERR" })
        statistics.AddReading("Heater", "1.0", judgement, true);
    const ChannelTile tile = TileOf(4, "Heater", &statistics.Channels().front(), "1.0", TileState::Other);
    EXPECT_EQ(tile.Caption, "CH4 Heater");
    EXPECT_EQ(tile.Value, "1.0");
    EXPECT_EQ(tile.Yield, "66.7 %") << "ERR neither passes nor fails";
    EXPECT_EQ(tile.State, TileState::Other);

    const ChannelTile waiting = TileOf(7, "CH7", nullptr, "", TileState::Failed);
    EXPECT_EQ(waiting.Caption, "CH7");
    EXPECT_EQ(waiting.State, TileState::Waiting);
    EXPECT_EQ(waiting.Yield, "-");
    EXPECT_NE(TileColourRgb(TileState::Failed), TileColourRgb(TileState::Passed));
}
