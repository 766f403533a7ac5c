#include <gtest/gtest.h>

#include "host/host_rig.h"
#include "host/zero_adjust_run.h"

namespace {

struct ZeroAdjustCase {
    const char* Name;
    bool Mux;
    bool InstrumentFails;
    bool StopWhilePolling;
    ZeroAdjustStatus Expected;
    const char* Message; // empty: nothing shown
    size_t AbortLines; // ":ABORt" received after the start
};

const ZeroAdjustCase kCases[] = {
    { "FrontDone", false, false, false, ZeroAdjustStatus::Done, "", 0 },
    { "FrontFailure", false, true, false, ZeroAdjustStatus::Failed, kFailedToCompleteZeroAdjust, 0 },
    { "FrontStopSendsNoAbort", false, false, true, ZeroAdjustStatus::Aborted, "", 0 },
    { "MuxDone", true, false, false, ZeroAdjustStatus::Done, "", 0 },
    { "MuxFailure", true, true, false, ZeroAdjustStatus::Failed, kFailedToCompleteZeroAdjust, 0 },
    { "MuxStopSendsAbort", true, false, true, ZeroAdjustStatus::Aborted, "", 1 },
};

void PrintTo(const ZeroAdjustCase& test, std::ostream* out) { *out << test.Name; }

class ZeroAdjustRunTest : public testing::TestWithParam<ZeroAdjustCase> { };

TEST_P(ZeroAdjustRunTest, EndsWithTheStatusAndTheLinkClosed)
{
    const ZeroAdjustCase& test = GetParam();
    SimOptions options = test.Mux ? MuxOptions({ 1, 2 }, "OFF") : SimOptions {};
    options.ZeroAdjustFails = test.InstrumentFails;
    // A stopped run must not end by itself first.
    options.ZeroAdjustMs = test.StopWhilePolling ? 600000 : 50;
    CHostRig rig(options);
    ASSERT_TRUE(rig.Started);
    rig.Data.MuxOn = test.Mux ? 1 : 0;
    rig.Data.Front.Cond.AutoRange = 0;
    rig.Data.Front.Cond.Range = 3;
    MeasCondition& first = rig.Data.Channels(rig.Data.MuxMeasMethod)[0];
    first.AutoRange = 0;
    first.Range = 3;
    rig.Data.Pins(rig.Data.MuxMeasMethod)[0].Enable = 1;

    std::atomic<bool> stop { false };
    int polls = 0;
    CZeroAdjustRun run(rig.Prompt, rig.Link);
    run.SetWait([](int) { }); // the check itself waits for the answer
    run.SetProgress([&](double) {
        ++polls;
        if (test.StopWhilePolling)
            stop = true;
    });
    ASSERT_TRUE(run.Start(rig.Data, true));
    ASSERT_TRUE(rig.Host.Pump([&] { return rig.CountReceived(":ADJust?") >= 1; }, 10000, 1));
    rig.Sim.ClearReceivedLines(); // the connect sequence has aborts of its own
    EXPECT_EQ(run.Wait(stop), test.Expected);

    EXPECT_EQ(rig.Link.IsOpen, 0);
    // The line that ends the sequence on this connection; an abort would have come before it.
    const char* last = test.AbortLines > 0 ? ":ABORt" : ":MUX:VAR:SET:END";
    ASSERT_TRUE(rig.Host.Pump([&] { return rig.CountReceived(last) >= 1; }, 10000, 1));
    EXPECT_EQ(rig.CountReceived(":ABORt"), test.AbortLines);
    const std::vector<std::string> expected = *test.Message != '\0' ? std::vector<std::string> { test.Message }
                                                                     : std::vector<std::string> {};
    EXPECT_EQ(rig.Prompt.Texts, expected);
    if (test.StopWhilePolling) {
        EXPECT_GE(polls, 1);
    }
    if (test.Expected == ZeroAdjustStatus::Done) {
        const MeasSetData& values = run.Values();
        const MeasCondition& adjusted = test.Mux ? values.Channels(values.MuxMeasMethod)[0] : values.Front.Cond;
        EXPECT_NE(adjusted.ZeroAdjOn[3], 0);
        EXPECT_EQ(adjusted.ZeroAdjValue[3], test.Mux ? 101 : 12); // the simulator's offset of the range
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ZeroAdjustRunTest, testing::ValuesIn(kCases),
    [](const testing::TestParamInfo<ZeroAdjustCase>& info) { return std::string(info.param.Name); });

TEST(ZeroAdjustRun, NoInstrumentFailsToStart)
{
    CHostRig rig(SimOptions {}, false);
    CZeroAdjustRun run(rig.Prompt, rig.Link);
    std::atomic<bool> stop { false };
    EXPECT_EQ(run.Run(rig.Data, false, stop), ZeroAdjustStatus::Failed);
    ASSERT_FALSE(rig.Prompt.Texts.empty());
    EXPECT_EQ(rig.Prompt.Texts.back(), kFailedToStartZeroAdjust);
    EXPECT_EQ(rig.Link.IsOpen, 0);
}

TEST(ModelFamily, CaptionsOfTheCodes)
{
    for (const int32_t code : kModelCodes) {
        const std::string expected = code == kModelVx6208                                  ? "VX6208"
            : (code == kModelVx6207A_1 || code == kModelVx6207A_2) ? "VX6207A"
                                                                   : "VX6207";
        EXPECT_EQ(ModelFamilyName(code), expected) << code;
    }
}

} // namespace
