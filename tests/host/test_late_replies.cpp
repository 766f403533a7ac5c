// Replies that come late, against the simulator: a late reply is never recorded as the answer to a
// later request or channel, whichever request it belongs to and however late it is.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "host/host_rig.h"
#include "settings/numeric_locale.h"

namespace {

constexpr int kChannels = 6;

std::vector<std::string> Split(const std::string& row)
{
    std::vector<std::string> fields;
    std::stringstream stream(row);
    std::string field;
    while (std::getline(stream, field, ','))
        fields.push_back(field);
    return fields;
}

// Channel k measures k ohms within limits k +- 0.1.
SimOptions BandedScan()
{
    std::vector<int> channels;
    SimOptions options = MuxOptions({ 1, 2, 3, 4, 5, 6 }, "AUTO");
    for (int channel = 1; channel <= kChannels; ++channel) {
        options.ChannelResistance[channel] = channel;
        options.ChannelLimits[channel] = { channel - 0.1, channel + 0.1 };
    }
    return options;
}

// Every channel's value lies in its own band with its own judgements, or it is not measured.
void ExpectEveryValueInItsOwnBand(const std::vector<std::string>& rows, const std::string& name)
{
    for (const std::string& row : rows) {
        const std::vector<std::string> fields = Split(row);
        ASSERT_EQ(fields.size(), 2U + 3U * kChannels) << name << ": " << row;
        for (int channel = 1; channel <= kChannels; ++channel) {
            const auto at = static_cast<size_t>(2 + 3 * (channel - 1));
            if (fields[at] == "-----------")
                continue;
            double value = 0.0;
            ASSERT_TRUE(ParseDoubleC(fields[at], value)) << name << ": " << row;
            EXPECT_LT(std::fabs(value - channel), 0.1) << name << " CH" << channel << ": " << row;
            EXPECT_EQ(fields[at + 1], "IN") << name << " CH" << channel << ": " << row;
            EXPECT_EQ(fields[at + 2], "PASS") << name << " CH" << channel << ": " << row;
        }
    }
}

} // namespace

TEST(LateReplies, AScanUnderAnyReplyDelayRecordsEachChannelsOwnReading)
{
    struct Case {
        const char* Name;
        int LatencyMs; // every reply
        const char* Delayed; // one reply, 150 ms past the 100 ms a step waits
        size_t Resyncs; // identity queries after the connection check's own
    };
    const Case cases[] = {
        { "no delay", 0, "", 0 },
        { "every reply 150 ms", 150, "", 1 },
        { "channel 2 late", 0, ":FETCH? LIMJdge,2", 1 },
        { "scan state late", 0, "SCAN:STATe?", 1 },
        { "total late", 0, ":CALCulate:LIMit:JUDGe:TOTal?", 1 },
    };
    for (const Case& c : cases) {
        SimOptions options = BandedScan();
        options.LatencyMs = c.LatencyMs;
        options.DelayReplyTo = c.Delayed;
        options.DelayReplyMs = 150;
        CHostRig rig(options);
        rig.Config.SaveMuxJudge = 1;
        rig.Controller->Method = CaptureMethod::Interval;
        rig.Controller->Count = 2;
        ASSERT_EQ(rig.Controller->Start(), StartResult::Started) << c.Name;
        ASSERT_TRUE(rig.RunUntilIdle(60000)) << c.Name;
        EXPECT_TRUE(rig.Prompt.Texts.empty()) << c.Name;
        const std::vector<std::string> rows = rig.DataRows();
        EXPECT_EQ(rows.size(), 2U) << c.Name;
        ExpectEveryValueInItsOwnBand(rows, c.Name);
        // A run without a time-out keeps its wire sequence: no resynchronisation.
        EXPECT_EQ(rig.CountReceived("*idn?"), 1 + c.Resyncs) << c.Name;
    }
}

TEST(LateReplies, AFrontReadingLatePastItsBoundIsAskedForAgainOnceTheLineIsQuiet)
{
    SimOptions options;
    options.Model = "VX6207";
    options.DelayReplyTo = ":FETCh?";
    options.DelayNth = 2;
    options.DelayReplyMs = 3300;
    CHostRig rig(options);
    rig.Controller->Method = CaptureMethod::Interval;
    rig.Controller->Count = 3;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    ASSERT_TRUE(rig.RunUntilIdle(60000));
    EXPECT_TRUE(rig.Prompt.Texts.empty());
    EXPECT_EQ(rig.DataRows().size(), 3U);
    EXPECT_EQ(rig.CountReceived(":FETCh? LIMit"), 4U); // the late one and its repeat
    EXPECT_EQ(rig.CountReceived("*idn?"), 2U);
}

TEST(LateReplies, ALateReadingIsNeverTakenForTheTriggerInput)
{
    // No trigger ever comes: whatever arrives late, nothing may be recorded.
    SimOptions options;
    options.Model = "VX6207";
    options.DelayReplyTo = ":FETCh?";
    options.DelayReplyMs = 3300;
    CHostRig rig(options);
    rig.Controller->Method = CaptureMethod::Trigger;
    rig.Controller->Count = 5;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    // Until well after the late reply: the resynchronisation and a few more polls of the input.
    ASSERT_TRUE(rig.Host.Pump(
        [&] { return rig.CountReceived("*idn?") >= 2 && rig.CountReceived(":FETCh? LIMit") >= 6; }, 30000));
    (void)rig.Controller->Stop();
    ASSERT_TRUE(rig.RunUntilIdle());
    EXPECT_TRUE(rig.Sink.Recorded.empty());
    EXPECT_EQ(rig.DataRows().size(), 0U);
}

TEST(LateReplies, ALostLinkSaysWhyTheAcquisitionEnded)
{
    SimOptions closing;
    closing.Model = "VX6207";
    closing.CloseAfterLines = 12;
    CHostRig rig(closing);
    rig.Controller->Method = CaptureMethod::Interval;
    rig.Controller->Count = 50;
    ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
    ASSERT_TRUE(rig.RunUntilIdle(60000));
    EXPECT_EQ(rig.Prompt.Texts,
        std::vector<std::string> { "Failed to capture measurement results.\n"
                                   "The connection was closed by the instrument." });
}
