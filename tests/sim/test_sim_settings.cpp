// Every setting is stored and read back in its documented form; the MUX lists keep their shapes.
#include <algorithm>

#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace {

struct SRoundTrip {
    const char* Set;
    const char* Query;
    const char* Expected;
};

size_t FieldCount(const std::string& text)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), ',')) + 1;
}

std::string Repeat(const std::string& value, size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += (i == 0 ? "" : ",") + value;
    return text;
}

void CheckRoundTrips(const char* model, const std::vector<SRoundTrip>& cases)
{
    SSimOverTcp sim(ModelOptions(model));
    ASSERT_TRUE(sim.Started);
    for (const SRoundTrip& c : cases) {
        ASSERT_TRUE(sim.Client.Send(c.Set));
        EXPECT_EQ(sim.Client.Query(c.Query), c.Expected) << model << ": " << c.Set;
    }
}

} // namespace

TEST(SimSettings, FrontSettingsRoundTrip)
{
    CheckRoundTrips("VX6207-02",
        {
            { "RESistance:RANGe:AUTO 0", "RESistance:RANGe:AUTO?", "OFF" },
            { "RESistance:RANGe  100.0E-3", "RESistance:RANGe?", "100.0E-3" },
            { "RESistance:LP:RANGe   10.0", "RESistance:LP:RANGe?", "10.0" },
            { ":SAMPle:RATE MEDIUM", ":SAMPle:RATE?", "MEDIUM" },
            { "RESistance:CURRent LOW", "RESistance:CURRent?", "LOW" },
            { "RESistance:OVC 1", "RESistance:OVC?", "ON" },
            { "RESistance:PRECision 1", "RESistance:PRECision?", "ON" },
            { "RESistance:LP:STATe 1", "RESistance:LP:STATe?", "ON" },
            { "RESistance:CONTactcheck 0", "RESistance:CONTactcheck?", "OFF" },
            { "RESistance:LP:CONTactcheck 1", "RESistance:LP:CONTactcheck?", "ON" },
            { "RESistance:CIMProve 1", "RESistance:CIMProve?", "ON" },
            { ":CALCulate:AVERage:STATe 1", ":CALCulate:AVERage:STATe?", "ON" },
            { ":CALCulate:AVERage:COUNt 25", ":CALCulate:AVERage:COUNt?", "25" },
            { ":TRIGger:DELay:AUTO 0", ":TRIGger:DELay:AUTO?", "OFF" },
            { ":TRIGger:DELay 0.015000", ":TRIGger:DELay?", "0.015" },
            { ":CALCulate:LIMit:STATe 1", ":CALCulate:LIMit:STATe?", "ON" },
            { ":CALCulate:LIMit:MODE REFERENCE", ":CALCulate:LIMit:MODE?", "REFERENCE" },
            { ":CALCulate:LIMit:REFerence 1.000000e+00", ":CALCulate:LIMit:REFerence?", "1.000000E+00" },
            { ":CALCulate:LIMit:PERCent 5.000000e+00", ":CALCulate:LIMit:PERCent?", "5.000000E+00" },
            { ":CALCulate:LIMit:UPPer 2.500000e-03", ":CALCulate:LIMit:UPPer?", "2.500000E-03" },
            { ":CALCulate:LIMit:LOWer 1.000000e-03", ":CALCulate:LIMit:LOWer?", "1.000000E-03" },
            { ":CALCulate:LIMit:BEEPer IN,3,5", ":CALCulate:LIMit:BEEPer? IN", "IN,3,5" },
            { ":CALCulate:TCORrect:STATe 1", ":CALCulate:TCORrect:STATe?", "ON" },
            { ":CALCulate:TCORrect:PARameter 21.50,4000", ":CALCulate:TCORrect:PARameter?", "21.50,4000" },
            { ":CALCulate:TCONversion:DELTa:STATe 1", ":CALCulate:TCONversion:DELTa:STATe?", "ON" },
            { ":CALCulate:TCONversion:DELTa:PARameter 2.000000e+00,24.00,234.50",
                ":CALCulate:TCONversion:DELTa:PARameter?", "2.000000E+00,24.00,234.50" },
            { ":CALCulate:SCALing:STATe 1", ":CALCulate:SCALing:STATe?", "ON" },
            { ":CALCulate:SCALing:PARameterA 2.000000e+00", ":CALCulate:SCALing:PARameterA?", "2.000000E+00" },
            { ":CALCulate:SCALing:PARameterB -1.000000e-01", ":CALCulate:SCALing:PARameterB?", "-1.000000E-01" },
            { ":CALCulate:SCALing:UNIT OFF", ":CALCulate:SCALing:UNIT?", "OFF" },
            { ":CALCulate:SCALing:UNIT \"kg\"", ":CALCulate:SCALing:UNIT?", "\"kg\"" },
            { ":CALCulate:STATistics:STATe 1", ":CALCulate:STATistics:STATe?", "ON" },
            { "HOLD:AUTO 1", "HOLD:AUTO?", "ON" },
            { ":SYSTem:CALibration:AUTO 0", ":SYSTem:CALibration:AUTO?", "OFF" },
            { ":SENSe:RESistance:ERRor:CURRentcheck OVER", ":SENSe:RESistance:ERRor:CURRentcheck?", "OVER" },
            { ":CALCulate:BIN:STATe 1", ":CALCulate:BIN:STATe?", "ON" },
            { ":CALCulate:BIN:ENABle 517", ":CALCulate:BIN:ENABle?", "517" },
            { ":CALCulate:BIN:MODE 3,REFERENCE", ":CALCulate:BIN:MODE? 3", "REFERENCE" },
            { ":CALCulate:BIN:REFerence 3,1.000000e+02", ":CALCulate:BIN:REFerence? 3", "1.000000E+02" },
            { ":CALCulate:BIN:PERCent 3,1.500000e+00", ":CALCulate:BIN:PERCent? 3", "1.500000E+00" },
            { ":CALCulate:BIN:UPPer 9,5.000000e-03", ":CALCulate:BIN:UPPer? 9", "5.000000E-03" },
            { ":CALCulate:BIN:LOWer 9,4.000000e-03", ":CALCulate:BIN:LOWer? 9", "4.000000E-03" },
            { ":ADJust:SET 2,-1234", ":ADJust:GET? 2", "-1234" },
            { ":ADJust:SET 2,2147483647", ":ADJust:GET? 2", "2147483647" },
            { ":SYSTem:DATAout 0", ":SYST:DATA?", "OFF" },
            { ":init:cont off", ":INITiate:CONTinuous?", "OFF" },
            { "TRIGGER:SOURCE EXT", ":trig:sour?", "EXTERNAL" },
            { ":trig:sour imm", "TRIGger:SOURce?", "IMMEDIATE" },
        });
}

TEST(SimSettings, ExtendedAndMuxSettingsRoundTrip)
{
    CheckRoundTrips("VX6208",
        {
            { "RESistance:AOVC 1", "RESistance:AOVC?", "ON" },
            { ":SENSe:RESistance:PR:STATe 1", ":SENSe:RESistance:PR:STATe?", "ON" },
            { ":SENSe:RESistance:ERRor:OVER ERROR", ":SENSe:RESistance:ERRor:OVER?", "ERROR" },
            { ":FACT:CMD:EXTEND 1", ":FACT:CMD:EXTEND?", "1" },
            { ":ADJust:SET 10,55", ":ADJust:GET? 10", "55" },
            { ":ADJust:ENABle 1", ":ADJust:ENABle?", "ON" },
            { "SCAN:MODE STEP", "SCAN:MODE?", "STEP" },
            { "SCAN:MODE OFF", "SCAN:MODE?", "OFF" },
            { "SCAN:FAIL:STOP ON", "SCAN:FAIL:STOP?", "ON" },
            { "CH 5", "CH?", "5" },
            { "CH 0", "CH?", "FRONT" },
            { ":SYSTem:PANel:NAME 31,\"MUX_A\"", ":SYSTem:PANel:NAME? 31", "31,\"MUX_A\"" },
        });
}

TEST(SimSettings, FrontZeroAdjustListFollowsLowPower)
{
    SSimOverTcp sim(ModelOptions("VX6207"));
    ASSERT_TRUE(sim.Started);
    ASSERT_TRUE(sim.Client.Send(":ADJust:SET 9,77"));
    ASSERT_TRUE(sim.Client.Send("RESistance:LP:STATe 1"));
    // Four low-power ranges, each without a value yet.
    EXPECT_EQ(sim.Client.Query(":ADJust:GET? 3"), "2147483647");
    EXPECT_TRUE(sim.Client.Unanswered(":ADJust:GET? 4"));
    ASSERT_TRUE(sim.Client.Send(":ADJust:SET 3,-5"));
    ASSERT_TRUE(sim.Client.Send("RESistance:LP:STATe 0"));
    EXPECT_EQ(sim.Client.Query(":ADJust:GET? 9"), "77");
    EXPECT_EQ(sim.Client.Query(":ADJust:GET? 3"), "2147483647");
    EXPECT_TRUE(sim.Client.Unanswered(":ADJust:GET? 10")); // ten ranges on the normal numbering
}

TEST(SimMuxLists, ListsHaveTheirFieldCounts)
{
    struct SCase {
        const char* Model;
        size_t ChannelFields;
        size_t AdjustFields;
    };
    for (const SCase& c : { SCase { "VX6207-02", 42, 11 }, SCase { "VX6207-03", 42, 11 }, SCase { "VX6207A-2", 42, 12 },
             SCase { "VX6208", 69, 12 } }) {
        SSimOverTcp sim(ModelOptions(c.Model));
        ASSERT_TRUE(sim.Started);
        EXPECT_EQ(FieldCount(sim.Client.Query(":MUX:PANel:VAR:GET? 0")), 82u) << c.Model;
        for (int channel = 1; channel <= 42; ++channel) {
            const std::string list = sim.Client.Query(":MUX:CH:VAR:GET?  0," + std::to_string(channel));
            EXPECT_EQ(FieldCount(list), c.ChannelFields) << c.Model << " channel " << channel;
            EXPECT_NE(list.find(",\"\","), std::string::npos) << "the unit text is quoted";
            EXPECT_EQ(
                FieldCount(sim.Client.Query(":MUX:ADJust:VAR:GET? 0," + std::to_string(channel))), c.AdjustFields);
        }
    }
}

TEST(SimMuxLists, WrittenListsAreReadBackAndWrongShapesIgnored)
{
    SSimOverTcp sim(ModelOptions("VX6207-02"));
    ASSERT_TRUE(sim.Started);
    std::string channel;
    for (int i = 1; i <= 42; ++i)
        channel += (i == 1 ? "" : ",") + (i == 34 ? std::string("\"Ab\"") : std::to_string(i));
    ASSERT_TRUE(sim.Client.Send(":MUX:CH:VAR:SET 0,7," + channel));
    ASSERT_TRUE(sim.Client.Send("*OPC"));
    EXPECT_EQ(sim.Client.Query(":MUX:CH:VAR:GET?  0,7"), channel);
    const std::string before = sim.Client.Query(":MUX:CH:VAR:GET?  0,8");
    ASSERT_TRUE(sim.Client.Send(":MUX:CH:VAR:SET 0,8,1,2,3")); // too short
    EXPECT_EQ(sim.Client.Query(":MUX:CH:VAR:GET?  0,8"), before);

    const std::string adjust = "7,100,2147483647,-300," + Repeat("2147483647", 7);
    ASSERT_TRUE(sim.Client.Send(":MUX:ADJust:VAR:SET 0,12," + adjust));
    // Bit 1 is cleared: its value is the missing value.
    EXPECT_EQ(sim.Client.Query(":MUX:ADJust:VAR:GET? 0,12"), "5,100,2147483647,-300," + Repeat("2147483647", 7));
}

TEST(SimMuxLists, PanelListDrivesChannelStateScanModeAndFailStop)
{
    SSimOverTcp sim(ModelOptions("VX6207-02"));
    ASSERT_TRUE(sim.Started);
    EXPECT_EQ(sim.Client.Query("CH:STATe? 1"), "ON");
    EXPECT_EQ(sim.Client.Query("CH:STATe? 2"), "OFF");
    EXPECT_EQ(sim.Client.Query("SCAN:MODE?"), "AUTO");
    std::vector<std::string> panel(82, "0");
    panel[13] = "0"; // scan on
    panel[14] = "1"; // STEP
    panel[37] = "1"; // fail stop
    panel[38] = "6"; // channels 2 and 3
    panel[39] = "512"; // channel 42
    std::string line = ":MUX:PANel:VAR:SET 0";
    for (const std::string& value : panel)
        line += "," + value;
    ASSERT_TRUE(sim.Client.Send(line));
    EXPECT_EQ(sim.Client.Query("SCAN:MODE?"), "STEP");
    EXPECT_EQ(sim.Client.Query("SCAN:FAIL:STOP?"), "ON");
    for (const auto& [channel, state] :
        { std::pair { 1, "OFF" }, { 2, "ON" }, { 3, "ON" }, { 41, "OFF" }, { 42, "ON" } })
        EXPECT_EQ(sim.Client.Query("CH:STATe? " + std::to_string(channel)), state) << channel;
    const std::string readBack = sim.Client.Query(":MUX:PANel:VAR:GET? 0");
    EXPECT_EQ(":MUX:PANel:VAR:SET 0," + readBack, line);
    ASSERT_TRUE(sim.Client.Send("SCAN:MODE OFF"));
    EXPECT_EQ(sim.Client.Query("SCAN:MODE?"), "OFF");
}

TEST(SimPanels, NamesAreKeptPerPanelAndSurviveAReset)
{
    SSimOverTcp sim(ModelOptions("VX6207"));
    ASSERT_TRUE(sim.Started);
    EXPECT_EQ(sim.Client.Query(":SYSTem:PANel:NAME? 1"), "1,\"\"");
    ASSERT_TRUE(sim.Client.Send(":SYSTem:PANel:SAVE 4"));
    ASSERT_TRUE(sim.Client.Send(":SYSTem:PANel:NAME 4,\"Line_4\""));
    ASSERT_TRUE(sim.Client.Send(":SAMPle:RATE FAST"));
    ASSERT_TRUE(sim.Client.Send("*RST"));
    EXPECT_EQ(sim.Client.Query(":SYST:PAN:NAME? 4"), "4,\"Line_4\"");
    EXPECT_EQ(sim.Client.Query(":SYST:PAN:NAME? 5"), "5,\"\"");
    EXPECT_EQ(sim.Client.Query(":SAMPle:RATE?"), "SLOW2");
}
