// Whole-record transfers against the simulator: WriteAll then ReadAll into a fresh record gives
// back what was written, and the failures end with the link released.
#include <gtest/gtest.h>

#include "command_rig.h"
#include "record_compare.h"
#include "test_records.h"

namespace {

std::string CaseName(const testing::TestParamInfo<SModelCase>& info)
{
    std::string name = info.param.Name;
    std::erase(name, '-');
    return name;
}

// The progress of one transfer: a report per line, never backwards, never past the total, and
// a last one with the whole done.
struct SProgress {
    std::vector<size_t> Done;
    size_t LastTotal = 0;
    bool Ordered = true;

    CCommunicateMeasData::ProgressFn Fn()
    {
        return [this](size_t done, size_t total) {
            Ordered = Ordered && done <= total && (Done.empty() || done >= Done.back());
            Done.push_back(done);
            LastTotal = total;
        };
    }
    void Expect(size_t minimumLines, const char* what)
    {
        EXPECT_TRUE(Ordered) << what;
        ASSERT_GE(Done.size(), minimumLines) << what;
        EXPECT_EQ(Done.back(), LastTotal) << what;
        // The estimate is within a fifth of the lines really sent, so the window moves evenly.
        EXPECT_LE(Done.size() * 4, LastTotal * 5) << what;
        EXPECT_GE(Done.size() * 5, LastTotal * 4) << what;
        Done.clear();
    }
};

// Writes the record, reads it back into the model's default record and compares.
void ExpectRoundTrip(const SModelCase& model, const MeasSetData& written)
{
    SSimRig rig(model.Name);
    ASSERT_TRUE(rig.Started);
    {
        CCommunicateMeasData transfer(rig.Prompt, rig.Link);
        SProgress progress;
        transfer.SetProgress(progress.Fn());
        const size_t tableLines = written.MuxOn != 0 ? 2 * kMuxChannels : 20;
        ASSERT_TRUE(transfer.WriteAll(written));
        progress.Expect(tableLines, "write");
        EXPECT_FALSE(rig.Link.IsOpen);
        MeasSetData read = DefaultRecord(model.Code);
        ASSERT_TRUE(transfer.ReadAll(read));
        progress.Expect(tableLines / 2, "read");
        EXPECT_FALSE(rig.Link.IsOpen);
        ExpectSameRecord(written, read, model.Name);
    }
    EXPECT_TRUE(rig.Prompt.Texts.empty());
}

class FrontTransfer : public testing::TestWithParam<SModelCase> { };

TEST_P(FrontTransfer, WriteAllThenReadAllReproducesTheFrontRecord)
{
    ExpectRoundTrip(GetParam(), MakeFrontRecord(GetParam().Code));
}

TEST_P(FrontTransfer, LowPowerZeroAdjustValuesTravelInTheLowPowerArrays)
{
    if (GetParam().Code == kModelVx6208)
        GTEST_SKIP() << "the VX6208 has no low-power measurement";
    ExpectRoundTrip(GetParam(), MakeFrontRecord(GetParam().Code, true));
}

INSTANTIATE_TEST_SUITE_P(AllModels, FrontTransfer, testing::ValuesIn(AllModels()), CaseName);

class MuxTransfer : public testing::TestWithParam<SModelCase> { };

TEST_P(MuxTransfer, FourWireRecordRoundTrips) { ExpectRoundTrip(GetParam(), MakeMuxRecord(GetParam().Code, 0)); }

TEST_P(MuxTransfer, TwoWireRecordRoundTrips) { ExpectRoundTrip(GetParam(), MakeMuxRecord(GetParam().Code, 1)); }

INSTANTIATE_TEST_SUITE_P(MuxModels, MuxTransfer, testing::ValuesIn(MuxModels()), CaseName);

TEST(MeasDataTransfer, CheckConnectionReportsTheConnectedModel)
{
    SSimRig rig("VX6207A-2");
    ASSERT_TRUE(rig.Started);
    CCommunicateMeasData transfer(rig.Prompt, rig.Link);
    MeasSetData record = MakeFrontRecord(kModelVx6207);
    ASSERT_TRUE(transfer.CheckConnection(record));
    EXPECT_EQ(record.ModelCode, kModelVx6207A_2);
    EXPECT_EQ(record.Front.Cond.AvgCount, 37); // otherwise unchanged
    EXPECT_FALSE(rig.Link.IsOpen);
}

TEST(MeasDataTransfer, CheckConnectionWithoutInstrumentKeepsTheModel)
{
    CInstrumentLink link;
    link.Interface = InterfaceKind::Lan;
    link.IpAddress = 0x7F000001;
    {
        CSimulator probe(SimFor("VX6207")); // a port that was free a moment ago
        ASSERT_TRUE(probe.StartTcp(0));
        link.TcpPort = probe.TcpPort();
    }
    CRecordingPrompt prompt;
    CCommunicateMeasData transfer(prompt, link);
    MeasSetData record = DefaultRecord(kModelVx6207_02);
    EXPECT_FALSE(transfer.CheckConnection(record));
    EXPECT_EQ(record.ModelCode, kModelVx6207_02);
    EXPECT_EQ(prompt.Texts,
        std::vector<std::string> {
            "Failed to open interface.\nNo connection at this address: check the address, the port and the cable." });
}

TEST(MeasDataTransfer, InvalidRecordIsRefusedBeforeAnythingIsSent)
{
    SSimRig rig("VX6207");
    ASSERT_TRUE(rig.Started);
    CCommunicateMeasData transfer(rig.Prompt, rig.Link);
    MeasSetData record = DefaultRecord(kModelVx6207);
    record.Front.Cond.AutoRange = 1;
    record.Front.Cond.CompOn = 1;
    EXPECT_FALSE(transfer.WriteAll(record));
    EXPECT_EQ(rig.Prompt.Texts, std::vector<std::string> { "Errors found in the save settings." });
    EXPECT_TRUE(rig.Lines().empty());
}

TEST(MeasDataTransfer, MuxRecordOnAnInstrumentWithoutMuxFailsInTheStartList)
{
    SSimRig rig("VX6207A-1");
    ASSERT_TRUE(rig.Started);
    CCommunicateMeasData transfer(rig.Prompt, rig.Link);
    EXPECT_FALSE(transfer.WriteAll(MakeMuxRecord(kModelVx6207A_1, 0)));
    EXPECT_EQ(rig.Prompt.Texts, std::vector<std::string> { "MUX is unsupported." });
    EXPECT_FALSE(rig.Link.IsOpen);
    EXPECT_TRUE(LinesStartingWith(rig.Lines(), ":MUX:PANel").empty());
}

TEST(MeasDataTransfer, ReadAllOnVx6208SkipsTheLowPowerCommands)
{
    SSimRig rig("VX6208");
    ASSERT_TRUE(rig.Started);
    CCommunicateMeasData transfer(rig.Prompt, rig.Link);
    MeasSetData record = DefaultRecord(kModelVx6208);
    ASSERT_TRUE(transfer.ReadAll(record));
    for (const std::string& line : rig.Lines())
        EXPECT_EQ(line.find(":LP:"), std::string::npos) << line;
    EXPECT_FALSE(LinesStartingWith(rig.Lines(), ":SENSe:RESistance:PR:STATe?").empty());
}

TEST(MeasDataTransfer, ReadAllFollowsTheInstrumentsMuxSelection)
{
    SimOptions options = SimFor("VX6207-02");
    options.MuxChannels = { 5, 9 };
    options.MuxSelect = 5;
    SSimRig rig(options);
    ASSERT_TRUE(rig.Started);
    CCommunicateMeasData transfer(rig.Prompt, rig.Link);
    MeasSetData record = DefaultRecord(kModelVx6207_02);
    ASSERT_EQ(record.MuxOn, 0);
    ASSERT_TRUE(transfer.ReadAll(record));
    EXPECT_EQ(record.MuxOn, 1);
    EXPECT_EQ(record.Pins4Wire[0].Enable, 0);
    EXPECT_EQ(record.Pins4Wire[4].Enable, 1);
    EXPECT_EQ(record.Pins4Wire[8].Enable, 1);
    EXPECT_TRUE(LinesStartingWith(rig.Lines(), ":SAMPle:RATE").empty()); // the front list was not run
}

TEST(MeasDataTransfer, DroppedReplyDuringReadAllLeavesTheRecordAndClosesTheLink)
{
    SimOptions options = SimFor("VX6207");
    options.DropReplyTo = ":CALCulate:TCORrect:PARameter?";
    SSimRig rig(options);
    ASSERT_TRUE(rig.Started);
    CCommunicateMeasData transfer(rig.Prompt, rig.Link);
    const MeasSetData before = MakeFrontRecord(kModelVx6207);
    MeasSetData record = before;
    EXPECT_FALSE(transfer.ReadAll(record));
    ExpectSameRecord(before, record, "after a failed read");
    EXPECT_FALSE(rig.Link.IsOpen);
    const auto lines = rig.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), ":ABORt"); // the abort list ran; the end sequence found the link closed
    EXPECT_TRUE(LinesStartingWith(lines, ":CALCulate:TCONversion:DELTa:PARameter?").empty());
}

TEST(MeasDataTransfer, ConnectionClosedDuringWriteAllEndsTheTransfer)
{
    SimOptions options = SimFor("VX6207-02");
    options.CloseAfterLines = 20;
    SSimRig rig(options);
    ASSERT_TRUE(rig.Started);
    CCommunicateMeasData transfer(rig.Prompt, rig.Link);
    EXPECT_FALSE(transfer.WriteAll(MakeMuxRecord(kModelVx6207_02, 0)));
    EXPECT_FALSE(rig.Link.IsOpen); // the end sequence ran
    EXPECT_LE(rig.Lines().size(), 20U);
}

} // namespace
