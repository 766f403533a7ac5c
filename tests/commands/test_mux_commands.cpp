// The MUX, panel and zero-adjust commands against the simulator.
#include <gtest/gtest.h>

#include "command_rig.h"
#include "commands/communicate_vp.h"
#include "commands/connect_commands.h"
#include "commands/mux_commands.h"
#include "record_compare.h"
#include "test_records.h"

namespace {

std::string CaseName(const testing::TestParamInfo<SModelCase>& info)
{
    std::string name = info.param.Name;
    std::erase(name, '-');
    return name;
}

// Field `position` (1-based) of a list line "HEADER 0,..." (the leading 0 is field 0).
std::string ListField(const std::string& line, int position)
{
    std::string list = line.substr(line.find(' ') + 1);
    for (int i = 0; i < position; ++i)
        list.erase(0, list.find(',') + 1);
    return list.substr(0, list.find(','));
}

class MuxCommands : public testing::TestWithParam<SModelCase> { };

// The panel, channel and zero-adjust lists of one method, sent and read into a fresh record.
TEST_P(MuxCommands, ListsReadBackWhatTheySentInBothMethods)
{
    const SModelCase& model = GetParam();
    SSimRig rig(model.Name);
    ASSERT_TRUE(rig.Started);
    for (const int32_t method : { 1, 0 }) {
        MeasSetData written = MakeMuxRecord(model.Code, method);
        ASSERT_TRUE(rig.Connect(written));
        for (const int number : { CommandNo::kVp, CommandNo::kVsp, CommandNo::kCh0Adj })
            ASSERT_TRUE(rig.Send(number, written)) << number;
        MeasSetData read = DefaultRecord(model.Code);
        read.MuxOn = 1; // chosen by the MUX selection, which these lists do not carry
        for (const int number : { CommandNo::kVp, CommandNo::kVsp, CommandNo::kCh0Adj })
            ASSERT_TRUE(rig.Read(number, read)) << number;
        ExpectSameRecord(written, read, std::string(model.Name) + " method " + std::to_string(method));
    }
}

TEST_P(MuxCommands, ChannelListHasTheModelsLengthAndReadNeedsIt)
{
    const SModelCase& model = GetParam();
    SSimRig rig(model.Name);
    ASSERT_TRUE(rig.Started);
    MeasSetData data = MakeMuxRecord(model.Code, 0);
    ASSERT_TRUE(rig.Connect(data));
    ASSERT_TRUE(rig.Send(CommandNo::kVsp, data));
    const auto lines = rig.Lines();
    ASSERT_EQ(lines.size(), 84U);
    const size_t expectedFields = model.Code == kModelVx6208 ? 69 : 42;
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), ','), static_cast<long>(expectedFields) + 1);
    EXPECT_EQ(lines[1], "*OPC");
    // A record of the other list length does not accept the instrument's lists.
    rig.Sim.ClearReceivedLines();
    MeasSetData other = DefaultRecord(model.Code == kModelVx6208 ? kModelVx6207_02 : kModelVx6208);
    EXPECT_FALSE(rig.Read(CommandNo::kVsp, other));
    EXPECT_EQ(rig.Lines(), std::vector<std::string> { ":MUX:CH:VAR:GET?  0,1" });
}

INSTANTIATE_TEST_SUITE_P(MuxModels, MuxCommands, testing::ValuesIn(MuxModels()), CaseName);

TEST(MuxCommandLines, SelectionWithoutMuxSupport)
{
    SSimRig rig("VX6207-01");
    ASSERT_TRUE(rig.Started);
    MeasSetData data = DefaultRecord(0);
    ASSERT_TRUE(rig.Connect(data));
    ASSERT_FALSE(MuxSupported);
    EXPECT_TRUE(rig.Send(CommandNo::kMux, data));
    EXPECT_TRUE(rig.Send(CommandNo::kSetCh, data));
    data.MuxOn = 1;
    EXPECT_FALSE(rig.Send(CommandNo::kSetCh, data));
    EXPECT_TRUE(rig.Prompt.Texts.empty());
    EXPECT_FALSE(rig.Send(CommandNo::kMux, data));
    EXPECT_EQ(rig.Prompt.Texts, std::vector<std::string> { "MUX is unsupported." });
    EXPECT_TRUE(rig.Lines().empty());
    data.MuxOn = 1;
    EXPECT_TRUE(rig.Read(CommandNo::kMux, data));
    EXPECT_EQ(data.MuxOn, 0);
}

TEST(MuxCommandLines, SelectionOfTheFirstEnabledChannel)
{
    struct Case {
        const char* What;
        bool FrontCable;
        std::vector<int> Enabled;
        bool Result;
        std::vector<std::string> Lines;
        std::vector<std::string> Texts;
    };
    const std::vector<std::string> prepare { ":ABORt", ":SYSTem:HEADer OFF", ":SYSTem:CMD:MONitor 0" };
    auto with = [&prepare](std::vector<std::string> tail) {
        std::vector<std::string> lines = prepare;
        lines.insert(lines.end(), tail.begin(), tail.end());
        return lines;
    };
    const Case cases[] = {
        { "no channel enabled skips the front check", true, {}, true, with({ "CH 0" }), {} },
        { "channel 7 enabled", false, { 7, 9 }, true, with({ "FRONtcheck?", "SCAN:RESet", "CH 7" }), {} },
        { "cable on the front terminals", true, { 7 }, false, with({ "FRONtcheck?" }),
            { "Disconnect cable from front terminal and start measurement." } },
    };
    for (const Case& c : cases) {
        SimOptions options = SimFor("VX6207-03");
        options.FrontCable = c.FrontCable;
        SSimRig rig(options);
        ASSERT_TRUE(rig.Started);
        MeasSetData data = DefaultRecord(0);
        ASSERT_TRUE(rig.Connect(data));
        data.MuxOn = 1;
        for (MuxPinSet& pin : data.Pins4Wire)
            pin.Enable = 0;
        for (const int k : c.Enabled)
            data.Pins4Wire[static_cast<size_t>(k - 1)].Enable = 1;
        EXPECT_EQ(rig.Send(CommandNo::kMux, data), c.Result) << c.What;
        EXPECT_EQ(rig.Lines(), c.Lines) << c.What;
        EXPECT_EQ(rig.Prompt.Texts, c.Texts) << c.What;
    }
}

TEST(MuxCommandLines, ReadingTheSelection)
{
    for (const int selected : { 0, 12 }) {
        SimOptions options = SimFor("VX6207A-2");
        options.MuxChannels = { 12 };
        options.MuxSelect = selected;
        SSimRig rig(options);
        ASSERT_TRUE(rig.Started);
        MeasSetData data = DefaultRecord(0);
        ASSERT_TRUE(rig.Connect(data));
        data.MuxOn = 7;
        EXPECT_TRUE(rig.Read(CommandNo::kMux, data));
        EXPECT_EQ(data.MuxOn, selected != 0 ? 1 : 0);
        EXPECT_EQ(rig.Lines().back(), "CH?");
    }
}

TEST(MuxCommandLines, PanelListCarriesMasksAndReplacedItems)
{
    SSimRig rig("VX6207-02");
    ASSERT_TRUE(rig.Started);
    MeasSetData data = DefaultRecord(0);
    ASSERT_TRUE(rig.Connect(data));
    for (MuxPinSet& pin : data.Pins4Wire) {
        pin.Enable = 0;
        pin.ZeroAll = 0;
    }
    data.Pins4Wire[41].Enable = 1;
    data.Pins4Wire[0].ZeroAll = 1;
    data.MuxScanMethod = 0;
    ASSERT_TRUE(rig.Send(CommandNo::kVp, data));
    const auto lines = rig.Lines();
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_EQ(lines[0], ":MUX:PANel:VAR:GET? 0");
    EXPECT_EQ(lines[1].rfind(":MUX:PANel:VAR:SET 0,", 0), 0U);
    EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), ','), 82);
    EXPECT_EQ(ListField(lines[1], 12), "42"); // first enabled channel
    EXPECT_EQ(ListField(lines[1], 15), "1"); // step-by-step scan
    EXPECT_EQ(ListField(lines[1], 39), "0");
    EXPECT_EQ(ListField(lines[1], 40), "512");
    EXPECT_EQ(ListField(lines[1], 41), "1");
    EXPECT_EQ(ListField(lines[1], 42), "0");
    EXPECT_EQ(lines[2], ":SENSe:RESistance:ERRor:CURRentcheck ERROR");
    EXPECT_EQ(lines[3], "*OPC");
}

TEST(MuxCommandLines, ChannelListEncodings)
{
    SSimRig rig("VX6207-02");
    ASSERT_TRUE(rig.Started);
    MeasSetData data = DefaultRecord(0);
    ASSERT_TRUE(rig.Connect(data));
    MeasCondition& first = data.Channels4Wire[0];
    data.Pins4Wire[0].Unit = 1;
    first.PassCondition = 4;
    first.ScalingA = 1.0;
    first.ScalingUnitText = "abc";
    first.LoPowerRange = -1;
    ASSERT_TRUE(rig.Send(CommandNo::kVsp, data));
    const std::string line = rig.Lines().at(0);
    EXPECT_EQ(line.rfind(":MUX:CH:VAR:SET 0,1,", 0), 0U);
    EXPECT_EQ(ListField(line, 1 + 3), "10000"); // mantissa of A
    EXPECT_EQ(ListField(line, 1 + 19), "2"); // unit 1 travels as 2
    EXPECT_EQ(ListField(line, 1 + 23), "-1");
    EXPECT_EQ(ListField(line, 1 + 26), "5"); // Hi-Lo
    EXPECT_EQ(ListField(line, 1 + 27), "0"); // exponent of A
    EXPECT_EQ(ListField(line, 1 + 34), "\"abc\"");
}

TEST(MuxCommandLines, ZeroAdjustListCarriesTheMaskAndOneValuePerRange)
{
    SSimRig rig("VX6207-02");
    ASSERT_TRUE(rig.Started);
    MeasSetData data = DefaultRecord(0);
    ASSERT_TRUE(rig.Connect(data));
    MeasCondition& first = data.Channels4Wire[0];
    first.ZeroAdjOn[0] = 1;
    first.ZeroAdjValue[0] = -12;
    first.ZeroAdjOn[9] = 1;
    first.ZeroAdjValue[9] = 34;
    first.ZeroAdjOn[10] = 1; // beyond the ten ranges of this model
    ASSERT_TRUE(rig.Send(CommandNo::kCh0Adj, data));
    const auto lines = rig.Lines();
    ASSERT_EQ(lines.size(), 84U);
    EXPECT_EQ(lines[0], ":MUX:ADJust:VAR:SET 0,1,513,-12,2147483647,2147483647,2147483647,2147483647,2147483647,"
                        "2147483647,2147483647,2147483647,34");
    EXPECT_EQ(lines[1], "*OPC");
    rig.Sim.ClearReceivedLines();
    MeasSetData read = DefaultRecord(0);
    read.ModelCode = kModelVx6207_02;
    ASSERT_TRUE(rig.Read(CommandNo::kCh0Adj, read));
    EXPECT_EQ(rig.Lines().at(0), ":MUX:ADJust:VAR:GET? 0,1");
    EXPECT_EQ(read.Channels4Wire[0].ZeroAdjOn[9], 1);
    EXPECT_EQ(read.Channels4Wire[0].ZeroAdjValue[0], -12);
    EXPECT_EQ(read.Channels4Wire[0].ZeroAdjOn[1], 0);
}

TEST(MuxCommandLines, MiscOffSkipsLowPowerOnTheVx6208)
{
    const std::vector<std::string> all { ":CALCulate:SCALing:STATe 0", ":CALCulate:LIMit:STATe 0",
        ":CALCulate:BIN:STATe 0", ":CALCulate:STATistics:STATe 0", "RESistance:LP:STATe 0", "RESistance:PRECision 0",
        ":CALCulate:TCONversion:DELTa:STATe 0" };
    for (const char* model : { "VX6207", "VX6208" }) {
        SSimRig rig(model);
        ASSERT_TRUE(rig.Started);
        MeasSetData data = DefaultRecord(0);
        ASSERT_TRUE(rig.Connect(data));
        ASSERT_TRUE(rig.Send(CommandNo::kMiscOff, data));
        std::vector<std::string> expected = all;
        if (data.ModelCode == kModelVx6208)
            expected.erase(expected.begin() + 4);
        EXPECT_EQ(rig.Lines(), expected) << model;
    }
}

TEST(MuxCommandLines, ZeroAdjustStartPollAndResult)
{
    for (const bool fails : { false, true }) {
        SimOptions options = SimFor("VX6207-02");
        options.ZeroAdjustMs = 250;
        options.ZeroAdjustFails = fails;
        SSimRig rig(options);
        ASSERT_TRUE(rig.Started);
        MeasSetData data = DefaultRecord(0);
        ASSERT_TRUE(rig.Connect(data));
        data.MuxOn = 1;
        ASSERT_TRUE(rig.Send(CommandNo::kEnable0Adj, data));
        ASSERT_TRUE(rig.Send(CommandNo::kExec0Adj, data));
        EXPECT_EQ(rig.Lines(), (std::vector<std::string> { ":ADJust:ENABle 1", ":SYSTem:DATAout 0", ":ADJust?" }));
        int polls = 0;
        std::unique_ptr<CCommunicateVx> poll;
        bool finished = false;
        while (!finished && polls < 50) {
            poll = CreateCommand(CommandNo::kCheckFin0Adj, rig.Link, rig.Prompt, nullptr);
            finished = poll->ReadSetting();
            ++polls;
        }
        ASSERT_TRUE(finished);
        EXPECT_GT(polls, 1); // the first poll finds no answer yet
        EXPECT_EQ(poll->Status(), fails ? 1 : 0);
    }
}

TEST(MuxCommandLines, EnableZeroAdjustSendsNothingWithoutMux)
{
    SSimRig rig("VX6207-02");
    ASSERT_TRUE(rig.Started);
    MeasSetData data = DefaultRecord(0);
    ASSERT_TRUE(rig.Connect(data));
    EXPECT_TRUE(rig.Send(CommandNo::kEnable0Adj, data));
    EXPECT_TRUE(rig.Lines().empty());
}

TEST(MuxCommandLines, ScanAbortClosesTheLink)
{
    SSimRig rig("VX6207-02");
    ASSERT_TRUE(rig.Started);
    MeasSetData data = DefaultRecord(0);
    ASSERT_TRUE(rig.Connect(data));
    auto abort = CreateCommand(CommandNo::kScanAbort, rig.Link, rig.Prompt, nullptr);
    EXPECT_TRUE(abort->SendSetting());
    EXPECT_FALSE(rig.Link.IsOpen);
    EXPECT_EQ(rig.Lines(), std::vector<std::string> { ":ABORt" });
    EXPECT_FALSE(abort->SendSetting()); // nothing to send on a closed link
}

TEST(MuxCommandLines, StartEndAndChannelOfAnActionOnlyCommand)
{
    SSimRig rig("VX6207-02");
    ASSERT_TRUE(rig.Started);
    MeasSetData data = DefaultRecord(0);
    ASSERT_TRUE(rig.Connect(data));
    for (const int number : { CommandNo::kSetStart, CommandNo::kSetEnd })
        ASSERT_TRUE(CreateCommand(number, rig.Link, rig.Prompt, nullptr)->ReadSetting());
    ASSERT_TRUE(rig.Send(CommandNo::kMuxStastics, data));
    ASSERT_TRUE(rig.Send(34, data));
    EXPECT_EQ(rig.Lines(), (std::vector<std::string> { ":MUX:VAR:SET:START", ":MUX:VAR:SET:END",
                               ":CALCulate:STATistics:STATe 0", ":CALCulate:BIN:STATe 0" }));
}

} // namespace
