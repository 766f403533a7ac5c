// What a script meets talking to the simulator as to a bench instrument, line by line: the status
// bytes, the error queue, chained commands, unknown commands and values out of range, over TCP
// and over the pseudo-terminal alike.
#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace {

struct SExchange {
    const char* Send;
    const char* Reply; // nullptr: nothing comes back
    int Repeat = 1;
};

constexpr const char* kIdentity = "ZORVI,VX6207-02,123456,1.00";
constexpr const char* kNoError = "0,\"No error\"";
constexpr const char* kUndefinedHeader = "-113,\"Undefined header\"";
constexpr const char* kOutOfRange = "-222,\"Data out of range\"";

// One session from power-on; each row depends on the rows before it.
const SExchange kSession[] {
    // Power-on leaves its event bit; reading the register clears it.
    { "*ESR?", "128" },
    { "*ESR?", "0" },
    { "*STB?", "0" },
    { ":SYSTem:ERRor?", kNoError },
    // An unknown command stays silent on the wire and leaves its error in the queue.
    { ":BOGus:COMMand 1", nullptr },
    { "*STB?", "4" },
    { "*ESR?", "32" },
    { "syst:err?", kUndefinedHeader },
    { ":SYST:ERR:NEXT?", kNoError },
    { "*IDN", nullptr }, // a query-only command sent as a setting
    { "*RST?", nullptr },
    { ":SYSTem:ERRor:COUNt?", "2" },
    { ":SYSTem:ERRor?", kUndefinedHeader, 2 },
    // Values outside a setting's range are refused, and the stored value stays.
    { ":CALCulate:AVERage:COUNt 1000", nullptr },
    { ":CALCulate:AVERage:COUNt?", "10" },
    { "*ESR?", "48" }, // the execution error, and the command errors before it
    { ":SYSTem:ERRor?", kOutOfRange },
    { "RESistance:RANGe 1E+12", nullptr },
    { "CH 43", nullptr },
    { ":SYSTem:PANel:NAME 39,\"X\"", nullptr },
    { ":SYSTem:ERRor?", kOutOfRange, 3 },
    { "RESistance:RANGe?", "100.0E+6" },
    { "CH?", "FRONT" },
    // Other malformed parameters name their fault.
    { ":SAMPle:RATE QUICK", nullptr },
    { ":SAMPle:RATE", nullptr },
    { ":SAMPle:RATE? 1", nullptr },
    { ":SYSTem:ERRor?", "-224,\"Illegal parameter value\"" },
    { ":SYSTem:ERRor?", "-109,\"Missing parameter\"" },
    { ":SYSTem:ERRor?", "-108,\"Parameter not allowed\"" },
    { ":SYSTem:ERRor?", kNoError },
    // Enable masks summarise the registers into the status byte; *CLS clears all but the masks.
    { "*ESE 36", nullptr },
    { "*ESE?", "36" },
    { "*SRE 48", nullptr },
    { "*SRE?", "48" },
    { "bogus?", nullptr },
    { "*STB?", "100" },
    { "*CLS", nullptr },
    { "*STB?", "0" },
    { "*ESE?", "36" },
    { ":SYSTem:ERRor?", kNoError },
    { "*ESE 256", nullptr },
    { "*ESE?", "36" },
    { ":SYSTem:ERRor?", kOutOfRange },
    // Chains: each part in order, the replies on one line.
    { "*IDN?;*OPC?", "ZORVI,VX6207-02,123456,1.00;1" },
    { ":SAMPle:RATE FAST;RATE?", "FAST" },
    { ":SAMP:RATE MEDIUM; :SAMP:RATE?;*TST?", "MEDIUM;0" },
    { "SCAN:MODE STEP;SCAN:MODE?", "STEP" },
    { "*CLS;bogus;*ESR?", "32" },
    { ":SYST:ERR?;:SYST:ERR?", "-113,\"Undefined header\";0,\"No error\"" },
    { ":SYSTem:PANel:NAME 2,\"a;b\"", nullptr },
    { ":SYSTem:PANel:NAME? 2", "2,\"a;b\"" },
    { "*OPC;*ESR?", "1" },
    // A full queue keeps its oldest errors and ends with the overflow.
    { "bogus", nullptr, 11 },
    { ":SYSTem:ERRor:COUNt?", "10" },
    { ":SYSTem:ERRor?", kUndefinedHeader, 9 },
    { ":SYSTem:ERRor?", "-350,\"Queue overflow\"" },
    { ":SYSTem:ERRor?", kNoError },
    // *RST resets the measurement conditions; the status registers and the queue stay.
    { "*ESE 4", nullptr },
    { "bogus", nullptr },
    { "*RST", nullptr },
    { "*ESE?", "4" },
    { ":SAMPle:RATE?", "SLOW2" },
    { "*ESR?", "32" },
    { ":SYSTem:ERRor?", kUndefinedHeader },
};

class SimScriptSession : public testing::TestWithParam<const char*> { };

TEST_P(SimScriptSession, MeetsTheAnswersOfABenchInstrument)
{
    const bool pty = std::string(GetParam()) == "pty";
    if (pty)
        VX_REQUIRE_PTY();
    CSimulator sim(ModelOptions("VX6207-02"));
    CSimClient client;
    if (pty)
        ASSERT_TRUE(sim.StartPty() && client.OpenPty(sim.PtyPath()));
    else
        ASSERT_TRUE(sim.StartTcp() && client.ConnectTcp(sim.TcpPort()));
    ASSERT_EQ(client.Query("*IDN?"), kIdentity);
    int row = 0;
    for (const SExchange& exchange : kSession) {
        ++row;
        for (int time = 0; time < exchange.Repeat; ++time) {
            if (exchange.Reply == nullptr)
                EXPECT_TRUE(client.Unanswered(exchange.Send)) << "row " << row << ": " << exchange.Send;
            else
                EXPECT_EQ(client.Query(exchange.Send), exchange.Reply) << "row " << row << ": " << exchange.Send;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Transports, SimScriptSession, testing::Values("tcp", "pty"));

TEST(SimChains, SlowPartsDelayTheJoinedReplyAndHeadersStayPerPart)
{
    SimOptions options = ModelOptions("VX6207");
    options.ZeroAdjustMs = 20;
    SSimOverTcp sim(options);
    ASSERT_TRUE(sim.Started);
    // The adjustment answers when it ends: the joined line waits for it and keeps the order.
    EXPECT_EQ(sim.Client.Query(":ADJust?;*OPC?"), "0;1");
    ASSERT_TRUE(sim.Client.Send(":SYSTem:HEADer ON"));
    EXPECT_EQ(sim.Client.Query(":SAMP:RATE?;:CALC:AVER:COUN?"), ":SAMP:RATE SLOW2;:CALC:AVER:COUN 10");
    const std::string readings = sim.Client.Query(":READ?;:FETCh?");
    ASSERT_EQ(readings.size(), 23u) << readings;
    EXPECT_EQ(readings.substr(7, 4), "E-03") << readings;
    EXPECT_EQ(readings.substr(11, 1), ";") << readings;
    EXPECT_EQ(readings.substr(19), "E-03") << readings;
}

TEST(SimFrontLimits, ChannelZeroSwitchesTheFrontComparatorOn)
{
    SimOptions options = ModelOptions("VX6207");
    options.ChannelLimits[0] = { 1.0e-3, 1.1e-3 };
    options.ChannelResistance[0] = 1.2e-3;
    SSimOverTcp sim(options);
    ASSERT_TRUE(sim.Started);
    EXPECT_EQ(sim.Client.Query(":CALCulate:LIMit:STATe?"), "ON");
    EXPECT_EQ(sim.Client.Query(":CALCulate:LIMit:MODE?"), "ABSOLUTE");
    EXPECT_EQ(sim.Client.Query(":CALCulate:LIMit:LOWer?"), "1.000000E-03");
    EXPECT_EQ(sim.Client.Query(":CALCulate:LIMit:UPPer?"), "1.100000E-03");
    const std::string reading = sim.Client.Query(":READ? LIMit");
    EXPECT_EQ(reading.substr(reading.find(',')), ",HI") << reading;
}

} // namespace
