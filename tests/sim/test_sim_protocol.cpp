// Command notation, identity, header handling and which models know which commands.
#include <gtest/gtest.h>

#include "sim/command_line.h"
#include "sim/header_pattern.h"
#include "sim_fixture.h"

TEST(SimHeaderPattern, AcceptsShortAndLongFormsInAnyCase)
{
    struct SCase {
        const char* Pattern;
        const char* Header;
        bool Matches;
    };
    const SCase cases[] {
        { ":SYSTem:PANel:NAME", ":SYSTem:PANel:NAME", true },
        { ":SYSTem:PANel:NAME", ":SYST:PAN:NAME", true },
        { ":SYSTem:PANel:NAME", "syst:panel:name", true },
        { ":SYSTem:PANel:NAME", ":SYSTE:PAN:NAME", false },
        { ":SYSTem:PANel:NAME", ":SYST:PAN", false },
        { "[SENSe:]RESistance:RANGe", "RESistance:RANGe", true },
        { "[SENSe:]RESistance:RANGe", ":SENS:RES:RANG", true },
        { "[SENSe:]RESistance:RANGe", ":RES:RANG:AUTO", false },
        { ":TRIGger:SOURce", "TRIGGER:SOURCE", true },
        { ":TRIGger:SOURce", ":trig:sour", true },
        { ":SYSTem:DATAout", ":SYST:DATA", true },
        { "*IDN", "*idn", true },
        { ":FETCh", ":FETCH", true },
        { ":FETCh", ":FETC:TEMP", false },
        { ":CALCulate:SCALing:PARameterA", ":CALC:SCAL:PARA", true },
    };
    for (const SCase& c : cases)
        EXPECT_EQ(CHeaderPattern(c.Pattern).Matches(c.Header), c.Matches) << c.Pattern << " vs " << c.Header;
    EXPECT_EQ(CHeaderPattern("[SENSe:]RESistance:LP:RANGe").ReplyHeader(), ":RES:LP:RANG");
}

TEST(SimCommandLine, SplitsHeaderQueryAndQuotedArguments)
{
    SimCommand command;
    ASSERT_TRUE(ParseCommandLine(":MUX:CH:VAR:GET?  0,5 ", command));
    EXPECT_EQ(command.Header, ":MUX:CH:VAR:GET");
    EXPECT_TRUE(command.Query);
    EXPECT_EQ(command.Arguments, (std::vector<std::string> { "0", "5" }));
    ASSERT_TRUE(ParseCommandLine(":SYSTem:PANel:NAME 3,\"a,b\"", command));
    EXPECT_FALSE(command.Query);
    EXPECT_EQ(command.Arguments, (std::vector<std::string> { "3", "\"a,b\"" }));
    EXPECT_FALSE(ParseCommandLine("   ", command));
}

TEST(SimIdentity, AnswersFourFieldsAndIgnoresBareLineEnds)
{
    SimOptions options = ModelOptions("VX6207-02");
    options.Serial = "987654";
    options.Firmware = "2.10";
    SSimOverTcp sim(options);
    ASSERT_TRUE(sim.Started);
    ASSERT_TRUE(sim.Client.SendRaw("\r\n"));
    EXPECT_EQ(sim.Client.Query("*idn?"), "ZORVI,VX6207-02,987654,2.10");
    EXPECT_EQ(sim.Client.Query("*IDN?"), "ZORVI,VX6207-02,987654,2.10");
    // A model outside the table is reported as given, for clients that must reject it.
    SSimOverTcp unknown(ModelOptions("VX6207A"));
    ASSERT_TRUE(unknown.Started);
    EXPECT_EQ(unknown.Client.Query("*idn?"), "ZORVI,VX6207A,123456,1.00");
}

TEST(SimHeaders, RepliesCarryTheHeaderOnlyWhileHeadersAreOn)
{
    SSimOverTcp sim(ModelOptions("VX6207-02"));
    ASSERT_TRUE(sim.Started);
    EXPECT_EQ(sim.Client.Query(":SAMPle:RATE?"), "SLOW2");
    ASSERT_TRUE(sim.Client.Send(":SYSTem:HEADer ON"));
    EXPECT_EQ(sim.Client.Query(":SAMP:RATE?"), ":SAMP:RATE SLOW2");
    EXPECT_EQ(sim.Client.Query("CH?"), ":CH FRONT");
    EXPECT_EQ(sim.Client.Query("*idn?").rfind("ZORVI,", 0), 0u);
    ASSERT_TRUE(sim.Client.Send(":SYSTem:HEADer OFF"));
    EXPECT_EQ(sim.Client.Query(":SAMP:RATE?"), "SLOW2");
}

TEST(SimModels, EachModelKnowsOnlyItsCommands)
{
    struct SCase {
        const char* Model;
        const char* Query;
        bool Answered;
    };
    const SCase cases[] {
        { "VX6207", ":FACT:CMD:EXTEND?", false },
        { "VX6207", "CH?", false },
        { "VX6207", ":MUX:PANel:VAR:GET? 0", false },
        { "VX6207", "RESistance:OVC?", true },
        { "VX6207", ":SENSe:RESistance:PR:STATe?", false },
        { "VX6207-02", "CH?", true },
        { "VX6207-02", ":SENSe:RESistance:ERRor:OVER?", false },
        { "VX6207-03", "FRONtcheck?", true },
        { "VX6207A-1", ":FACT:CMD:EXTEND?", true },
        { "VX6207A-1", "SCAN:MODE?", false },
        { "VX6207A-2", "SCAN:MODE?", true },
        { "VX6208", "RESistance:OVC?", false },
        { "VX6208", "RESistance:AOVC?", true },
        { "VX6208", "RESistance:LP:STATe?", false },
        { "VX6208", ":SENSe:RESistance:ERRor:OVER?", true },
    };
    for (const SCase& c : cases) {
        SSimOverTcp sim(ModelOptions(c.Model));
        ASSERT_TRUE(sim.Started);
        if (c.Answered)
            EXPECT_NE(sim.Client.Query(c.Query), "<no reply>") << c.Model << " " << c.Query;
        else
            EXPECT_TRUE(sim.Client.Unanswered(c.Query)) << c.Model << " " << c.Query;
    }
}

TEST(SimModels, RangeNumberingFollowsTheModel)
{
    SSimOverTcp normal(ModelOptions("VX6207"));
    SSimOverTcp extended(ModelOptions("VX6208"));
    ASSERT_TRUE(normal.Started && extended.Started);
    EXPECT_EQ(normal.Client.Query("RESistance:RANGe?"), "100.0E+6");
    EXPECT_EQ(extended.Client.Query("RESistance:RANGe?"), "100.0E+6");
    ASSERT_TRUE(normal.Client.Send("RESistance:RANGe   10.0E-3"));
    ASSERT_TRUE(extended.Client.Send("RESistance:RANGe   1000.0E-6"));
    EXPECT_EQ(normal.Client.Query("RESistance:RANGe?"), "10.0E-3");
    EXPECT_EQ(extended.Client.Query("RESistance:RANGe?"), "1000.0E-6");
    // The normal numbering has no 1000 µΩ range: the smallest range holding the value is chosen.
    ASSERT_TRUE(normal.Client.Send("RESistance:RANGe   1000.0E-6"));
    EXPECT_EQ(normal.Client.Query("RESistance:RANGe?"), "10.0E-3");
    EXPECT_EQ(normal.Client.Query("RESistance:RANGe:AUTO?"), "OFF");
}

TEST(SimUnknown, UnknownAndMalformedCommandsGetNoReply)
{
    SSimOverTcp sim(ModelOptions("VX6207-02"));
    ASSERT_TRUE(sim.Started);
    for (const char* line : { "bogus?", ":SYSTE:PAN:NAME? 1", ":ADJust:GET? 99", ":SYSTem:PANel:NAME? 0",
             ":CALCulate:LIMit:BEEPer? XX", ":SAMPle:RATE? 1", ":MUX:CH:VAR:GET? 0,43", "CH:STATe? 0" })
        EXPECT_TRUE(sim.Client.Unanswered(line)) << line;
    // A malformed setting leaves the stored value alone.
    ASSERT_TRUE(sim.Client.Send(":SAMPle:RATE QUICK"));
    ASSERT_TRUE(sim.Client.Send(":CALCulate:AVERage:COUNt ten"));
    EXPECT_EQ(sim.Client.Query(":SAMPle:RATE?"), "SLOW2");
    EXPECT_EQ(sim.Client.Query(":CALCulate:AVERage:COUNt?"), "10");
}
