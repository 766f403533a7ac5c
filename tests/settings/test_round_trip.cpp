#include <gtest/gtest.h>

#include "settings/file_items.h"
#include "settings/file_manager.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"
#include "settings/settings_test_support.h"

namespace {

// A valid condition in which nearly every field differs from its default and from its neighbours,
// so that an item bound to the wrong field or the wrong channel shows up.
void VaryCondition(MeasCondition& c, int32_t model, int i, bool twoWire)
{
    const int lowest = twoWire ? LowestTwoWireRange(model) : 0;
    c.HighAccuracy100M = i % 2;
    c.Range = lowest + i % (HighestRangeIndex(model, c.HighAccuracy100M != 0) - lowest + 1);
    // Exclusions: auto range with comparator, delta T with TC or comparator.
    c.AutoRange = i % 4 == 0 || i % 4 == 3;
    c.CompOn = i % 4 == 1;
    c.DeltaTOn = i % 4 == 0;
    c.TcOn = i % 4 == 1 || i % 4 == 2;
    c.LoPowerRange = 1 + i % 3;
    c.Speed = i % 4;
    c.MeasCurrLow = (i + 1) % 2;
    for (int j = 0; j < ZeroAdjustRangeCount(model); ++j) {
        c.ZeroAdjOn[static_cast<size_t>(j)] = (i + j) % 2;
        c.ZeroAdjValue[static_cast<size_t>(j)] = (j % 2 == 0 ? 1 : -1) * (i * 1000 + j + 1);
    }
    for (size_t j = 0; j < 4; ++j) {
        c.LpZeroAdjOn[j] = (i + static_cast<int>(j) + 1) % 2;
        c.LpZeroAdjValue[j] = -(i * 100 + static_cast<int>(j) + 1);
    }
    c.Ovc = (i >> 1) % 2;
    c.LowPower = (i >> 2) % 2;
    c.ContactCheck = (i >> 3) % 2;
    c.LpContactCheck = (i + 1) % 2;
    c.ContactImprove = (i >> 1) % 2 == 0;
    c.PureResistance = (i >> 2) % 2 == 0;
    c.AvgOn = i % 2;
    c.AvgCount = 2 + i;
    c.DelayOn = (i + 1) % 2;
    c.DelayTime = static_cast<int16_t>(9999 - i * 7);
    c.CompMode = (i / 2) % 2;
    c.CompUpper = c.CompMode != 0 ? 100 + i : 9000000000000000000LL - i;
    c.CompLower = c.CompMode != 0 ? 99999 - i : i;
    c.CompRefCh1 = (i / 4) % 2;
    c.PassCondition = i % 6;
    c.DtT1 = -10.0 + i * 0.5;
    c.DtR1 = (i + 1) * 1.25e-3;
    c.DtK = -999.9 + i;
    c.TcT0 = 99.9 - i * 0.25;
    c.TcAlpha = -99999 + i * 1000;
    c.ScalingOn = (i + 1) % 2;
    c.ScalingA = 2e-4 * (i + 1);
    c.ScalingB = -9e9 + i * 1.5e8;
    c.ScalingUnitKind = i % 3;
    c.ScalingUnitText = std::string(static_cast<size_t>(i % 4), static_cast<char>('a' + i % 26));
    c.AtcOn = (i + 1) % 2;
    c.AtcT0 = i * 1.5;
    c.AtcAlpha = -i;
    c.AtcR1 = 0.01 * (i + 2);
    c.AtcT1 = 30.25 - i;
    c.AtcTcr = 4000 + i;
    c.AtcUnit = i % 2;
    c.AtcTermA = 1 + i % 21;
    c.AtcTermB = 21 - i % 21;
    c.AtcSpeed = (i + 1) % 4;
    c.AtcAutoRange = i % 2;
    c.AtcRange = i % 13;
    c.AtcDelayOn = (i >> 1) % 2;
    c.AtcDelayTime = static_cast<int16_t>(i * 3);
    c.AtcAvgOn = (i >> 2) % 2;
    c.AtcAvgCount = 5 + i;
    c.AtcOvc = (i >> 3) % 2;
    c.AtcPureResistance = (i >> 1) % 2 == 0;
    c.AtcMeasCurrLow = i % 3 == 0;
    c.AtcContactCheck = i % 3 == 1;
    c.AtcContactImprove = i % 3 == 2;
    c.AtcHighAccuracy100M = i % 5 == 0;
    c.AtcK = 234.5 + i;
}

MeasSetData Varied(int32_t model)
{
    MeasSetData d;
    InitMeasSetData(d, model);
    d.ModelCode = model;
    d.MuxOn = IsMuxModel(model) ? 1 : 0;
    d.MuxScan = 0;
    d.MuxMeasMethod = 1;
    d.MuxScanMethod = 0;
    d.MuxSelfCalb = 0;
    d.MuxOverRangeError = 1;
    d.MuxCurrentErrorMode = 1;
    d.MuxFailStop = 1;
    d.MuxAutoHold = 1;
    for (size_t e = 0; e < kBeepEvents; ++e) {
        d.MuxBeep[e] = { static_cast<int32_t>(3 - e % 4), static_cast<int32_t>(e) };
        d.Front.Beep[e] = { static_cast<int32_t>(e % 4), static_cast<int32_t>(5 - e) };
    }
    for (const int32_t method : { 0, 1 }) {
        const int terminals = method == 0 ? kTerminals4Wire : kTerminals2Wire;
        for (int i = 0; i < kMuxChannels; ++i) {
            const int v = i + method * 7; // the tables differ from each other too
            MuxPinSet& pin = d.Pins(method)[static_cast<size_t>(i)];
            pin = { v % 2, "P" + std::to_string(method) + "_" + std::to_string(i), (v / 2) % 2, 1 + v % terminals,
                terminals - v % terminals, (v / 3) % 2, (v + 1) % 2 };
            VaryCondition(d.Channels(method)[static_cast<size_t>(i)], model, v, method == 1);
        }
    }
    FrontSetData& f = d.Front;
    VaryCondition(f.Cond, model, 5, false); // comparator on, auto range off, TC on
    f.Cond.LoPowerRange = -1;
    f.AutoHold = 1;
    f.SelfCalb = 0;
    f.Statistics = 1;
    f.OverRangeError = 1;
    f.CurrentErrorMode = 1;
    for (size_t b = 0; b < kBinBits; ++b) {
        const auto n = static_cast<int64_t>(b);
        f.BinBit[b]
            = { static_cast<int32_t>(b % 2), static_cast<int32_t>(b / 5), 1000 + n, b / 5 == 1 ? 99999 - n : n };
    }
    return d;
}

// The A-TC block back to its defaults (they do not depend on the model).
void ResetAtc(MeasCondition& c)
{
    const MeasCondition fresh;
    c.AtcOn = fresh.AtcOn;
    c.AtcT0 = fresh.AtcT0;
    c.AtcAlpha = fresh.AtcAlpha;
    c.AtcR1 = fresh.AtcR1;
    c.AtcT1 = fresh.AtcT1;
    c.AtcTcr = fresh.AtcTcr;
    c.AtcUnit = fresh.AtcUnit;
    c.AtcTermA = fresh.AtcTermA;
    c.AtcTermB = fresh.AtcTermB;
    c.AtcSpeed = fresh.AtcSpeed;
    c.AtcAutoRange = fresh.AtcAutoRange;
    c.AtcRange = fresh.AtcRange;
    c.AtcDelayOn = fresh.AtcDelayOn;
    c.AtcDelayTime = fresh.AtcDelayTime;
    c.AtcAvgOn = fresh.AtcAvgOn;
    c.AtcAvgCount = fresh.AtcAvgCount;
    c.AtcOvc = fresh.AtcOvc;
    c.AtcPureResistance = fresh.AtcPureResistance;
    c.AtcMeasCurrLow = fresh.AtcMeasCurrLow;
    c.AtcContactCheck = fresh.AtcContactCheck;
    c.AtcContactImprove = fresh.AtcContactImprove;
    c.AtcHighAccuracy100M = fresh.AtcHighAccuracy100M;
    c.AtcK = fresh.AtcK;
}

double SixDigits(const char* format, double value)
{
    return StrToDoubleC(FormatC(format, value));
}

// What a load gives back: the file carries neither the front's MUX-only and A-TC fields nor the
// A-TC fields of models other than the VX6208, and keeps doubles to their six-digit text.
MeasSetData AsCarried(MeasSetData d)
{
    const auto round = [](MeasCondition& c) {
        c.DtT1 = SixDigits("%f", c.DtT1);
        c.DtR1 = SixDigits("%e", c.DtR1);
        c.DtK = SixDigits("%f", c.DtK);
        c.TcT0 = SixDigits("%f", c.TcT0);
        c.ScalingA = SixDigits("%e", c.ScalingA);
        c.ScalingB = SixDigits("%e", c.ScalingB);
        c.AtcT0 = SixDigits("%f", c.AtcT0);
        c.AtcT1 = SixDigits("%f", c.AtcT1);
        c.AtcR1 = SixDigits("%e", c.AtcR1);
        c.AtcK = SixDigits("%f", c.AtcK);
    };
    ResetAtc(d.Front.Cond);
    d.Front.Cond.CompRefCh1 = 0;
    d.Front.Cond.PassCondition = 2;
    round(d.Front.Cond);
    for (const int32_t method : { 0, 1 }) {
        for (MeasCondition& c : d.Channels(method)) {
            if (d.ModelCode != kModelVx6208)
                ResetAtc(c);
            round(c);
        }
    }
    return d;
}

} // namespace

TEST(SettingsRoundTrip, SaveThenLoadReproducesEveryCarriedFieldForEveryModel)
{
    for (const int32_t model : kModelCodes) {
        CSettingsFolder folder;
        CRecordingPrompt prompt;
        CFileManager saver(prompt);
        saver.Data = Varied(model);
        ASSERT_TRUE(ValidateMeasSetData(saver.Data)) << model;
        ASSERT_TRUE(saver.Save(folder / "set.vxf")) << model;
        CFileManager loader(prompt);
        ASSERT_TRUE(loader.Load(folder / "set.vxf", model)) << model;
        EXPECT_TRUE(prompt.Texts.empty()) << model;

        const MeasSetData expected = AsCarried(saver.Data);
        const MeasSetData& got = loader.Data;
        EXPECT_TRUE(got.Front == expected.Front) << model;
        for (size_t i = 0; i < kMuxChannels; ++i) {
            EXPECT_TRUE(got.Pins4Wire[i] == expected.Pins4Wire[i]) << model << " 4-wire pin " << i;
            EXPECT_TRUE(got.Pins2Wire[i] == expected.Pins2Wire[i]) << model << " 2-wire pin " << i;
            EXPECT_TRUE(got.Channels4Wire[i] == expected.Channels4Wire[i]) << model << " 4-wire channel " << i;
            EXPECT_TRUE(got.Channels2Wire[i] == expected.Channels2Wire[i]) << model << " 2-wire channel " << i;
        }
        EXPECT_TRUE(got == expected) << model; // the MUX globals as well
    }
}

TEST(SettingsRoundTrip, FieldsTheFileDoesNotCarryReturnToTheirDefaults)
{
    CSettingsFolder folder;
    CRecordingPrompt prompt;
    CFileManager saver(prompt);
    InitMeasSetData(saver.Data, 8);
    saver.Data.ModelCode = 8;
    saver.Data.Front.Cond.ZeroAdjValue[10] = 77; // beyond the ten ranges of a normal model
    saver.Data.Front.Cond.LpZeroAdjValue[5] = 66;
    saver.Data.Channels4Wire[3].LpZeroAdjOn[4] = 1;
    saver.Data.Front.Cond.AtcRange = 3;
    saver.Data.Front.Cond.PassCondition = 4;
    saver.Data.Channels2Wire[0].AtcOn = 1; // A-TC travels only in VX6208 files
    ASSERT_TRUE(saver.Save(folder / "d.vxf"));
    CFileManager loader(prompt);
    ASSERT_TRUE(loader.Load(folder / "d.vxf", 8));
    MeasSetData expected;
    InitMeasSetData(expected, 8);
    expected.ModelCode = 8;
    EXPECT_TRUE(loader.Data == expected);

    // A file with only a MODEL line is the complete default set of that model.
    ASSERT_TRUE(loader.Load(folder.Write("m.vxf", "MODEL,8\r\n"), 8));
    EXPECT_TRUE(loader.Data == expected);
}
