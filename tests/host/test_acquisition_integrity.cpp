// Acquisitions that meet faults: recording failures, scans cut short, bad or missing replies, and
// the recorded text itself. Each case runs a whole acquisition against the simulator.
#include <gtest/gtest.h>

#include <regex>

#include "host/host_rig.h"

namespace {

SimOptions FrontOptions()
{
    SimOptions options;
    options.Model = "VX6207";
    return options;
}

} // namespace

TEST(AcquisitionIntegrity, StopAfterARecordingFailureEndsWhileAResultIsOnItsWay)
{
    SimOptions options = FrontOptions();
    options.LatencyMs = 30;
    CHostRig rig(options);
    rig.Controller->Method = CaptureMethod::Key;
    rig.Controller->FilePath = "/dev/full";
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    // Capture just after the next request went out: its reply arrives while the stop is under way.
    ASSERT_TRUE(rig.Host.Pump([&] { return rig.CountReceived(":FETCh? LIMit") >= 2; }, 10000, 1));
    rig.Controller->Capture();
    ASSERT_TRUE(rig.RunUntilIdle(15000));
    EXPECT_EQ(rig.Prompt.Texts, std::vector<std::string> { "Failed to save data.\n/dev/full: the disk is full" });
    EXPECT_TRUE(rig.Controller->EndedWithError());
    EXPECT_TRUE(rig.Sink.Idle);
}

TEST(AcquisitionIntegrity, AMessageThatRepostsItselfDoesNotHoldOffTheDeadlineOrTheDoneCheck)
{
    CHeadlessHost host;
    int served = 0;
    host.SetHandlers(
        [&](const NotifyMessage& message) {
            ++served;
            host.Post(message);
        },
        [](int) {});
    host.Post(NotifyMessage {});
    EXPECT_FALSE(host.Pump([] { return false; }, 50));
    EXPECT_TRUE(host.Pump([&] { return served >= 100; }, 10000));
}

TEST(AcquisitionIntegrity, AScanCutShortRecordsTheUnreachedChannelsAsNotMeasured)
{
    SimOptions options = MuxOptions({ 1, 2, 3 }, "AUTO");
    options.MuxFailStop = true;
    options.DefaultResistance = 1.0;
    for (int channel = 1; channel <= 3; ++channel)
        options.ChannelLimits[channel] = { 0.5, 1.5 };
    CHostRig rig(options);
    rig.Config.SaveMuxJudge = 1;
    rig.Controller->Method = CaptureMethod::Key;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    rig.Controller->Capture();
    ASSERT_TRUE(rig.RunUntilRows(1));
    rig.Sim.SetChannelResistance(1, 2.0); // the next scan fails at its first channel and stops
    rig.Controller->Capture();
    ASSERT_TRUE(rig.RunUntilRows(2));
    (void)rig.Controller->Stop();
    ASSERT_TRUE(rig.RunUntilIdle());
    const std::vector<std::string> rows = rig.DataRows();
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_TRUE(std::regex_match(rows[0], std::regex(R"(1,PASS(,[0-9.]+E[-+]0[01],IN,PASS){3})"))) << rows[0];
    EXPECT_TRUE(std::regex_match(rows[1], std::regex(R"(2,FAIL,2\.0\d*E\+00,HI,FAIL(,-----------,---,---){2})")))
        << rows[1];
}

TEST(AcquisitionIntegrity, BadOrMissingRepliesAreAskedForOnceMoreThenEndTheAcquisition)
{
    struct Case {
        const char* Name;
        SimOptions Options;
        const char* Request; // sent twice, then nothing more
        const char* Cause; // the second line of the message
    };
    SimOptions garbled = FrontOptions();
    garbled.GarbleReplyTo = ":FETCh?";
    SimOptions lost = FrontOptions();
    lost.DropReplyTo = ":FETCh?";
    SimOptions garbledChannel = MuxOptions({ 1, 2 }, "AUTO");
    garbledChannel.GarbleReplyTo = ":FETCH?";
    const Case cases[] = {
        { "garbled", garbled, ":FETCh? LIMit", "The instrument's replies were not measurement results." },
        { "lost", lost, ":FETCh? LIMit", "No reply within 3000 ms." },
        { "garbled channel", garbledChannel, ":FETCH? LIMJdge,1",
            "The instrument's replies were not measurement results." },
    };
    for (const Case& c : cases) {
        CHostRig rig(c.Options);
        rig.Controller->Method = CaptureMethod::Interval;
        rig.Controller->Count = 5;
        ASSERT_EQ(rig.Controller->Start(), StartResult::Started) << c.Name;
        ASSERT_TRUE(rig.RunUntilIdle(30000)) << c.Name;
        EXPECT_EQ(rig.Prompt.Texts,
            std::vector<std::string> { std::string("Failed to capture measurement results.\n") + c.Cause })
            << c.Name;
        EXPECT_EQ(rig.CountReceived(c.Request), 2U) << c.Name;
        EXPECT_TRUE(rig.Sink.Recorded.empty()) << c.Name;
        EXPECT_TRUE(rig.Controller->EndedWithError()) << c.Name;
    }
}

TEST(AcquisitionIntegrity, ABadOrMissingReplyFollowedByAGoodOneCostsOnlyTheRetry)
{
    SimOptions garbled = FrontOptions();
    garbled.GarbleReplyTo = ":FETCh?";
    garbled.FaultEvery = 2; // every reading's first reply is bad, its retry good
    SimOptions lost = FrontOptions();
    lost.DropReplyTo = ":FETCh?";
    lost.FaultEvery = 3;
    for (const SimOptions& options : { garbled, lost }) {
        CHostRig rig(options);
        rig.Controller->Method = CaptureMethod::Interval;
        rig.Controller->Count = 3;
        ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
        ASSERT_TRUE(rig.RunUntilIdle(30000));
        EXPECT_TRUE(rig.Prompt.Texts.empty());
        EXPECT_EQ(rig.CountReceived(":FETCh? LIMit"), options.FaultEvery == 2 ? 6U : 5U);
        const std::vector<std::string> rows = rig.DataRows();
        ASSERT_EQ(rows.size(), 3U);
        for (const std::string& row : rows)
            EXPECT_TRUE(std::regex_match(row, std::regex(R"(\d,1\.2\d{4}E-03,(---|IN|Hi|Lo))"))) << row;
    }
}

TEST(AcquisitionIntegrity, AValueWithADecimalCommaIsQuotedOnlyBetweenCommas)
{
    struct Case {
        int32_t Decimal;
        int32_t Separator;
        const char* Row;
    };
    const Case cases[] = {
        { 1, 0, R"(1,"1,2\d{4}E-03",(---|IN|Hi|Lo))" },
        { 1, 1, R"(1;1,2\d{4}E-03;(---|IN|Hi|Lo))" },
        { 0, 0, R"(1,1\.2\d{4}E-03,(---|IN|Hi|Lo))" },
        { 1, 3, R"(1 1,2\d{4}E-03 (---|IN|Hi|Lo))" },
    };
    for (const Case& c : cases) {
        CHostRig rig(FrontOptions());
        rig.Config.Decimal = c.Decimal;
        rig.Config.Separator = c.Separator;
        rig.Controller->Method = CaptureMethod::Interval;
        rig.Controller->Count = 1;
        ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
        ASSERT_TRUE(rig.RunUntilIdle());
        const std::vector<std::string> rows = rig.DataRows();
        ASSERT_EQ(rows.size(), 1U);
        EXPECT_TRUE(std::regex_match(rows[0], std::regex(c.Row))) << rows[0];
    }
}

TEST(AcquisitionIntegrity, RowsStopAtTheLimitWhateverArrivesAfterIt)
{
    SimOptions options = FrontOptions();
    options.TriggerEveryMs = 5;
    CHostRig rig(options);
    ASSERT_TRUE(rig.SendToInstrument(":trig:sour ext"));
    rig.Controller->Method = CaptureMethod::Trigger;
    rig.Controller->RecordLimit = 3;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    ASSERT_TRUE(rig.RunUntilIdle());
    EXPECT_EQ(rig.DataRows().size(), 3U);
    EXPECT_EQ(rig.Controller->RowsRecorded(), 3);
    EXPECT_FALSE(rig.Controller->EndedWithError());
}
