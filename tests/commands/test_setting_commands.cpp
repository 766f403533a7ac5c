// The front setting commands against the simulator: each class sent and read back into a fresh
// record for every model, and the exact lines of the edge cases.
#include <gtest/gtest.h>

#include <functional>

#include "command_rig.h"
#include "test_records.h"

namespace {

using Check = std::function<void(const MeasSetData& written, const MeasSetData& read, const std::string& where)>;

struct SClassCase {
    int Number;
    const char* Name;
    Check Compare;
    bool (*Available)(int32_t model);
};

bool Everywhere(int32_t) { return true; }
bool NotOnVx6208(int32_t model) { return model != kModelVx6208; }
bool ExtendedOnly(int32_t model) { return ExtendedRangeModel(model); }

template <auto Member, typename T> void ExpectMember(const T& written, const T& read, const std::string& where)
{
    EXPECT_EQ(written.*Member, read.*Member) << where;
}

// Compares the listed members of Front.Cond, or of Front.
template <auto... Members> Check CondFields()
{
    return [](const MeasSetData& w, const MeasSetData& r, const std::string& where) {
        (ExpectMember<Members>(w.Front.Cond, r.Front.Cond, where), ...);
    };
}
template <auto... Members> Check FrontFields()
{
    return [](const MeasSetData& w, const MeasSetData& r, const std::string& where) {
        (ExpectMember<Members>(w.Front, r.Front, where), ...);
    };
}

using M = MeasCondition;
using F = FrontSetData;

const std::vector<SClassCase>& ClassCases()
{
    static const std::vector<SClassCase> cases {
        { 4, "AutoSelfCalib", FrontFields<&F::SelfCalb>(), Everywhere },
        { 5, "BeepHiInLo",
            [](const MeasSetData& w, const MeasSetData& r, const std::string& where) {
                for (size_t i = 0; i < w.Front.Beep.size(); ++i) {
                    EXPECT_EQ(w.Front.Beep[i].Tone, r.Front.Beep[i].Tone) << where << i;
                    EXPECT_EQ(w.Front.Beep[i].Count, r.Front.Beep[i].Count) << where << i;
                }
            },
            Everywhere },
        { 6, "LowPower", CondFields<&M::LowPower>(), NotOnVx6208 },
        { 7, "Range", CondFields<&M::Range>(), Everywhere },
        { 8, "ContactCheck", CondFields<&M::ContactCheck>(), Everywhere },
        { 9, "LpRange", CondFields<&M::LoPowerRange>(), NotOnVx6208 },
        { 10, "LpContactCheck", CondFields<&M::LpContactCheck>(), NotOnVx6208 },
        { 11, "AutoRange", CondFields<&M::AutoRange>(), Everywhere },
        { 12, "0Adj", CondFields<&M::ZeroAdjOn, &M::ZeroAdjValue>(), Everywhere },
        { 13, "Speed", CondFields<&M::Speed>(), Everywhere },
        { 14, "Ovc", CondFields<&M::Ovc>(), Everywhere },
        { 15, "MeasCurr", CondFields<&M::MeasCurrLow>(), Everywhere },
        { 16, "100MPrec", CondFields<&M::HighAccuracy100M>(), Everywhere },
        { 17, "AutoHold", FrontFields<&F::AutoHold>(), Everywhere },
        { 18, "ContactImprv", CondFields<&M::ContactImprove>(), Everywhere },
        { 19, "Comparator", CondFields<&M::CompOn, &M::CompMode, &M::CompUpper, &M::CompLower>(), Everywhere },
        { 20, "Average", CondFields<&M::AvgOn, &M::AvgCount>(), Everywhere },
        { 21, "Delay", CondFields<&M::DelayOn, &M::DelayTime>(), Everywhere },
        { 22, "Tc", CondFields<&M::TcOn, &M::TcT0, &M::TcAlpha>(), Everywhere },
        { 23, "DeltaT", CondFields<&M::DeltaTOn, &M::DtR1, &M::DtT1, &M::DtK>(), Everywhere },
        { 24, "Scale",
            CondFields<&M::ScalingOn, &M::ScalingA, &M::ScalingB, &M::ScalingUnitKind, &M::ScalingUnitText>(),
            Everywhere },
        { 25, "Statistics", FrontFields<&F::Statistics>(), Everywhere },
        { 26, "Bin",
            [](const MeasSetData& w, const MeasSetData& r, const std::string& where) {
                EXPECT_EQ(w.Front.BinOn, r.Front.BinOn) << where;
                for (size_t i = 0; i < w.Front.BinBit.size(); ++i) {
                    EXPECT_EQ(w.Front.BinBit[i].On, r.Front.BinBit[i].On) << where << i;
                    EXPECT_EQ(w.Front.BinBit[i].Mode, r.Front.BinBit[i].Mode) << where << i;
                    EXPECT_EQ(w.Front.BinBit[i].Upper, r.Front.BinBit[i].Upper) << where << i;
                    EXPECT_EQ(w.Front.BinBit[i].Lower, r.Front.BinBit[i].Lower) << where << i;
                }
            },
            Everywhere },
        { 27, "CurrentErrorMode", FrontFields<&F::CurrentErrorMode>(), Everywhere },
        { 28, "OverRangeError", FrontFields<&F::OverRangeError>(), ExtendedOnly },
        { 29, "PureResistance", CondFields<&M::PureResistance>(), ExtendedOnly },
    };
    return cases;
}

// Two records that differ from the defaults and from each other in every front field, so that
// a command that sends or reads nothing cannot pass.
MeasSetData SecondFrontRecord(int32_t model)
{
    MeasSetData data = MakeFrontRecord(model);
    MeasCondition& c = data.Front.Cond;
    c.AutoRange = 1;
    c.Range = 2;
    c.CompOn = 0;
    c.CompMode = 0;
    c.CompUpper = 4'250'000'000;
    c.CompLower = 750'000'000;
    c.DeltaTOn = 1;
    c.TcOn = 0;
    c.Speed = 3;
    c.ScalingUnitKind = 1;
    c.ScalingUnitText.clear();
    data.Front.Statistics = 0;
    data.Front.BinOn = 1;
    return data;
}

std::string CaseName(const testing::TestParamInfo<SModelCase>& info)
{
    std::string name = info.param.Name;
    std::erase(name, '-');
    return name;
}

class SettingCommands : public testing::TestWithParam<SModelCase> { };

// Each class alone: sent from a record, read into the model's default record.
TEST_P(SettingCommands, EveryClassReadsBackWhatItSent)
{
    const SModelCase& model = GetParam();
    SSimRig rig(model.Name);
    ASSERT_TRUE(rig.Started);
    MeasSetData connected = DefaultRecord(model.Code);
    ASSERT_TRUE(rig.Connect(connected));
    for (const MeasSetData& written : { MakeFrontRecord(model.Code), SecondFrontRecord(model.Code) }) {
        for (const SClassCase& c : ClassCases()) {
            if (!c.Available(model.Code))
                continue;
            const std::string where = std::string(model.Name) + " " + c.Name;
            MeasSetData source = written;
            ASSERT_TRUE(rig.Send(c.Number, source)) << where;
            MeasSetData read = DefaultRecord(model.Code);
            ASSERT_TRUE(rig.Read(c.Number, read)) << where;
            c.Compare(written, read, where);
        }
    }
    EXPECT_TRUE(rig.Prompt.Texts.empty());
}

// With low power on, the zero adjustment moves the four low-power ranges instead.
TEST_P(SettingCommands, LowPowerZeroAdjustUsesTheLowPowerArrays)
{
    const SModelCase& model = GetParam();
    if (model.Code == kModelVx6208)
        GTEST_SKIP() << "the VX6208 has no low-power measurement";
    SSimRig rig(model.Name);
    ASSERT_TRUE(rig.Started);
    MeasSetData written = MakeFrontRecord(model.Code, true);
    ASSERT_TRUE(rig.Connect(written));
    ASSERT_TRUE(rig.Send(CommandNo::kLowPower, written));
    ASSERT_TRUE(rig.Send(CommandNo::k0Adj, written));
    EXPECT_EQ(LinesStartingWith(rig.Lines(), ":ADJust:SET").size(), 4U);
    MeasSetData read = DefaultRecord(model.Code);
    ASSERT_TRUE(rig.Read(CommandNo::kLowPower, read));
    ASSERT_TRUE(rig.Read(CommandNo::k0Adj, read));
    EXPECT_EQ(read.Front.Cond.LpZeroAdjOn, written.Front.Cond.LpZeroAdjOn);
    EXPECT_EQ(read.Front.Cond.LpZeroAdjValue, written.Front.Cond.LpZeroAdjValue);
    EXPECT_EQ(read.Front.Cond.ZeroAdjOn, DefaultRecord(model.Code).Front.Cond.ZeroAdjOn);
}

INSTANTIATE_TEST_SUITE_P(AllModels, SettingCommands, testing::ValuesIn(AllModels()), CaseName);

struct SLineCase {
    const char* Model;
    const char* What;
    std::function<void(MeasSetData&)> Setup;
    int Number;
    std::vector<std::string> Lines;
};

TEST(SettingCommandLines, EdgeCasesSendExactlyTheseLines)
{
    const std::vector<SLineCase> cases {
        { "VX6207", "normal range 0 keeps its blanks", [](MeasSetData& d) { d.Front.Cond.Range = 0; }, 7,
            { "RESistance:RANGe   10.0E-3" } },
        { "VX6207A-1", "extended range 0", [](MeasSetData& d) { d.Front.Cond.Range = 0; }, 7,
            { "RESistance:RANGe   1000.0E-6" } },
        { "VX6207", "low-power range 1", [](MeasSetData& d) { d.Front.Cond.LoPowerRange = 1; }, 9,
            { "RESistance:LP:RANGe   10.0" } },
        { "VX6207", "low-power zero adjustment",
            [](MeasSetData& d) {
                d.Front.Cond.LowPower = 1;
                d.Front.Cond.LpZeroAdjOn = { 1, 0, 1, 0 };
                d.Front.Cond.LpZeroAdjValue = { -5, 9, 42, 0 };
            },
            12, { ":ADJust:SET 0,-5", ":ADJust:SET 1,2147483647", ":ADJust:SET 2,42", ":ADJust:SET 3,2147483647" } },
        { "VX6207", "REF% comparator",
            [](MeasSetData& d) {
                d.Front.Cond.CompOn = 1;
                d.Front.Cond.CompMode = 1;
                d.Front.Cond.CompUpper = 1'000'000'000;
                d.Front.Cond.CompLower = 5'000;
            },
            19,
            { ":CALCulate:LIMit:STATe 1", ":CALCulate:LIMit:MODE REFERENCE", ":CALCulate:LIMit:REFerence 1.000000e+00",
                ":CALCulate:LIMit:PERCent 5.000000e+00" } },
        { "VX6207", "ABS comparator",
            [](MeasSetData& d) {
                d.Front.Cond.CompUpper = 2'000'000'000;
                d.Front.Cond.CompLower = 500'000;
            },
            19,
            { ":CALCulate:LIMit:STATe 0", ":CALCulate:LIMit:MODE ABSOLUTE", ":CALCulate:LIMit:UPPer 2.000000e+00",
                ":CALCulate:LIMit:LOWer 5.000000e-04" } },
        { "VX6207", "user delay of 15 ms",
            [](MeasSetData& d) {
                d.Front.Cond.DelayOn = 1;
                d.Front.Cond.DelayTime = 15;
            },
            21, { ":TRIGger:DELay:AUTO 0", ":TRIGger:DELay 0.015000" } },
        { "VX6207", "user scaling unit",
            [](MeasSetData& d) {
                d.Front.Cond.ScalingUnitKind = 2;
                d.Front.Cond.ScalingUnitText = "mV";
            },
            24,
            { ":CALCulate:SCALing:STATe 0", ":CALCulate:SCALing:PARameterA 1.000000e+00",
                ":CALCulate:SCALing:PARameterB 0.000000e+00", ":CALCulate:SCALing:UNIT \"mV\"" } },
        { "VX6208", "offset compensation on the VX6208", [](MeasSetData& d) { d.Front.Cond.Ovc = 1; }, 14,
            { "RESistance:AOVC 1" } },
        { "VX6207A-2", "offset compensation elsewhere", [](MeasSetData& d) { d.Front.Cond.Ovc = 1; }, 14,
            { "RESistance:OVC 1" } },
        { "VX6207", "temperature correction",
            [](MeasSetData& d) {
                d.Front.Cond.TcT0 = 25.5;
                d.Front.Cond.TcAlpha = -4000;
            },
            22, { ":CALCulate:TCORrect:STATe 0", ":CALCulate:TCORrect:PARameter 25.50,-4000" } },
        { "VX6207", "temperature-rise conversion", [](MeasSetData& d) { d.Front.Cond.DtR1 = 0.5; }, 23,
            { ":CALCulate:TCONversion:DELTa:STATe 0", ":CALCulate:TCONversion:DELTa:PARameter 5.000000e-01,23.00,235.00" } },
        { "VX6207", "beeper events",
            [](MeasSetData& d) {
                d.Front.Beep[0] = { 1, 0 };
                d.Front.Beep[4] = { 3, 5 };
            },
            5,
            { ":CALCulate:LIMit:BEEPer HI,1,0", ":CALCulate:LIMit:BEEPer IN,0,2", ":CALCulate:LIMit:BEEPer LO,0,2",
                ":CALCulate:LIMit:BEEPer PASS,0,2", ":CALCulate:LIMit:BEEPer FAIL,3,5" } },
        { "VX6207", "low measurement current", [](MeasSetData& d) { d.Front.Cond.MeasCurrLow = 1; }, 15,
            { "RESistance:CURRent LOW" } },
        { "VX6207A-1", "over-range error output", [](MeasSetData& d) { d.Front.OverRangeError = 1; }, 28,
            { ":SENSe:RESistance:ERRor:OVER ERROR" } },
        { "VX6207", "current error mode", [](MeasSetData& d) { d.Front.CurrentErrorMode = 1; }, 27,
            { ":SENSe:RESistance:ERRor:CURRentcheck OVER" } },
    };
    for (const SLineCase& c : cases) {
        SSimRig rig(c.Model);
        ASSERT_TRUE(rig.Started);
        MeasSetData data = DefaultRecord(0);
        ASSERT_TRUE(rig.Connect(data));
        c.Setup(data);
        EXPECT_TRUE(rig.Send(c.Number, data)) << c.What;
        EXPECT_EQ(rig.Lines(), c.Lines) << c.What;
    }
}

TEST(SettingCommandLines, BinTableIsThirtyTwoLines)
{
    SSimRig rig("VX6207");
    ASSERT_TRUE(rig.Started);
    MeasSetData data = DefaultRecord(0);
    ASSERT_TRUE(rig.Connect(data));
    data.Front.BinBit[0] = { 1, 1, 2'000'000'000, 1'500 };
    data.Front.BinBit[9].On = 1;
    ASSERT_TRUE(rig.Send(26, data));
    const auto lines = rig.Lines();
    ASSERT_EQ(lines.size(), 32U);
    EXPECT_EQ(lines[0], ":CALCulate:BIN:STATe 0");
    EXPECT_EQ(lines[1], ":CALCulate:BIN:ENABle 513");
    EXPECT_EQ(lines[2], ":CALCulate:BIN:MODE 0,REFERENCE");
    EXPECT_EQ(lines[3], ":CALCulate:BIN:REFerence 0,2.000000e+00");
    EXPECT_EQ(lines[4], ":CALCulate:BIN:PERCent 0,1.500000e+00");
    EXPECT_EQ(lines[5], ":CALCulate:BIN:MODE 1,ABSOLUTE");
    EXPECT_EQ(lines[6], ":CALCulate:BIN:UPPer 1,0.000000e+00");
}

TEST(SettingCommandLines, ZeroAdjustReadFailsOnASilentRange)
{
    SimOptions options = SimFor("VX6207");
    options.DropReplyTo = ":ADJust:GET? 3";
    SSimRig rig(options);
    ASSERT_TRUE(rig.Started);
    MeasSetData data = DefaultRecord(0);
    ASSERT_TRUE(rig.Connect(data));
    data.Front.Cond.ZeroAdjOn.fill(1);
    data.Front.Cond.ZeroAdjValue.fill(77);
    ASSERT_TRUE(rig.Send(CommandNo::k0Adj, data));
    MeasSetData read = DefaultRecord(kModelVx6207);
    // Taken as "adjusted, value 0", the silent range would overwrite the instrument's adjustment
    // when the record is written back.
    EXPECT_FALSE(rig.Read(CommandNo::k0Adj, read));
    EXPECT_EQ(read.Front.Cond.ZeroAdjValue[2], 77);
    EXPECT_EQ(LinesStartingWith(rig.Lines(), ":ADJust:GET? 4"), std::vector<std::string> {});
}

} // namespace
