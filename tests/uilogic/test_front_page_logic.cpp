#include <gtest/gtest.h>

#include <clocale>

#include "settings/model_info.h"
#include "uilogic/field_exchange.h"
#include "uilogic/front_page_logic.h"

namespace {

constexpr const char* kOhm = " \xCE\xA9";

struct Page {
    explicit Page(int32_t model, bool answer = true)
        : Prompt(answer)
        , Logic(model, Prompt)
    {
    }
    void Fixed(int range)
    {
        Logic.Front.Cond.AutoRange = 0;
        Logic.Front.Cond.Range = range;
        Logic.DisplaySettings();
    }
    std::string Text(int control) const { return Logic.View().Texts.at(control); }
    CRecordingPrompt Prompt;
    CFrontPageLogic Logic;
};

// Varied but valid conditions of a model, in the steps its displays keep.
FrontSetData VariedFront(int32_t model, int seed)
{
    FrontSetData front;
    InitFrontSetData(front, model);
    MeasCondition& c = front.Cond;
    c.AutoRange = 0;
    c.Range = seed % (HighestRangeIndex(model, false) + 1);
    c.Speed = seed % 4;
    c.AvgOn = seed & 1;
    c.AvgCount = 2 + seed * 7 % 99;
    c.DelayOn = 1;
    c.DelayTime = static_cast<int16_t>(seed * 1237 % 10000);
    c.DtT1 = -10 + seed % 100;
    c.DtR1 = 0.000123 * (seed + 1);
    c.DtK = -999.9 + seed * 37.3;
    c.TcT0 = 0.5 * seed;
    c.TcAlpha = seed % 2 ? -seed * 111 : seed * 999;
    c.ScalingOn = seed % 3 == 0;
    c.ScalingA = seed % 3 == 0 ? 0.0025 * (seed + 1) : 1.0;
    c.ScalingB = -1.5e3 * seed;
    c.ScalingUnitKind = seed % 3;
    c.ScalingUnitText = seed % 2 ? "m_V" : "";
    c.CompOn = 1;
    c.CompMode = seed % 2;
    c.CompUpper = c.CompMode ? 100 + seed * 77000 : 9000000000000000000LL - seed; // a clipped limit
    c.CompLower = c.CompMode ? seed * 997 % 100000 : seed * 1000;
    for (int i = 0; i < ZeroAdjustRangeCount(model); ++i) {
        c.ZeroAdjOn[static_cast<size_t>(i)] = (seed + i) % 2;
        c.ZeroAdjValue[static_cast<size_t>(i)] = ((seed * 13 + i * 7) % 100 - 50) * 1000;
    }
    front.BinOn = seed % 2;
    front.Statistics = 0;
    for (int i = 0; i < kBinBits; ++i) {
        BinBitSet& bit = front.BinBit[static_cast<size_t>(i)];
        bit.On = (seed + i) % 2;
        bit.Mode = (seed + i) % 3 == 0;
        bit.Upper = 100 + static_cast<int64_t>(seed + i) * 123456789;
        bit.Lower = bit.Mode ? (seed * 3 + i * 1001) % 100000 : bit.Upper / 2;
    }
    for (size_t i = 0; i < 3; ++i)
        front.Beep[i] = { static_cast<int32_t>((seed + i) % 4), static_cast<int32_t>((seed + i) % 6) };
    return front;
}

} // namespace

TEST(FrontPage, RangeListAndZeroAdjustRowsFollowModelLowPowerAndPrecision)
{
    struct Case {
        int32_t Model;
        int32_t LowPower;
        int32_t HighAccuracy;
        size_t Items;
        std::string First, Last;
        size_t ZeroRows;
    };
    const Case cases[] = {
        { 8, 0, 0, 13, "10m", "1000M", 10 },
        { 8, 1, 0, 5, "1000m", "1000", 4 },
        { 8, 0, 1, 12, "10m", "100M", 10 },
        { 12, 1, 1, 5, "1000m", "1000", 4 },
        { 144, 0, 0, 14, "1000u", "1000M", 11 },
        { 160, 1, 0, 5, "1000m", "1000", 4 },
        { 160, 0, 1, 13, "1000u", "100M", 11 },
        { 2048, 1, 0, 14, "1000u", "1000M", 11 }, // no low power on the VX6208
        { 2048, 0, 1, 13, "1000u", "100M", 11 },
    };
    for (const Case& c : cases) {
        Page page(c.Model);
        page.Logic.Front.Cond.LowPower = c.LowPower;
        page.Logic.Front.Cond.HighAccuracy100M = c.HighAccuracy;
        page.Logic.DisplaySettings();
        const FrontPageView& view = page.Logic.View();
        ASSERT_EQ(view.RangeItems.size(), c.Items) << c.Model;
        EXPECT_EQ(view.RangeItems[0], "AUTO");
        EXPECT_EQ(view.RangeItems[1], c.First + kOhm) << c.Model;
        EXPECT_EQ(view.RangeItems.back(), c.Last + kOhm) << c.Model;
        EXPECT_EQ(view.Zero.size(), c.ZeroRows) << c.Model;
        page.Logic.Choose(kFcRange, 2);
        EXPECT_EQ(page.Logic.View().Zero.size(), 1U);
        EXPECT_EQ(page.Logic.View().Zero[0].Entry, 1);
        EXPECT_TRUE(page.Prompt.Texts.empty());
    }
}

TEST(FrontPage, PrecisionDropsTheTopRangeAndHighRangesHaveNoZeroAdjustEntry)
{
    Page page(8);
    page.Fixed(11); // 1000M
    EXPECT_TRUE(page.Logic.View().Zero.empty());
    EXPECT_TRUE(page.Logic.CollectSettings());
    page.Logic.SetCheck(kFcHighAccuracy, true);
    EXPECT_EQ(page.Logic.View().RangeChoice, 11); // falls back to 100M, the last entry
    EXPECT_EQ(page.Logic.View().RangeItems.size(), 12U);
    EXPECT_TRUE(page.Logic.CollectSettings());
    EXPECT_EQ(page.Logic.Front.Cond.Range, 10);
}

TEST(FrontPage, ModelRulesDisableWhatTheModelLacks)
{
    struct Case {
        int32_t Model;
        std::string Ovc;
        bool LowPower, OverRange, Pure;
    };
    const Case cases[] = {
        { 8, "OVC", true, false, false },
        { 12, "OVC", true, false, false },
        { 160, "OVC", true, true, true },
        { 2048, "A-OVC", false, true, true },
    };
    for (const Case& c : cases) {
        Page page(c.Model);
        const FrontPageView& view = page.Logic.View();
        EXPECT_EQ(view.OvcCaption, c.Ovc);
        EXPECT_EQ(view.Enabled.at(kFcLowPower), c.LowPower) << c.Model;
        EXPECT_EQ(view.Enabled.at(kFcOverRangeError), c.OverRange) << c.Model;
        EXPECT_EQ(view.Enabled.at(kFcPureResistance), c.Pure) << c.Model;
    }
    Page vx6208(2048);
    vx6208.Logic.SetCheck(kFcOvc, true);
    EXPECT_EQ(vx6208.Logic.Front.Cond.AvgOn, 1);
    EXPECT_TRUE(vx6208.Logic.View().Enabled.at(kFcAvgCount));
    Page lowPower(160);
    lowPower.Logic.SetCheck(kFcLowPower, true);
    EXPECT_FALSE(lowPower.Logic.View().Enabled.at(kFcOvc));
    lowPower.Logic.Choose(kFcRange, 2);
    lowPower.Logic.SetCheck(kFcPureResistance, true);
    EXPECT_EQ(lowPower.Logic.Front.Cond.LowPower, 0);
    EXPECT_EQ(lowPower.Logic.Front.Cond.LoPowerRange, 1);
}

TEST(FrontPage, ExclusionsRefuseWithTheirTextsAndSetTheControls)
{
    Page page(8);
    page.Logic.SetCheck(kFcBin, true);
    EXPECT_EQ(page.Logic.Front.BinOn, 0);
    page.Logic.Choose(kFcComparator, 1);
    EXPECT_EQ(page.Logic.View().CompChoice, 0);
    page.Logic.Choose(kFcRange, 4);
    page.Logic.Choose(kFcComparator, 2);
    EXPECT_EQ(page.Logic.Front.Cond.CompMode, 1);
    EXPECT_EQ(page.Text(kFcLowerUnit), "%");
    EXPECT_TRUE(page.Logic.View().Enabled.at(kFcCompUpper));
    EXPECT_FALSE(page.Logic.View().Enabled.at(kFcRange));
    page.Logic.Choose(kFcRange, 0);
    EXPECT_EQ(page.Logic.View().RangeChoice, 4);
    page.Logic.SetCheck(kFcDeltaT, true);
    page.Logic.SetCheck(kFcBin, true);
    EXPECT_EQ(page.Logic.Front.Cond.DeltaTOn, 0);
    EXPECT_EQ(page.Logic.View().CompChoice, 0);
    EXPECT_FALSE(page.Logic.View().Enabled.at(kFcRange));
    EXPECT_TRUE(page.Logic.View().Enabled.at(kFcBinList));
    page.Logic.SetCheck(kFcDeltaT, true);
    EXPECT_EQ(page.Logic.Front.BinOn, 0);
    const std::vector<std::string> expected = { kBinNeedsFixedRange, kComparatorRefused, kAutoRangeRefused };
    EXPECT_EQ(page.Prompt.Texts, expected);
}

TEST(FrontPage, ZeroAdjustClearIsAskedOnlyWhenAFlagIsOn)
{
    for (const bool answer : { false, true }) {
        for (const int control : { kFcOvc, kFcMeasCurrLow }) {
            Page page(8, answer);
            page.Logic.SetCheck(control, true); // nothing to clear: not asked
            EXPECT_TRUE(page.Prompt.Texts.empty());
            page.Logic.SetCheck(control, false);
            page.Logic.Front.Cond.ZeroAdjOn[3] = 1;
            page.Logic.Front.Cond.ZeroAdjValue[3] = 12000;
            page.Logic.DisplaySettings();
            page.Logic.SetCheck(control, true);
            ASSERT_EQ(page.Prompt.Texts, std::vector<std::string> { kZeroAdjustClear });
            const MeasCondition& c = page.Logic.Front.Cond;
            EXPECT_EQ(control == kFcOvc ? c.Ovc : c.MeasCurrLow, answer ? 1 : 0);
            EXPECT_EQ(c.ZeroAdjOn[3], answer ? 0 : 1);
            EXPECT_EQ(c.ZeroAdjValue[3], answer ? 0 : 12000);
            EXPECT_EQ(page.Logic.View().Checks.at(control), answer ? 1 : 0);
        }
    }
}

TEST(FrontPage, CheckNumbersNamesTheItemAndItsRangeUnderACommaLocale)
{
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "the comma-decimal test locale is not installed";
    struct Case {
        int Control;
        std::string Typed;
        std::string Message;
    };
    const std::string range = "The set value is out of range. Please set at ";
    const Case cases[] = {
        { kFcAvgCount, "1", "Average " + range + "[2 <= x <= 100]." },
        { kFcDelayTime, "10000", "Delay " + range + "[0 <= x <= 9999]." },
        { kFcDtT1, "99.95", "DeltaT-t1 " + range + "[-10.000000 <= x <= 99.900000]" },
        { kFcDtR1, "1e100", "DeltaT-R1 " + range + "[1.000000e-09 <= x <= 9.000000e+09]" },
        { kFcDtK, "-1000", "DeltaT-K " + range + "[-999.900000 <= x <= 999.900000]" },
        { kFcTcT0, "-10.5", "TC-T0 " + range + "[-10.000000 <= x <= 99.900000]" },
        { kFcTcAlpha, "100000", "TC-Alpha " + range + "[-99999 <= x <= 99999]." },
        { kFcScalingA, "65537", "Scaling-A " + range + "[2.000000e-04 <= x <= 1.999900e+03]" },
        { kFcScalingB, "1e100", "Scaling-B " + range + "[-9.000000e+09 <= x <= 9.000000e+09]" },
        { kFcDtT1, "12,5", "Enter a number." },
        { kFcAvgCount, "2.5", "Enter an integer." },
    };
    for (const Case& c : cases) {
        Page page(8);
        page.Logic.EditText(c.Control, c.Typed);
        page.Logic.LeaveEdit(c.Control); // normalising must not bring the value into range
        EXPECT_FALSE(page.Logic.CollectSettings()) << c.Typed;
        EXPECT_EQ(page.Logic.ErrorText, c.Message);
        EXPECT_EQ(page.Logic.ErrorControl, c.Control);
    }
    Page page(8);
    page.Logic.EditText(kFcDtT1, "23.5");
    EXPECT_TRUE(page.Logic.CollectSettings());
    EXPECT_EQ(page.Logic.Front.Cond.DtT1, 23.5);
    std::setlocale(LC_ALL, "C");
}

TEST(FrontPage, BinRefPercentEdgesAndNegativeLimits)
{
    struct Case {
        int Mode;
        std::string Upper, Lower;
        bool Ok;
        int Column;
        std::string Message;
    };
    const Case cases[] = {
        { 1, "0", "99.999", true, 0, "" },
        { 1, "0", "100", false, 5, "BIN-% The set value is out of range. Please set at [0.000000 <= x <= 99.999000]" },
        { 1, "-1", "1", false, 3, "BIN-Upp/Ref : The set value is out of range. Please set at [0 < x <= 9G]" },
        { 0, "-1", "0", false, 3, "BIN-Upp/Ref : The set value is out of range. Please set at [0 <= x <= 9G]" },
        { 0, "1", "-0.5", false, 5, "BIN-Low : The set value is out of range. Please set at [0 <= x <= 9G]" },
        { 0, "1", "2", false, 5,
            "BIN : The upper and/or lower threshold values are incorrect.  Please set [UPP >= LOW]." },
    };
    for (const Case& c : cases) {
        Page page(8);
        page.Logic.Front.BinBit[4].Mode = c.Mode;
        page.Fixed(5);
        page.Logic.EditBinCell(4, 3, c.Upper);
        page.Logic.EditBinCell(4, 5, c.Lower);
        page.Logic.EndBinEdit();
        EXPECT_EQ(page.Logic.CollectSettings(), c.Ok) << c.Upper << " " << c.Lower;
        EXPECT_EQ(page.Logic.ErrorText, c.Message);
        if (c.Ok) {
            EXPECT_EQ(page.Logic.Front.BinBit[4].Upper, 100);
            EXPECT_EQ(page.Logic.Front.BinBit[4].Lower, 99999);
            continue;
        }
        EXPECT_EQ(page.Logic.ErrorControl, kFcBinList);
        EXPECT_EQ(page.Logic.ErrorRow, 4);
        EXPECT_EQ(page.Logic.ErrorColumn, c.Column);
        EXPECT_EQ(page.Logic.View().Bin[4].Upper, c.Upper); // the refused text stays for the report
    }
}

TEST(FrontPage, ComparatorAndZeroAdjustRefusals)
{
    struct Case {
        int Control;
        std::string Typed;
        int ErrorControl;
        std::string Message;
    };
    const Case cases[] = {
        { kFcCompLower, "-5", kFcCompLower, "Comparator-Low : " + std::string(kRangeAbs) },
        { kFcCompUpper, "-5", kFcCompUpper, "Comparator-Upp/Ref : " + std::string(kRangeAbs) },
        { kFcCompLower, "50", kFcCompLower, "Comparator : " + std::string(kUpperLower) },
    };
    for (const Case& c : cases) {
        Page page(8);
        page.Fixed(3);
        page.Logic.Choose(kFcComparator, 1);
        page.Logic.EditText(c.Control, c.Typed);
        page.Logic.LeaveEdit(c.Control);
        EXPECT_FALSE(page.Logic.CollectSettings()) << c.Typed;
        EXPECT_EQ(page.Logic.ErrorControl, c.ErrorControl);
        EXPECT_EQ(page.Logic.ErrorText, c.Message);
    }
    Page page(8);
    page.Logic.EditZeroCell(0, "429.5"); // 10m range: times 10^7 this passes 32 bits
    page.Logic.EndZeroEdit();
    EXPECT_FALSE(page.Logic.CollectSettings());
    EXPECT_EQ(page.Logic.ErrorControl, kFcZeroList);
    EXPECT_EQ(page.Logic.ErrorColumn, 2);
    EXPECT_EQ(page.Logic.ErrorText, kZeroAdjustRange);
    EXPECT_EQ(page.Logic.View().Zero[0].Value, "429.5");
}

TEST(FrontPage, NumbersTypedButNotYetTakenSurviveAClick)
{
    Page page(8);
    page.Logic.EditText(kFcAvgCount, "50");
    page.Logic.SetCheck(kFcAverage, true);
    EXPECT_EQ(page.Logic.Front.Cond.AvgCount, 50);
    EXPECT_EQ(page.Text(kFcAvgCount), "50");
    page.Logic.EditText(kFcAvgCount, "5x");
    page.Logic.EditText(kFcDtK, "12");
    page.Logic.Choose(kFcSpeed, 2);
    EXPECT_EQ(page.Logic.Front.Cond.Speed, 2);
    EXPECT_EQ(page.Text(kFcAvgCount), "5x");
    EXPECT_EQ(page.Text(kFcDtK), "12");
    EXPECT_FALSE(page.Logic.CollectSettings());
    EXPECT_EQ(page.Logic.ErrorText, kEnterInteger);
    EXPECT_TRUE(page.Prompt.Texts.empty());
}

TEST(FrontPage, UserUnitCharactersAndLength)
{
    Page page(8);
    page.Logic.EditText(kFcUnitText, "\xCE\xA9");
    EXPECT_EQ(page.Text(kFcUnitText), "");
    EXPECT_EQ(page.Prompt.Texts, std::vector<std::string> { kUnitCharacters });
    page.Logic.EditText(kFcUnitText, "m_V");
    EXPECT_EQ(page.Logic.Front.Cond.ScalingUnitText, "m_V");
    page.Logic.EditText(kFcUnitText, "m_Vx");
    EXPECT_EQ(page.Logic.Front.Cond.ScalingUnitText, "m_V");
    EXPECT_FALSE(page.Logic.CollectSettings());
    EXPECT_EQ(page.Logic.ErrorText, "Enter no more than 3 characters.");
}

TEST(FrontPage, ClippedLimitsSurviveRangeAndScalingChanges)
{
    Page page(8);
    page.Logic.Front.Cond.CompOn = 1;
    page.Logic.Front.Cond.CompUpper = 123456789; // 123.456789 mΩ at the 10m range shows 99.9999
    page.Logic.Front.BinBit[2].Upper = 987654321;
    page.Fixed(0);
    EXPECT_EQ(page.Text(kFcCompUpper), "99.9999");
    page.Logic.EditText(kFcDtT1, "30");
    page.Logic.LeaveEdit(kFcDtT1);
    page.Logic.EndBinEdit();
    page.Logic.SetCheck(kFcScaling, true);
    page.Logic.EditText(kFcScalingA, "0.5");
    page.Logic.EndBinEdit();
    page.Logic.Choose(kFcComparator, 0);
    page.Logic.Choose(kFcRange, 3);
    ASSERT_TRUE(page.Logic.CollectSettings()) << page.Logic.ErrorText;
    EXPECT_EQ(page.Logic.Front.Cond.CompUpper, 123456789);
    EXPECT_EQ(page.Logic.Front.BinBit[2].Upper, 987654321);
    EXPECT_EQ(page.Logic.Front.Cond.DtT1, 30);
}

TEST(FrontPage, DisplayCollectDisplayKeepsEveryModelsConditionsSilently)
{
    for (const int32_t model : { 8, 9, 10, 12, 144, 160, 2048 }) {
        for (int seed = 0; seed < 6; ++seed) {
            Page page(model);
            page.Logic.Front = VariedFront(model, seed);
            page.Logic.DisplaySettings();
            const FrontSetData shown = page.Logic.Front; // after normalising the displays
            const FrontPageView view = page.Logic.View();
            ASSERT_TRUE(page.Logic.CollectSettings()) << model << "/" << seed << ": " << page.Logic.ErrorText;
            EXPECT_EQ(page.Logic.Front, shown) << model << "/" << seed;
            page.Logic.DisplaySettings();
            EXPECT_EQ(page.Logic.View().Texts, view.Texts) << model << "/" << seed;
            EXPECT_TRUE(page.Prompt.Texts.empty()) << model << "/" << seed;
        }
    }
}
