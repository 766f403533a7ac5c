// Readings, comparator and channel judgements, scans with fail-stop, triggers and zero adjustment.
#include <cctype>
#include <sstream>

#include <gtest/gtest.h>

#include "settings/numeric_locale.h"
#include "sim/measurement.h"
#include "sim_fixture.h"

namespace {

std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> fields;
    std::stringstream stream(text);
    std::string field;
    while (std::getline(stream, field, ','))
        fields.push_back(field);
    return fields;
}

std::string Join(const std::vector<std::string>& fields)
{
    std::string text;
    for (const std::string& field : fields)
        text += (text.empty() ? "" : ",") + field;
    return text;
}

double Number(const std::string& text)
{
    return StrToDoubleC(text);
}

// The instrument's reading form: one digit, a point, five digits, E, a sign and two digits.
bool IsReadingForm(const std::string& text)
{
    const char* form = "d.dddddEsdd";
    if (text.size() != std::char_traits<char>::length(form))
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool fits = form[i] == 'd' ? std::isdigit(static_cast<unsigned char>(c)) != 0
            : form[i] == 's'             ? (c == '+' || c == '-')
                                         : c == form[i];
        if (!fits)
            return false;
    }
    return true;
}

// Rewrites channel variables (1-based positions) through the instrument's own list.
void EditChannel(CSimClient& client, int channel, const std::vector<std::pair<int, int64_t>>& changes)
{
    std::vector<std::string> fields = Split(client.Query(":MUX:CH:VAR:GET?  0," + std::to_string(channel)));
    ASSERT_GE(fields.size(), 42u);
    for (const auto& [position, value] : changes)
        fields[static_cast<size_t>(position - 1)] = std::to_string(value);
    ASSERT_TRUE(client.Send(":MUX:CH:VAR:SET 0," + std::to_string(channel) + "," + Join(fields)));
}

// ABS comparator limits in nano-ohms, as the channel list carries them, and a pass code.
void SetChannelComparator(CSimClient& client, int channel, int64_t upperNano, int64_t lowerNano, int passCode)
{
    const auto low = [](int64_t v) { return static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(v))); };
    const auto high = [](int64_t v) { return static_cast<int64_t>(static_cast<int32_t>(v >> 32)); };
    EditChannel(client, channel,
        { { 15, 1 }, { 16, 0 }, { 26, passCode }, { 39, low(upperNano) }, { 40, high(upperNano) },
            { 41, low(lowerNano) }, { 42, high(lowerNano) } });
}

void SetPanel(CSimClient& client, uint64_t enabled, bool step, bool failStop)
{
    std::vector<std::string> panel = Split(client.Query(":MUX:PANel:VAR:GET? 0"));
    ASSERT_EQ(panel.size(), 82u);
    panel[13] = "0";
    panel[14] = step ? "1" : "0";
    panel[37] = failStop ? "1" : "0";
    panel[38] = std::to_string(static_cast<int32_t>(static_cast<uint32_t>(enabled)));
    panel[39] = std::to_string(static_cast<int32_t>(enabled >> 32));
    ASSERT_TRUE(client.Send(":MUX:PANel:VAR:SET 0," + Join(panel)));
}

} // namespace

TEST(SimJudgement, ComparatorAndChannelJudgements)
{
    struct SCompare {
        double Value;
        bool Reference;
        double Upper;
        double Lower;
        const char* Expected;
    };
    for (const SCompare& c : { SCompare { 2.0, false, 1.5, 0.5, "HI" }, SCompare { 1.0, false, 1.5, 0.5, "IN" },
             SCompare { 0.4, false, 1.5, 0.5, "LO" }, SCompare { 1.5, false, 1.5, 0.5, "IN" },
             SCompare { 1.06, true, 1.0, 5.0, "HI" }, SCompare { 1.04, true, 1.0, 5.0, "IN" },
             SCompare { 0.94, true, 1.0, 5.0, "LO" } })
        EXPECT_EQ(CompareLimits(c.Value, c.Reference, c.Upper, c.Lower), c.Expected) << c.Value;

    struct SJudge {
        const char* Comparator;
        int PassCode;
        bool Error;
        const char* Expected;
    };
    for (const SJudge& c :
        { SJudge { "IN", 2, false, "PASS" }, SJudge { "HI", 2, false, "FAIL" }, SJudge { "HI", 5, false, "PASS" },
            SJudge { "IN", 5, false, "FAIL" }, SJudge { "LO", 7, false, "PASS" }, SJudge { "LO", 1, false, "PASS" },
            SJudge { "IN", 0, false, "OFF" }, SJudge { "OFF", 2, false, "OFF" }, SJudge { "HI", 2, true, "ERR" } })
        EXPECT_EQ(JudgeChannel(c.Comparator, c.PassCode, c.Error), c.Expected) << c.Comparator << c.PassCode;
}

TEST(SimFront, ReadingsAreWrittenLikeTheInstrumentAndJudgedByTheStoredLimits)
{
    SSimOverTcp sim(ModelOptions("VX6207"));
    ASSERT_TRUE(sim.Started);
    const std::string value = sim.Client.Query(":FETCh?");
    EXPECT_TRUE(IsReadingForm(value)) << value;
    EXPECT_FALSE(IsReadingForm("1.2345E-03"));
    EXPECT_NEAR(Number(value), 1.23456e-3, 1e-7);
    EXPECT_EQ(Split(sim.Client.Query(":FETCh? LIMit")).at(1), "OFF");

    for (const char* line :
        { ":CALCulate:LIMit:STATe 1", ":CALCulate:LIMit:UPPer 1.500000e+00", ":CALCulate:LIMit:LOWer 5.000000e-01" })
        ASSERT_TRUE(sim.Client.Send(line));
    for (const auto& [ohms, judgement] : { std::pair { 2.0, "HI" }, { 1.0, "IN" }, { 0.25, "LO" } }) {
        sim.Sim.SetChannelResistance(0, ohms);
        EXPECT_EQ(Split(sim.Client.Query(":FETCh? LIMit")).at(1), judgement) << ohms;
        EXPECT_EQ(Split(sim.Client.Query(":READ? LIMit")).at(1), judgement) << ohms;
    }
    for (const char* line : { ":CALCulate:LIMit:MODE REFERENCE", ":CALCulate:LIMit:REFerence 1.000000e+00",
             ":CALCulate:LIMit:PERCent 5.000000e+00" })
        ASSERT_TRUE(sim.Client.Send(line));
    for (const auto& [ohms, judgement] : { std::pair { 1.1, "HI" }, { 1.0, "IN" }, { 0.9, "LO" } }) {
        sim.Sim.SetChannelResistance(0, ohms);
        EXPECT_EQ(Split(sim.Client.Query(":FETCh? LIMit")).at(1), judgement) << ohms;
    }
    // Scaling A × R + B is applied before the value is written.
    sim.Sim.SetChannelResistance(0, 1.0);
    for (const char* line : { ":CALCulate:SCALing:STATe 1", ":CALCulate:SCALing:PARameterA 2.000000e+00",
             ":CALCulate:SCALing:PARameterB 5.000000e-01" })
        ASSERT_TRUE(sim.Client.Send(line));
    EXPECT_NEAR(Number(sim.Client.Query(":FETCh?")), 2.5, 1e-3);
    EXPECT_EQ(sim.Client.Query(":FETC:TEMP?"), "23.0");
}

TEST(SimFront, OverRangeReadingsAnswerTheOverRangeText)
{
    SimOptions options = ModelOptions("VX6207-02");
    options.OverRange = true;
    SSimOverTcp sim(options);
    ASSERT_TRUE(sim.Started);
    EXPECT_EQ(sim.Client.Query(":FETCh?"), kOverRangeText);
    ASSERT_TRUE(sim.Client.Send(":CALCulate:LIMit:STATe 1"));
    EXPECT_EQ(sim.Client.Query(":READ? LIMit"), std::string(kOverRangeText) + ",HI");
    SetPanel(sim.Client, 0x3, false, false);
    SetChannelComparator(sim.Client, 1, 1'500'000'000, 500'000'000, 2);
    ASSERT_TRUE(sim.Client.Send("CH 1"));
    ASSERT_NE(sim.Client.Query(":READ?"), "<no reply>");
    EXPECT_EQ(sim.Client.Query(":FETCH? LIMJdge,1"), std::string(kOverRangeText) + ",HI,ERR");
    EXPECT_EQ(sim.Client.Query(":CALCulate:LIMit:JUDGe:TOTal?"), "ERR");
}

TEST(SimScan, AutoScanJudgesEveryChannelAndStopsAtTheFirstFailureWhenAsked)
{
    for (const bool failStop : { false, true }) {
        SimOptions options = ModelOptions("VX6207-02");
        options.DefaultResistance = 1.0;
        options.ChannelResistance[3] = 2.0;
        SSimOverTcp sim(options);
        ASSERT_TRUE(sim.Started);
        SetPanel(sim.Client, 0x1F, false, failStop);
        for (int channel = 1; channel <= 5; ++channel)
            SetChannelComparator(sim.Client, channel, 1'500'000'000, 500'000'000, 2);
        ASSERT_TRUE(sim.Client.Send("SCAN:RESet"));
        ASSERT_TRUE(sim.Client.Send("CH 1"));
        ASSERT_TRUE(sim.Client.Send("TRIGGER:SOURCE IMM"));
        ASSERT_NE(sim.Client.Query(":READ?"), "<no reply>");
        EXPECT_EQ(sim.Client.Query("SCAN:STATe?"), "0");
        const std::vector<std::string> expected { "IN,PASS", "IN,PASS", "HI,FAIL", failStop ? "OFF,OFF" : "IN,PASS",
            failStop ? "OFF,OFF" : "IN,PASS", "OFF,OFF" };
        for (int channel = 1; channel <= 6; ++channel) {
            const std::vector<std::string> fields
                = Split(sim.Client.Query(":FETCH? LIMJdge," + std::to_string(channel)));
            ASSERT_EQ(fields.size(), 3u);
            EXPECT_EQ(fields[1] + "," + fields[2], expected[static_cast<size_t>(channel - 1)])
                << "channel " << channel << (failStop ? " with fail-stop" : "");
            if (fields[2] != "OFF")
                EXPECT_NEAR(Number(fields[0]), channel == 3 ? 2.0 : 1.0, 1e-3);
            else
                EXPECT_EQ(fields[0], kNoValueText);
        }
        EXPECT_EQ(sim.Client.Query(":CALCulate:LIMit:JUDGe:TOTal?"), "FAIL");
    }
}

TEST(SimScan, StepScanMeasuresOneChannelPerReadAndReportsProgress)
{
    SSimOverTcp sim(ModelOptions("VX6208"));
    ASSERT_TRUE(sim.Started);
    SetPanel(sim.Client, (1u << 1) | (1u << 4) | (1u << 8), true, false);
    ASSERT_TRUE(sim.Client.Send("CH 2"));
    for (int round = 0; round < 2; ++round) {
        for (const auto& [channel, state] : { std::pair { 2, "1" }, { 5, "1" }, { 9, "0" } }) {
            ASSERT_NE(sim.Client.Query(":READ?"), "<no reply>");
            EXPECT_EQ(sim.Client.Query("SCAN:STATe?"), state) << "after channel " << channel;
            EXPECT_NE(Split(sim.Client.Query(":FETCH? LIMJdge," + std::to_string(channel))).at(0), kNoValueText);
            if (channel == 2) { // a new round forgets the previous one
                EXPECT_EQ(Split(sim.Client.Query(":FETCH? LIMJdge,9")).at(0), kNoValueText);
            }
        }
    }
    EXPECT_EQ(sim.Client.Query(":CALCulate:LIMit:JUDGe:TOTal?"), "OFF"); // no comparator, no judgement
}

TEST(SimScan, ManualChannelReadsThatChannel)
{
    SSimOverTcp sim(ModelOptions("VX6207-03"));
    ASSERT_TRUE(sim.Started);
    sim.Sim.SetChannelResistance(7, 5.0);
    ASSERT_TRUE(sim.Client.Send("SCAN:MODE OFF"));
    ASSERT_TRUE(sim.Client.Send("CH 7"));
    EXPECT_NEAR(Number(sim.Client.Query(":FETCh?")), 5.0, 1e-3);
    ASSERT_TRUE(sim.Client.Send("CH 0"));
    EXPECT_NEAR(Number(sim.Client.Query(":FETCh?")), 1.23456e-3, 1e-7);
}

TEST(SimTrigger, ExternalTriggerAnswersOneReadPerTrigger)
{
    SSimOverTcp sim(ModelOptions("VX6207"));
    ASSERT_TRUE(sim.Started);
    ASSERT_TRUE(sim.Client.Send(":init:cont off"));
    ASSERT_TRUE(sim.Client.Send(":trig:sour ext"));
    constexpr int kTriggers = 5;
    int answered = 0;
    for (int i = 0; i < kTriggers; ++i) {
        ASSERT_TRUE(sim.Client.Send(":READ?"));
        // The read waits for the trigger; the instrument keeps answering other queries meanwhile.
        ASSERT_EQ(sim.Client.Query("*TST?"), "0");
        sim.Sim.FireTrigger();
        if (const auto reply = sim.Client.ReadLine(); reply && Number(*reply) > 0.0)
            ++answered;
    }
    EXPECT_EQ(answered, kTriggers);
}

TEST(SimTrigger, InputReportsEachTriggerOnce)
{
    SSimOverTcp sim(ModelOptions("VX6207"));
    ASSERT_TRUE(sim.Started);
    EXPECT_EQ(sim.Client.Query("io:input?"), "00");
    int seen = 0;
    for (int i = 0; i < 4; ++i) {
        sim.Sim.FireTrigger();
        seen += (std::stoi(sim.Client.Query("io:input?"), nullptr, 16) & 1);
        seen += (std::stoi(sim.Client.Query("IO:INPut?"), nullptr, 16) & 1);
    }
    EXPECT_EQ(seen, 4);
}

TEST(SimTrigger, PeriodicTriggerOptionFiresTheInput)
{
    SimOptions options = ModelOptions("VX6207");
    options.TriggerEveryMs = 5;
    SSimOverTcp sim(options);
    ASSERT_TRUE(sim.Started);
    ASSERT_TRUE(sim.Client.Send("TRIGGER:SOURCE EXT"));
    ASSERT_TRUE(sim.Client.Send(":READ? LIMit"));
    const auto reply = sim.Client.ReadLine(10000);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(Split(*reply).size(), 2u);
}

TEST(SimTrigger, AbortDropsAWaitingRead)
{
    SSimOverTcp sim(ModelOptions("VX6207"));
    ASSERT_TRUE(sim.Started);
    ASSERT_TRUE(sim.Client.Send("TRIGGER:SOURCE EXT"));
    ASSERT_TRUE(sim.Client.Send(":READ?"));
    ASSERT_TRUE(sim.Client.Send(":ABORt"));
    ASSERT_EQ(sim.Client.Query("*TST?"), "0");
    sim.Sim.FireTrigger();
    EXPECT_EQ(sim.Client.Query("*idn?").rfind("ZORVI", 0), 0u);
    EXPECT_FALSE(sim.Client.ReadLine(300).has_value());
}

TEST(SimZeroAdjust, AnswersWhenDoneAndStoresTheAdjustment)
{
    SimOptions options = ModelOptions("VX6207");
    options.ZeroAdjustMs = 20;
    SSimOverTcp sim(options);
    ASSERT_TRUE(sim.Started);
    ASSERT_TRUE(sim.Client.Send("RESistance:RANGe   10.0"));
    ASSERT_TRUE(sim.Client.Send(":SYSTem:DATAout 0"));
    EXPECT_EQ(sim.Client.Query(":ADJust?"), "0");
    EXPECT_NE(sim.Client.Query(":ADJust:GET? 3"), "2147483647");
    EXPECT_EQ(sim.Client.Query(":ADJust:GET? 4"), "2147483647");

    options.ZeroAdjustFails = true;
    SSimOverTcp failing(options);
    ASSERT_TRUE(failing.Started);
    EXPECT_EQ(failing.Client.Query(":ADJust?"), "1");
}

TEST(SimZeroAdjust, MuxAdjustmentFillsTheZeroAllChannelsAndAbortCancels)
{
    SimOptions options = ModelOptions("VX6207-02");
    options.ZeroAdjustMs = 20;
    SSimOverTcp sim(options);
    ASSERT_TRUE(sim.Started);
    EditChannel(sim.Client, 4, { { 22, 2 } });
    ASSERT_TRUE(sim.Client.Send(":ADJust:ENABle 1"));
    ASSERT_TRUE(sim.Client.Send("CH 1"));
    EXPECT_EQ(sim.Client.Query(":ADJust?"), "0");
    EXPECT_EQ(Split(sim.Client.Query(":MUX:ADJust:VAR:GET? 0,4")).at(0), "4"); // bit of range 2

    options.ZeroAdjustMs = 200;
    SSimOverTcp aborted(options);
    ASSERT_TRUE(aborted.Started);
    ASSERT_TRUE(aborted.Client.Send(":ADJust?"));
    ASSERT_TRUE(aborted.Client.Send(":ABORt"));
    EXPECT_EQ(aborted.Client.Query("*TST?"), "0");
    EXPECT_FALSE(aborted.Client.ReadLine(600).has_value());
}

TEST(SimSelfTest, AnswersTheConfiguredResult)
{
    for (const int result : { 0, 5, -1 }) {
        SimOptions options = ModelOptions("VX6207");
        options.SelfTestResult = result;
        options.FrontCable = false;
        SSimOverTcp sim(options);
        ASSERT_TRUE(sim.Started);
        EXPECT_EQ(sim.Client.Query("*TST?"), std::to_string(result));
    }
    SimOptions noCable = ModelOptions("VX6207-02");
    noCable.FrontCable = false;
    SSimOverTcp sim(noCable);
    ASSERT_TRUE(sim.Started);
    EXPECT_EQ(sim.Client.Query("FRONtcheck?"), "0");
}

TEST(SimScan, PowerOnPresetSetsChannelsSelectionScanModeAndLimits)
{
    SimOptions options = ModelOptions("VX6207-02");
    options.MuxChannels = { 2, 5, 9 };
    options.MuxSelect = 2;
    options.MuxScanMode = "STEP";
    options.MuxFailStop = true;
    options.DefaultResistance = 1.0;
    options.ChannelResistance[5] = 2.0;
    for (const int channel : options.MuxChannels)
        options.ChannelLimits[channel] = { 0.5, 1.5 };
    SSimOverTcp sim(options);
    ASSERT_TRUE(sim.Started);
    EXPECT_EQ(sim.Client.Query("CH?"), "2");
    EXPECT_EQ(sim.Client.Query("SCAN:MODE?"), "STEP");
    EXPECT_EQ(sim.Client.Query("SCAN:FAIL:STOP?"), "ON");
    for (int channel = 1; channel <= 10; ++channel) {
        const bool enabled = channel == 2 || channel == 5 || channel == 9;
        EXPECT_EQ(sim.Client.Query("CH:STATe? " + std::to_string(channel)), enabled ? "ON" : "OFF") << channel;
    }
    ASSERT_TRUE(sim.Client.Send("SCAN:MODE AUTO"));
    ASSERT_NE(sim.Client.Query(":READ?"), "<no reply>");
    EXPECT_EQ(Split(sim.Client.Query(":FETCH? LIMJdge,2"))[2], "PASS");
    EXPECT_EQ(Split(sim.Client.Query(":FETCH? LIMJdge,5"))[2], "FAIL");
    EXPECT_EQ(Split(sim.Client.Query(":FETCH? LIMJdge,9"))[2], "OFF"); // fail-stop ended the scan
}
