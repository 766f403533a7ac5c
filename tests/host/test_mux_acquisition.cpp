#include <gtest/gtest.h>

#include <regex>

#include "host/host_rig.h"

TEST(MuxAcquisition, AutoScanOnCaptureRecordsOneRowPerScan)
{
    CHostRig rig(MuxOptions({ 1, 2, 3 }, "AUTO"));
    rig.Config.SaveMuxJudge = 1;
    rig.Controller->Method = CaptureMethod::Key;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    EXPECT_TRUE(rig.Data.MuxOn);
    EXPECT_TRUE(rig.Data.MuxScan);
    for (size_t scans = 1; scans <= 2; ++scans) {
        rig.Controller->Capture();
        ASSERT_TRUE(rig.RunUntilRows(scans));
    }
    (void)rig.Controller->Stop();
    ASSERT_TRUE(rig.RunUntilIdle());
    const std::vector<std::string> lines = rig.FileLines();
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0],
        "Number,TotalJudge,CH1_MeasValue,CH1_CompJudge,CH1_MuxJudge,CH2_MeasValue,CH2_CompJudge,"
        "CH2_MuxJudge,CH3_MeasValue,CH3_CompJudge,CH3_MuxJudge,");
    EXPECT_EQ(std::count(lines[2].begin(), lines[2].end(), ','), 10);
    EXPECT_EQ(lines[2].substr(0, 2), "2,");
    EXPECT_EQ(rig.CountReceived(":READ?"), 2U);
    EXPECT_EQ(rig.CountReceived("TRIGGER:SOURCE IMM"), 1U);
    EXPECT_EQ(rig.Sink.StepRows.size(), 6U);
}

TEST(MuxAcquisition, StepScanMeasuresOneChannelPerCaptureAndClearsBeforeTheFirst)
{
    CHostRig rig(MuxOptions({ 2, 5, 9 }, "STEP", 2));
    rig.Controller->Method = CaptureMethod::Key;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    EXPECT_EQ(rig.Sink.CurrentChannel, "------"); // cleared after Start; the name came first
    for (int step = 1; step <= 3; ++step) {
        const size_t fetches = static_cast<size_t>(step);
        rig.Controller->Capture();
        ASSERT_TRUE(rig.Host.Pump(
            [&] {
                size_t count = 0;
                for (const std::string& line : rig.Sim.ReceivedLines())
                    count += line.rfind(":FETCH? LIMJdge,", 0) == 0 ? 1 : 0;
                return count == fetches && rig.Sink.StepRows.size() == fetches;
            },
            10000));
    }
    ASSERT_TRUE(rig.RunUntilRows(1)); // the scan completed with the third channel
    EXPECT_EQ(rig.CountReceived(":FETCH? LIMJdge,2"), 1U);
    EXPECT_EQ(rig.CountReceived(":FETCH? LIMJdge,5"), 1U);
    EXPECT_EQ(rig.CountReceived(":FETCH? LIMJdge,9"), 1U);
    EXPECT_EQ(rig.Sink.Scrolled.back(), 8);
    (void)rig.Controller->Stop();
    ASSERT_TRUE(rig.RunUntilIdle());
    const std::vector<std::string> lines = rig.FileLines();
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0],
        "Number,TotalJudge,CH2_MeasValue,CH2_CompJudge,CH5_MeasValue,CH5_CompJudge,CH9_MeasValue,"
        "CH9_CompJudge,");
}

TEST(MuxAcquisition, FailStopReadsOnlyUpToTheFailingChannel)
{
    SimOptions options = MuxOptions({ 1, 2, 3, 4, 5 }, "AUTO");
    options.MuxFailStop = true;
    options.DefaultResistance = 1.0;
    options.ChannelResistance[3] = 2.0;
    for (int channel = 1; channel <= 5; ++channel)
        options.ChannelLimits[channel] = { 0.5, 1.5 };
    CHostRig rig(options);
    rig.Config.SaveMuxJudge = 1;
    rig.Controller->Method = CaptureMethod::Interval;
    rig.Controller->Count = 1;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    ASSERT_TRUE(rig.RunUntilIdle());
    EXPECT_EQ(rig.CountReceived(":FETCH? LIMJdge,3"), 1U);
    EXPECT_EQ(rig.CountReceived(":FETCH? LIMJdge,4"), 0U);
    EXPECT_EQ(rig.Sink.Scrolled.back(), 2); // three steps read
    EXPECT_EQ(rig.Sink.Total, "FAIL");
    const std::vector<std::string> lines = rig.FileLines();
    ASSERT_EQ(lines.size(), 2U);
    // Steps 4 and 5 keep the texts they had: nothing was read for them in this scan.
    EXPECT_NE(lines[1].find(",FAIL,"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find("-----------,---,---,-----------,---,---"), std::string::npos) << lines[1];
}

TEST(MuxAcquisition, ManualChannelMeasuresTheOperatorsChannel)
{
    CHostRig rig(MuxOptions({ 1, 4 }, "OFF", 1));
    rig.Controller->Method = CaptureMethod::Interval;
    rig.Controller->Count = 2;
    rig.Controller->ChannelNo = 4;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    EXPECT_TRUE(rig.Data.MuxOn);
    EXPECT_FALSE(rig.Data.MuxScan);
    ASSERT_TRUE(rig.RunUntilIdle());
    EXPECT_EQ(rig.CountReceived("CH 4"), 1U);
    const std::vector<std::string> lines = rig.FileLines();
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0], "Number,CH4_MeasValue,CH4_CompJudge,");
}

TEST(MuxAcquisition, PreparationFailuresTellTheOperatorWhy)
{
    struct Case {
        SimOptions Options;
        CaptureMethod Method;
        int32_t Channel;
        const char* Message;
    };
    SimOptions cable = MuxOptions({ 1 }, "AUTO");
    cable.FrontCable = true;
    const Case cases[] = {
        { cable, CaptureMethod::Key, 1, "Disconnect cable from front terminal and start measurement." },
        { MuxOptions({ 0 }, "AUTO"), CaptureMethod::Key, 1, "There is no effective CH." },
        { MuxOptions({ 1, 2 }, "OFF"), CaptureMethod::Key, 7, "The set channel is not available." },
        { MuxOptions({ 1, 2 }, "STEP"), CaptureMethod::Interval, 1,
            "Interval measurement is not supported when Scan-TRG is STEP." },
    };
    for (const Case& c : cases) {
        CHostRig rig(c.Options);
        rig.Controller->Method = c.Method;
        rig.Controller->ChannelNo = c.Channel;
        EXPECT_EQ(rig.Controller->Start(), StartResult::Failed) << c.Message;
        ASSERT_TRUE(rig.RunUntilIdle()); // a worker still settling ends through the retried Stop
        EXPECT_EQ(rig.Prompt.Texts, (std::vector<std::string> { c.Message, "Failed to start measurement." }));
        EXPECT_FALSE(rig.Link.IsOpen);
    }
}

TEST(MuxAcquisition, AnInstrumentThatGoesAwayStopsTheScanAndKeepsTheRows)
{
    SimOptions options = MuxOptions({ 1, 2 }, "AUTO");
    // Start takes 1 + 1 + 3 + 1 + 42 + 1 + 1 lines; each scan about 7 more.
    options.CloseAfterLines = 70;
    CHostRig rig(options);
    rig.Controller->Method = CaptureMethod::Interval;
    rig.Controller->Count = 100;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    ASSERT_TRUE(rig.RunUntilIdle());
    EXPECT_EQ(rig.Prompt.Texts,
        std::vector<std::string> { "Failed to capture measurement results.\n"
                                   "The connection was closed by the instrument." });
    const std::vector<std::string> lines = rig.FileLines();
    ASSERT_GE(lines.size(), 2U);
    EXPECT_EQ(lines.size(), rig.Sink.Recorded.size() + 1);
}

TEST(MuxAcquisition, ExternalTriggerScanRecordsOneRowPerTrigger)
{
    CHostRig rig(MuxOptions({ 1, 2 }, "AUTO"));
    rig.Controller->Method = CaptureMethod::Trigger;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    for (size_t fired = 1; fired <= 2; ++fired) {
        ASSERT_TRUE(rig.Host.Pump([&] { return rig.CountReceived(":READ?") == fired; }, 10000));
        rig.Sim.FireTrigger();
        ASSERT_TRUE(rig.RunUntilRows(fired));
    }
    (void)rig.Controller->Stop();
    ASSERT_TRUE(rig.RunUntilIdle());
    EXPECT_EQ(rig.CountReceived("TRIGGER:SOURCE EXT"), 1U);
    EXPECT_EQ(rig.Sink.Recorded, (std::vector<int> { 0, 1 }));
    EXPECT_EQ(rig.FileLines().size(), 3U);
}

TEST(MuxAcquisition, IntervalScansRestartTheTimerPerScanAndReadTheTemperature)
{
    CHostRig rig(MuxOptions({ 1, 2 }, "AUTO"));
    rig.Config.SaveTemp = 1;
    rig.Controller->Method = CaptureMethod::Interval;
    rig.Controller->IntervalSec = 0.1;
    rig.Controller->Count = 3;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    ASSERT_TRUE(rig.RunUntilIdle());
    EXPECT_EQ(rig.CountReceived(":READ?"), 3U);
    EXPECT_EQ(rig.CountReceived(":FETC:TEMP?"), 3U);
    const std::vector<std::string> lines = rig.FileLines();
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_EQ(lines[0], "Number,TotalJudge,CH1_MeasValue,CH1_CompJudge,CH2_MeasValue,CH2_CompJudge,Temperature,");
    for (size_t row = 1; row < lines.size(); ++row)
        EXPECT_TRUE(
            std::regex_match(lines[row], std::regex(std::to_string(row) + R"(,[-\w]+(,[0-9.]+E-03,---){2},[0-9.]+)")))
            << lines[row];
}
