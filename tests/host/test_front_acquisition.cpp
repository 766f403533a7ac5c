#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "host/host_rig.h"

namespace {

SimOptions FrontOptions(const std::string& model = "VX6207")
{
    SimOptions options;
    options.Model = model;
    return options;
}

} // namespace

TEST(FrontAcquisition, IntervalRecordsTheCountAndSendsNothingMore)
{
    for (const int count : { 1, 3 }) {
        CHostRig rig(FrontOptions());
        ASSERT_TRUE(rig.Started);
        rig.Controller->Method = CaptureMethod::Interval;
        rig.Controller->Count = count;
        ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
        ASSERT_TRUE(rig.RunUntilIdle());
        const std::vector<std::string> lines = rig.FileLines();
        ASSERT_EQ(lines.size(), static_cast<size_t>(count) + 1);
        EXPECT_EQ(lines[0], "Number,MeasValue,CompJudge,");
        for (int i = 1; i <= count; ++i)
            EXPECT_TRUE(std::regex_match(
                lines[static_cast<size_t>(i)], std::regex(std::to_string(i) + R"(,1\.2\d{4}E-03,(---|IN|Hi|Lo))")))
                << lines[static_cast<size_t>(i)];
        EXPECT_EQ(rig.CountReceived(":FETCh? LIMit"), static_cast<size_t>(count));
        EXPECT_EQ(rig.CountReceived(":SYST:DATA 0"), 1U);
        EXPECT_EQ(rig.Sim.ReceivedLines().back(), ":ABORt");
        EXPECT_TRUE(rig.Sink.Idle);
        EXPECT_TRUE(rig.Prompt.Texts.empty());
        EXPECT_FALSE(rig.Link.IsOpen);
    }
}

TEST(FrontAcquisition, CaptureKeyRecordsTheValueOnDisplay)
{
    CHostRig rig(FrontOptions());
    rig.Controller->Method = CaptureMethod::Key;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    ASSERT_TRUE(rig.Host.Pump([&] { return rig.Sink.Value.rfind("1.2", 0) == 0; }, 10000));
    rig.Controller->Capture();
    ASSERT_TRUE(rig.RunUntilRows(1));
    ASSERT_TRUE(rig.Host.Pump([&] { return rig.Controller->CaptureCount() == 1; }, 10000));
    // The display refreshes between captures.
    ASSERT_TRUE(rig.Host.Pump([&] { return rig.CountReceived(":FETCh? LIMit") >= 3; }, 10000));
    rig.Controller->Capture();
    ASSERT_TRUE(rig.RunUntilRows(2));
    EXPECT_EQ(rig.Sink.Recorded, (std::vector<int> { 0, 1 }));
    (void)rig.Controller->Stop(); // retried through WM_MEAS_END when the worker is busy
    ASSERT_TRUE(rig.RunUntilIdle());
    const std::vector<std::string> lines = rig.FileLines();
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[1].substr(0, 2), "1,");
    EXPECT_EQ(lines[2].substr(0, 2), "2,");
}

TEST(FrontAcquisition, ExternalTriggerRecordsOneRowPerTrigger)
{
    CHostRig rig(FrontOptions());
    ASSERT_TRUE(rig.SendToInstrument(":trig:sour ext"));
    rig.Controller->Method = CaptureMethod::Trigger;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    for (size_t fired = 1; fired <= 3; ++fired) {
        ASSERT_TRUE(rig.Host.Pump([&] { return rig.CountReceived(":READ? LIMit") == fired; }, 10000));
        rig.Sim.FireTrigger();
        ASSERT_TRUE(rig.RunUntilRows(fired));
    }
    EXPECT_EQ(rig.CountReceived(":init:cont off"), 1U);
    EXPECT_TRUE(rig.Controller->Stop() || rig.RunUntilIdle());
    EXPECT_EQ(rig.FileLines().size(), 4U);
}

TEST(FrontAcquisition, PolledTriggerInputRecordsOnlyTriggeredSamples)
{
    for (const bool filter : { false, true }) {
        CHostRig rig(FrontOptions());
        rig.Config.FilterEnable = filter;
        rig.Config.FilterTime = 20;
        rig.Controller->Method = CaptureMethod::Trigger;
        ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
        // Samples without the trigger bit are displayed, never recorded.
        ASSERT_TRUE(rig.Host.Pump([&] { return rig.CountReceived("io:input?") >= 5; }, 10000));
        EXPECT_TRUE(rig.Sink.Recorded.empty());
        for (size_t fired = 1; fired <= 2; ++fired) {
            // Fired while the input is being sampled, not while the filter ignores it.
            const size_t reads = rig.CountReceived("io:input?");
            ASSERT_TRUE(rig.Host.Pump([&] { return rig.CountReceived("io:input?") >= reads + 3; }, 10000));
            rig.Sim.FireTrigger();
            ASSERT_TRUE(rig.RunUntilRows(fired)) << filter;
        }
        EXPECT_EQ(rig.CountReceived(":init:cont on"), 1U);
        EXPECT_TRUE(rig.Controller->Stop() || rig.RunUntilIdle());
        EXPECT_EQ(rig.FileLines().size(), 3U) << filter;
    }
}

TEST(FrontAcquisition, StartFailuresTellTheOperatorWhy)
{
    struct Case {
        SimOptions Options;
        bool Running;
        int32_t ConfiguredModel;
        const char* Message;
    };
    SimOptions silent = FrontOptions();
    silent.DropReplyTo = "*idn?";
    const Case cases[] = {
        { FrontOptions(), false, 8,
            "Failed to open interface.\nNo connection at this address: check the address, the port and the cable." },
        { silent, true, 8,
            "No response.\nNo reply at this address: check that the instrument is switched on and its LAN settings." },
        { FrontOptions("VX6208"), true, 8,
            "The model setting and the model of the connection destination are different." },
    };
    for (const Case& c : cases) {
        CHostRig rig(c.Options, c.Running);
        rig.Config.ModelCode = c.ConfiguredModel;
        rig.Controller->Method = CaptureMethod::Interval;
        EXPECT_EQ(rig.Controller->Start(), StartResult::Failed);
        ASSERT_TRUE(rig.RunUntilIdle());
        EXPECT_EQ(rig.Prompt.Texts, (std::vector<std::string> { c.Message, "Failed to start measurement." }));
        EXPECT_FALSE(rig.Link.IsOpen);
        EXPECT_TRUE(rig.Sink.Idle);
    }
}

TEST(FrontAcquisition, StopWithoutAWorkerTouchesNothing)
{
    CHostRig rig(FrontOptions());
    EXPECT_TRUE(rig.Controller->Stop());
    EXPECT_TRUE(rig.Sim.ReceivedLines().empty());
    EXPECT_TRUE(rig.Controller->Stop());
}

TEST(FrontAcquisition, StopWhileAResultAwaitsItsAcknowledgementIsRetriedAndKeepsTheResult)
{
    CHostRig rig(FrontOptions());
    rig.Controller->Method = CaptureMethod::Interval;
    rig.Controller->Count = 50;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    // Nobody serves the loop: the worker posts its first result and waits for the acknowledgement.
    for (int i = 0; i < 400 && rig.CountReceived(":FETCh? LIMit") == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(rig.Controller->Stop());
    EXPECT_TRUE(rig.Controller->WorkerExists());
    ASSERT_TRUE(rig.RunUntilIdle());
    EXPECT_EQ(rig.Sink.Recorded, std::vector<int> { 0 });
    EXPECT_EQ(rig.FileLines().size(), 2U);
    EXPECT_TRUE(rig.Sink.Idle);
}

TEST(FrontAcquisition, AFullDiskStopsWithAMessageAndKeepsNothingHalfWritten)
{
    CHostRig rig(FrontOptions());
    rig.Controller->Method = CaptureMethod::Interval;
    rig.Controller->Count = 5;
    rig.Controller->FilePath = "/dev/full";
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    ASSERT_TRUE(rig.RunUntilIdle());
    EXPECT_EQ(rig.Prompt.Texts, std::vector<std::string> { "Failed to save data.\n/dev/full: the disk is full" });
    EXPECT_TRUE(rig.Sink.Recorded.empty());
}

TEST(FrontAcquisition, AnUnopenableFileEndsTheStartQuietlyAfterItsOwnMessage)
{
    CHostRig rig(FrontOptions());
    rig.Controller->Method = CaptureMethod::Interval;
    rig.Controller->FilePath = rig.Folder + "/no-such-folder/x.csv";
    EXPECT_EQ(rig.Controller->Start(), StartResult::RecorderFailed);
    ASSERT_TRUE(rig.RunUntilIdle()); // the worker may still be settling: Stop is retried
    EXPECT_EQ(rig.Prompt.Texts,
        std::vector<std::string> { "Failed to open file.\n" + rig.Controller->FilePath + ": no such file or folder" });
    EXPECT_FALSE(rig.Link.IsOpen);
}

TEST(FrontAcquisition, CaptureHoldsTheWorkerUntilItsTimerAndRecordsTheValueShown)
{
    CHostRig rig(FrontOptions());
    rig.Config.SaveJudge = 0;
    rig.Controller->Method = CaptureMethod::Key;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    ASSERT_TRUE(rig.Host.Pump([&] { return rig.Sink.Value.rfind("1.2", 0) == 0; }, 10000));
    const std::string shown = rig.Sink.Value;
    rig.Controller->Capture();
    EXPECT_TRUE(rig.Controller->CaptureHeld());
    ASSERT_TRUE(rig.Host.Pump([&] { return !rig.Controller->CaptureHeld(); }, 10000));
    EXPECT_EQ(rig.Controller->CaptureCount(), 1);
    // Released, the worker refreshes the display again.
    const size_t fetches = rig.CountReceived(":FETCh?");
    ASSERT_TRUE(rig.Host.Pump([&] { return rig.CountReceived(":FETCh?") > fetches; }, 10000));
    (void)rig.Controller->Stop();
    ASSERT_TRUE(rig.RunUntilIdle());
    const std::vector<std::string> lines = rig.FileLines();
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[1], "1," + shown);
}
