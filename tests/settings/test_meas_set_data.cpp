#include <gtest/gtest.h>

#include "settings/meas_set_data.h"
#include "settings/model_info.h"
#include "settings/settings_test_support.h"

TEST(ModelInfo, NamesCodesAndFamilies)
{
    EXPECT_EQ(ModelNameOfCode(0), "Unset");
    EXPECT_EQ(ModelNameOfCode(160), "VX6207A-2");
    EXPECT_EQ(ModelNameOfCode(7), "");
    EXPECT_EQ(ModelCodeOfName("VX6208"), 2048);
    EXPECT_EQ(ModelCodeOfName("vx6208"), 0);
    EXPECT_EQ(ModelCodeOfName("Unset"), 0);
    EXPECT_EQ(ModelCodeOfName("VX6207A"), 0);
    EXPECT_FALSE(InModelChoiceList(12));
    EXPECT_TRUE(SameModelFamily(8, 12));
    EXPECT_TRUE(SameModelFamily(144, 160));
    EXPECT_FALSE(SameModelFamily(10, 160));
    EXPECT_FALSE(SameModelFamily(2048, 8));
    EXPECT_TRUE(SameModelFamily(2048, 2048));
    for (const int32_t code : kModelCodes)
        EXPECT_EQ(IsMuxModel(code), code == 10 || code == 12 || code == 160 || code == 2048) << code;
}

TEST(MeasSetData, DefaultsFollowTheModelAndPassValidation)
{
    for (const int32_t model : kModelCodes) {
        const MeasSetData data = Defaults(model);
        EXPECT_TRUE(ValidateMeasSetData(data)) << model;
        EXPECT_EQ(data.Front.Cond.Range, ExtendedRangeModel(model) ? 11 : 10);
    }
    const MeasSetData data = Defaults(8);
    EXPECT_EQ(data.Pins4Wire[0].Enable, 1);
    EXPECT_EQ(data.Pins4Wire[1].Enable, 0);
    EXPECT_EQ(data.Pins4Wire[41].Name, "CH42");
    // 10 terminals per unit on the 4-wire table, 21 on the 2-wire table; beyond two units, unit 0 terminal 1.
    EXPECT_EQ(data.Pins4Wire[12].Unit, 1);
    EXPECT_EQ(data.Pins4Wire[12].TermA, 3);
    EXPECT_EQ(data.Pins4Wire[25].Unit, 0);
    EXPECT_EQ(data.Pins4Wire[25].TermB, 1);
    EXPECT_EQ(data.Pins2Wire[25].Unit, 1);
    EXPECT_EQ(data.Pins2Wire[25].TermA, 5);
    EXPECT_EQ(data.MuxBeep[3].Count, 2);
}

TEST(MeasSetData, FrontValidationRules)
{
    struct Case {
        const char* What;
        int32_t Model;
        std::function<void(FrontSetData&)> Change;
        bool Valid;
    };
    const Case cases[] = {
        { "auto range with comparator", 8, [](FrontSetData& f) { f.Cond.CompOn = 1; }, false },
        { "comparator without auto range", 8, [](FrontSetData& f) { f.Cond.CompOn = 1; f.Cond.AutoRange = 0; }, true },
        { "delta T with statistics", 8, [](FrontSetData& f) { f.Cond.DeltaTOn = 1; f.Statistics = 1; }, false },
        { "range 12 extended", 144, [](FrontSetData& f) { f.Cond.Range = 12; }, true },
        { "range 12 extended accurate", 144, [](FrontSetData& f) { f.Cond.Range = 12; f.Cond.HighAccuracy100M = 1; }, false },
        { "range 11 normal", 8, [](FrontSetData& f) { f.Cond.Range = 11; }, true },
        { "range 11 normal accurate", 8, [](FrontSetData& f) { f.Cond.Range = 11; f.Cond.HighAccuracy100M = 1; }, false },
        { "low power range 9 on 2048", 2048, [](FrontSetData& f) { f.Cond.LoPowerRange = 9; }, true },
        { "low power range 9 on 8", 8, [](FrontSetData& f) { f.Cond.LoPowerRange = 9; }, false },
        { "low power zero 6e6 on 2048", 2048, [](FrontSetData& f) { f.Cond.LpZeroAdjValue[0] = 6000000; }, true },
        { "low power zero 6e6 on 8", 8, [](FrontSetData& f) { f.Cond.LpZeroAdjValue[0] = 6000000; }, false },
        { "low power range -1", 8, [](FrontSetData& f) { f.Cond.LoPowerRange = -1; }, true },
        { "zero adjust beyond the model's ranges", 8, [](FrontSetData& f) { f.Cond.ZeroAdjValue[10] = 60000000; }, true },
        { "zero adjust too large", 144, [](FrontSetData& f) { f.Cond.ZeroAdjValue[10] = 60000000; }, false },
        { "delay 9999", 8, [](FrontSetData& f) { f.Cond.DelayTime = 9999; }, true },
        { "delay 10000", 8, [](FrontSetData& f) { f.Cond.DelayTime = 10000; }, false },
        { "delay negative", 8, [](FrontSetData& f) { f.Cond.DelayTime = -1; }, false },
        { "REF% reference 99", 8, [](FrontSetData& f) { f.Cond.CompMode = 1; f.Cond.CompUpper = 99; }, false },
        { "REF% reference 100 below percent", 8, [](FrontSetData& f) { f.Cond.CompMode = 1; f.Cond.CompUpper = 100; f.Cond.CompLower = 99999; }, true },
        { "REF% percent 100000", 8, [](FrontSetData& f) { f.Cond.CompMode = 1; f.Cond.CompUpper = 100; f.Cond.CompLower = 100000; }, false },
        { "ABS upper below lower", 8, [](FrontSetData& f) { f.Cond.CompUpper = 1; f.Cond.CompLower = 2; }, false },
        { "switched-off bin entry upper below lower", 8, [](FrontSetData& f) { f.BinBit[4].Upper = 1; f.BinBit[4].Lower = 2; }, false },
        { "scaling A too small", 8, [](FrontSetData& f) { f.Cond.ScalingA = 1e-4; }, false },
        { "beep count 6", 8, [](FrontSetData& f) { f.Beep[2].Count = 6; }, false },
    };
    for (const Case& c : cases) {
        FrontSetData front;
        InitFrontSetData(front, c.Model);
        c.Change(front);
        EXPECT_EQ(ValidateFront(c.Model, front), c.Valid) << c.What;
    }
}

TEST(MeasSetData, MuxValidationRules)
{
    struct Case {
        const char* What;
        int32_t Model;
        std::function<void(MeasSetData&)> Change;
        bool Valid;
    };
    const Case cases[] = {
        { "2-wire range 3 normal", 10, [](MeasSetData& d) { d.Channels2Wire[7].Range = 3; }, false },
        { "2-wire range 4 normal", 10, [](MeasSetData& d) { d.Channels2Wire[7].Range = 4; }, true },
        { "2-wire range 4 extended", 160, [](MeasSetData& d) { d.Channels2Wire[7].Range = 4; }, false },
        { "2-wire range 5 extended", 160, [](MeasSetData& d) { d.Channels2Wire[7].Range = 5; }, true },
        { "4-wire range 0", 10, [](MeasSetData& d) { d.Channels4Wire[7].Range = 0; }, true },
        { "delta T with TC", 10, [](MeasSetData& d) { d.Channels4Wire[3].DeltaTOn = 1; d.Channels4Wire[3].TcOn = 1; }, false },
        { "low power -1 in 4-wire", 10, [](MeasSetData& d) { d.Channels4Wire[0].LoPowerRange = -1; }, true },
        { "low power -1 in 2-wire", 10, [](MeasSetData& d) { d.Channels2Wire[0].LoPowerRange = -1; }, false },
        { "disabled channel terminal 11 of 10", 10, [](MeasSetData& d) { d.Pins4Wire[30].TermA = 11; }, false },
        { "2-wire terminal 21", 10, [](MeasSetData& d) { d.Pins2Wire[30].TermB = 21; }, true },
        { "pass condition 6", 10, [](MeasSetData& d) { d.Channels4Wire[41].PassCondition = 6; }, false },
        { "scan method 2", 10, [](MeasSetData& d) { d.MuxScanMethod = 2; }, false },
    };
    for (const Case& c : cases) {
        MeasSetData data;
        InitMeasSetData(data, c.Model);
        c.Change(data);
        EXPECT_EQ(ValidateMux(c.Model, data), c.Valid) << c.What;
    }
}

TEST(MeasSetData, SingleValueChecksIncludeTheirBounds)
{
    EXPECT_TRUE(CheckTemperature(-10.0));
    EXPECT_TRUE(CheckTemperature(99.9));
    EXPECT_FALSE(CheckTemperature(100.0));
    EXPECT_TRUE(CheckR1(1e-9));
    EXPECT_FALSE(CheckR1(0));
    EXPECT_TRUE(CheckK(-999.9));
    EXPECT_TRUE(CheckScalingA(2e-4));
    EXPECT_FALSE(CheckScalingA(2000));
    EXPECT_TRUE(CheckScalingB(-9e9));
    EXPECT_TRUE(CheckCompUpper(0, 0));
    EXPECT_FALSE(CheckCompUpper(1, 99));
    EXPECT_TRUE(CheckCompLower(1, 99999));
    EXPECT_FALSE(CheckCompLower(0, -1));
}
