// The framework pieces: reply splitting, the factory table, the vocabulary, the packing helpers
// and the patterns' reading of reply forms the simulator never produces.
#include <gtest/gtest.h>

#include "commands/command_factory.h"
#include "commands/communicate_vp.h"
#include "commands/connect_commands.h"
#include "commands/mux_channel_list.h"
#include "commands/setting_commands.h"
#include "commands/vocabulary.h"
#include "scripted_peer.h"

namespace {

// A command object of the framework with nothing of its own, to reach the shared operations.
class CBareCommand final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    bool SendSetting() override { return true; }
    bool ReadSetting() override { return true; }
};

TEST(CommandFramework, SplitReplyCountsFieldsAndKeepsEmptyOnes)
{
    struct Case {
        const char* Text;
        size_t Expected;
        bool Result;
        std::vector<std::string> Tokens;
    };
    const Case cases[] = {
        { "a,b,c", 3, true, { "a", "b", "c" } },
        { "a,b,", 3, true, { "a", "b", "" } },
        { "abc", 1, true, { "abc" } },
        { "", 1, true, { "" } },
        { "a,b", 3, false, { "a", "b" } },
        { ",,", 3, true, { "", "", "" } },
    };
    CInstrumentLink link;
    CRecordingPrompt prompt;
    CBareCommand command(link, prompt, nullptr);
    for (const Case& c : cases) {
        EXPECT_EQ(command.SplitReply(c.Text, c.Expected), c.Result) << c.Text;
        EXPECT_EQ(command.Tokens(), c.Tokens) << c.Text;
    }
}

TEST(CommandFramework, FactoryMakesEveryNumberAndGivesTheRecordWhereTheTableSays)
{
    CInstrumentLink link;
    CRecordingPrompt prompt;
    MeasSetData data;
    const std::vector<int> withoutRecord { 2, 37, 38, 40, 41 };
    for (int number = 0; number < 42; ++number) {
        auto command = CreateCommand(number, link, prompt, &data);
        ASSERT_NE(command, nullptr) << number;
        const bool expectRecord = std::find(withoutRecord.begin(), withoutRecord.end(), number) == withoutRecord.end();
        EXPECT_EQ(command->Settings() != nullptr, expectRecord) << number;
        EXPECT_EQ(command->Status(), 0) << number;
    }
    EXPECT_EQ(CreateCommand(42, link, prompt, &data), nullptr);
    EXPECT_EQ(CreateCommand(-1, link, prompt, &data), nullptr);
    auto exit = CreateCommand(41, link, prompt, &data);
    EXPECT_NE(dynamic_cast<CCommunicateExit*>(exit.get()), nullptr);
    EXPECT_NE(dynamic_cast<CCommunicateRange*>(CreateCommand(7, link, prompt, &data).get()), nullptr);
    EXPECT_NE(dynamic_cast<CCommunicateVp*>(CreateCommand(30, link, prompt, &data).get()), nullptr);
}

TEST(CommandFramework, VocabularyKeepsItsPositionsAndBlanks)
{
    EXPECT_EQ(kVocabulary.size(), 56U);
    EXPECT_STREQ(kVocabulary[6], ":CALCulate:TCONversion:DELTa:STATe");
    EXPECT_STREQ(kVocabulary[23], "  10.0");
    EXPECT_STREQ(kVocabulary[26], "  1000.0E-6");
    EXPECT_STREQ(kVocabulary[38], "1000.0E+6");
    EXPECT_STREQ(kVocabulary[39], "  10.0E-3");
    EXPECT_STREQ(kVocabulary[50], "1000.0E+6");
    EXPECT_STREQ(kVocabulary[55], "FAIL");
    EXPECT_EQ(VocabularyText(56), nullptr);
}

TEST(CommandFramework, NarrowKeepsTheLowerBits)
{
    EXPECT_EQ(Narrow(-1, 3, true), -1);
    EXPECT_EQ(Narrow(-1, 3, false), 7);
    EXPECT_EQ(Narrow(12, 4, false), 12);
    EXPECT_EQ(Narrow(17, 4, false), 1);
    EXPECT_EQ(Narrow(40000, 16, true), 40000 - 65536);
    EXPECT_EQ(Narrow(2147483648LL, 32, true), -2147483648LL);
}

TEST(CommandFramework, ScalingFactorTravelsAsMantissaAndExponent)
{
    struct Case {
        double A;
        int64_t Mantissa;
        int64_t Exponent;
    };
    const Case cases[] = { { 1.0, 10000, 0 }, { 0.0005, 5000, -3 }, { 1999.9, 19999, 3 }, { 0.2, 2000, 0 },
        { 0.0001, 10000, -4 }, { 25.0, 2500, 2 } };
    for (const Case& c : cases) {
        int64_t mantissa = 0;
        int64_t exponent = 0;
        EncodeScalingA(c.A, mantissa, exponent);
        EXPECT_EQ(mantissa, c.Mantissa) << c.A;
        EXPECT_EQ(exponent, c.Exponent) << c.A;
        EXPECT_NEAR(DecodeScalingA(mantissa, exponent), c.A, c.A * 1e-12) << c.A;
    }
}

// A peer that answers every query with the same text.
struct SFixedReplyRig {
    explicit SFixedReplyRig(std::optional<std::string> reply)
        : Peer([reply](const std::string& line) -> std::optional<std::string> {
            return line.find('?') != std::string::npos ? reply : std::nullopt;
        })
    {
        Connected = Peer.Connect(Link);
        InitMeasSetData(Data, kModelVx6207);
        Data.ModelCode = kModelVx6207;
    }
    CScriptedPeer Peer;
    CInstrumentLink Link;
    CRecordingPrompt Prompt;
    MeasSetData Data;
    bool Connected = false;
};

TEST(CommandFramework, SwitchReadLooksForOnAnywhereInTheReply)
{
    struct Case {
        std::optional<std::string> Reply;
        bool Result;
        int32_t Value;
    };
    const Case cases[] = { { "OFF", true, 0 }, { "xxONxx", true, 1 }, { "ON", true, 1 }, { std::nullopt, false, 7 } };
    for (const Case& c : cases) {
        SFixedReplyRig rig(c.Reply);
        ASSERT_TRUE(rig.Connected);
        rig.Data.Front.Cond.Ovc = 7;
        CCommunicateOvc command(rig.Link, rig.Prompt, &rig.Data);
        EXPECT_EQ(command.ReadSetting(), c.Result) << c.Reply.value_or("(none)");
        EXPECT_EQ(rig.Data.Front.Cond.Ovc, c.Value) << c.Reply.value_or("(none)");
    }
}

TEST(CommandFramework, ChoiceReadNeedsTheWholeTextExactly)
{
    struct Case {
        std::string Reply;
        bool Result;
        int32_t Speed;
    };
    const Case cases[] = { { "FAST", true, 3 }, { "FAST ", false, 1 }, { "fast", false, 1 }, { "SLOW2", true, 0 } };
    for (const Case& c : cases) {
        SFixedReplyRig rig(c.Reply);
        ASSERT_TRUE(rig.Connected);
        rig.Data.Front.Cond.Speed = 1;
        CCommunicateSpeed command(rig.Link, rig.Prompt, &rig.Data);
        EXPECT_EQ(command.ReadSetting(), c.Result) << c.Reply;
        EXPECT_EQ(rig.Data.Front.Cond.Speed, c.Speed) << c.Reply;
    }
}

TEST(CommandFramework, QueryWhoseSendFailsReportsFailureAndSendsNothing)
{
    SFixedReplyRig rig(std::string("1"));
    ASSERT_TRUE(rig.Connected);
    rig.Link.Channel().Close(); // the link still counts as open, but no line can go out
    CBareCommand command(rig.Link, rig.Prompt, &rig.Data);
    std::string reply = "stale";
    EXPECT_FALSE(command.Query(":SAMPle:RATE", reply));
    EXPECT_TRUE(reply.empty());
    EXPECT_FALSE(command.QueryIndexed(":ADJust:GET", 0, reply));
    EXPECT_FALSE(command.QueryWithText(":CALCulate:LIMit:BEEPer", "HI", reply));
    EXPECT_FALSE(command.QueryMuxAdjust(1, reply));
    SleepMs(50);
    EXPECT_TRUE(rig.Peer.Lines().empty());
}

TEST(CommandFramework, PanelListOfTheWrongLengthFailsBothWaysWithoutWriting)
{
    std::string list81;
    for (int i = 0; i < 81; ++i)
        list81 += (i == 0 ? "" : ",") + std::to_string(i);
    SFixedReplyRig rig(list81);
    ASSERT_TRUE(rig.Connected);
    CCommunicateVp send(rig.Link, rig.Prompt, &rig.Data);
    EXPECT_FALSE(send.SendSetting());
    MeasSetData before = rig.Data;
    CCommunicateVp read(rig.Link, rig.Prompt, &rig.Data);
    EXPECT_FALSE(read.ReadSetting());
    EXPECT_EQ(rig.Data.MuxScanMethod, before.MuxScanMethod);
    EXPECT_EQ(rig.Peer.Lines(), (std::vector<std::string> { ":MUX:PANel:VAR:GET? 0", ":MUX:PANel:VAR:GET? 0" }));
}

TEST(CommandFramework, ConnectSequenceNamesWhatWentWrong)
{
    struct Case {
        std::optional<std::string> Identity;
        std::optional<std::string> ExtendedReply;
        bool Result;
        const char* Message;
        int32_t Code;
    };
    const Case cases[] = {
        { "ZORVI,VX6207A,123,1.00", std::nullopt, false, "VX620x is not connected.", 0 },
        { "zorvi,VX6207,123,1.00", std::nullopt, false,
            "VX620x is not connected.\nSomething answered that is not a VX620x.", 99 },
        { std::nullopt, std::nullopt, false,
            "VX620x is not connected.\nNo reply at this address: check that the instrument is switched on and its LAN settings.", 99 },
        { "ZORVI,VX6207A-1,123,1.00", std::nullopt, false, "Communication error.", 144 },
        { "ZORVI,VX6207A-1,123,1.00", "1", true, nullptr, 144 },
        { "ZORVI,VX6207-01,123,1.00", std::nullopt, true, nullptr, 9 },
    };
    for (const Case& c : cases) {
        CScriptedPeer peer([&c](const std::string& line) -> std::optional<std::string> {
            if (line == "*idn?")
                return c.Identity;
            if (line == ":FACT:CMD:EXTEND?")
                return c.ExtendedReply;
            return std::nullopt;
        });
        CInstrumentLink link;
        peer.Listen(link);
        CRecordingPrompt prompt;
        MeasSetData data;
        data.ModelCode = 99;
        CCommunicateInit init(link, prompt, &data);
        const std::string name = c.Identity.value_or("(silent)");
        EXPECT_EQ(init.SendSetting(), c.Result) << name;
        EXPECT_EQ(data.ModelCode, c.Code) << name;
        EXPECT_EQ(prompt.Texts, c.Message != nullptr ? std::vector<std::string> { c.Message } : std::vector<std::string> {})
            << name;
        EXPECT_TRUE(link.IsOpen) << name; // a failed connect leaves the link for the caller to close
        link.Close();
    }
}

} // namespace
