#include <gtest/gtest.h>

#include <clocale>

#include "uilogic/condition_logic.h"

namespace {

RangeContext ContextFor(int32_t model, int32_t lowPower = 0)
{
    RangeContext context;
    context.ModelCode = model;
    context.LowPower = lowPower;
    return context;
}

} // namespace

TEST(ConditionFormats, NumbersReadAsTheInstrumentShowsThem)
{
    struct Case {
        std::string Shown;
        std::string Expected;
    };
    const Case cases[] = {
        { FormatTemperature(0), "000.0" },
        { FormatTemperature(23), "23.0" },
        { FormatTemperature(-5), "-05.0" },
        { FormatK(235), "235.0" },
        { FormatK(-2.5), "-002.5" },
        { FormatAlpha(3930), "03930" },
        { FormatAlpha(-5), "-00005" },
        { FormatAlpha(0), "000000" },
        { FormatDelay(5), "0005" },
        { FormatR1(1), "1.00000e+0" },
        { FormatR1(0.01), "1.00000e-2" },
        { FormatR1(1e100), "1.00000e+100" }, // only a leading zero of the exponent goes
        { FormatScalingB(0), "0.000000e+0" },
        { FormatScalingB(-12.5), "-1.250000e+1" },
        { FormatScalingA(1), "1.0000e+0" },
        { FormatScalingA(0.5), "0.5000e+0" },
        { FormatScalingA(0.0002), "0.2000e-3" },
        { FormatScalingA(1999.9), "1.9999e+3" },
        { FormatScalingA(65537), "6.5537e+4" },
        { PercentToText(5000), "05.000" },
        { PercentToText(99999), "99.999" },
        // Limits per range group: standard 10m, group A 1000u, low power 10 and 1000m, and a
        // limit beyond the display length clipped with nines.
        { CountToText(ContextFor(8), 0, 1234500), "01.2345" },
        { CountToText(ContextFor(160), 0, 123450), "0123.45" },
        { CountToText(ContextFor(8, 1), 1, 1500000000), "01.5000" },
        { CountToText(ContextFor(8, 1), 0, 250000000), "0250.00" },
        { CountToText(ContextFor(8), 0, 123456789), "99.9999" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Shown, c.Expected);
}

TEST(ConditionFormats, NormalisingKeepsStepsAndLeavesOutOfBoundsValuesForTheCheck)
{
    struct Case {
        double (*Normalise)(double);
        double Typed;
        double Stored;
    };
    const Case cases[] = {
        { NormaliseScalingA, 1.23456, 1.2345 },
        { NormaliseScalingA, 0.00025, 0.00025 },
        { NormaliseScalingA, 1999.9, 1999.9 },
        { NormaliseScalingA, 65537, 65537 }, // a 16-bit mantissa would wrap this to 1
        { NormaliseScalingA, 0.0001, 0.0001 },
        { NormaliseR1, 1.0000000004, 1.0 },
        { NormaliseR1, 1e100, 1e100 }, // beyond a 64-bit count
        { NormaliseR1, -3, -3 },
        { NormaliseScalingB, -2.0000000009, -2.0 },
        { NormaliseScalingB, 1e100, 1e100 },
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(c.Normalise(c.Typed), c.Stored) << c.Typed;
}

TEST(ConditionFormats, LimitAndZeroAdjustTextsAreReadInTheCConventionWhateverTheLocale)
{
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "the comma-decimal test locale is not installed";
    const RangeContext standard = ContextFor(8);
    int64_t count = 0;
    EXPECT_TRUE(TextToCount(standard, 0, "01.2345", count));
    EXPECT_EQ(count, 1234500);
    EXPECT_FALSE(TextToCount(standard, 0, "-0.0001", count)); // not mapped to the 9G cap
    EXPECT_FALSE(TextToCount(standard, 0, "abc", count));
    int64_t percent = 0;
    EXPECT_TRUE(TextToPercent("99.999", percent));
    EXPECT_EQ(percent, 99999);
    EXPECT_FALSE(TextToPercent("100", percent));
    EXPECT_FALSE(TextToPercent("-1", percent));
    int32_t value = 0;
    EXPECT_TRUE(ZeroAdjustTextToValue(standard, 0, false, "-5", value));
    EXPECT_EQ(value, -50000000);
    EXPECT_FALSE(ZeroAdjustTextToValue(standard, 0, false, "5.0000001", value));
    // 429.5 × 10^7 cut to 32 bits would read 32704 and pass.
    EXPECT_FALSE(ZeroAdjustTextToValue(standard, 0, false, "429.5", value));
    EXPECT_FALSE(ZeroAdjustTextToValue(ContextFor(8, 1), 0, true, "500.1", value));
    EXPECT_EQ(FormatTemperature(23.5), "23.5");
    std::setlocale(LC_ALL, "C");
}

TEST(ConditionExclusions, EachRuleClearsOrRefusesWithItsText)
{
    struct Case {
        const char* Name;
        ExclusionState Start;
        std::string (*Act)(ExclusionState&);
        std::string Refusal;
        ExclusionState End;
    };
    const Case cases[] = {
        { "delta T clears the others", { false, 1, false, true, true, true },
            [](ExclusionState& s) { return TurnDeltaT(s, true); }, "", { false, 0, true, false, false, false } },
        { "TC clears delta T", { false, 0, true, false, false, false },
            [](ExclusionState& s) { return TurnTc(s, true); }, "", { false, 0, false, true, false, false } },
        { "statistics clears delta T", { false, 0, true, false, false, false },
            [](ExclusionState& s) { return TurnStatistics(s, true); }, "", { false, 0, false, false, true, false } },
        { "BIN under auto range", { true, 0, false, false, false, false },
            [](ExclusionState& s) { return TurnBin(s, true); }, kBinNeedsFixedRange,
            { true, 0, false, false, false, false } },
        { "BIN at a fixed range", { false, 2, true, false, false, false },
            [](ExclusionState& s) { return TurnBin(s, true); }, "", { false, 0, false, false, false, true } },
        { "comparator under auto range", { true, 0, false, false, false, false },
            [](ExclusionState& s) { return ChooseComparator(s, 1); }, kComparatorRefused,
            { true, 0, false, false, false, false } },
        { "comparator with delta T", { false, 0, true, false, false, false },
            [](ExclusionState& s) { return ChooseComparator(s, 2); }, kComparatorRefused,
            { false, 0, true, false, false, false } },
        { "comparator with BIN", { false, 0, false, false, false, true },
            [](ExclusionState& s) { return ChooseComparator(s, 1); }, kComparatorRefused,
            { false, 0, false, false, false, true } },
        { "auto range with the comparator", { false, 1, false, false, false, false },
            [](ExclusionState& s) { return ChooseAutoRange(s); }, kAutoRangeRefused,
            { false, 1, false, false, false, false } },
        { "auto range with BIN", { false, 0, false, false, false, true },
            [](ExclusionState& s) { return ChooseAutoRange(s); }, kAutoRangeRefused,
            { false, 0, false, false, false, true } },
    };
    for (const Case& c : cases) {
        ExclusionState state = c.Start;
        EXPECT_EQ(c.Act(state), c.Refusal) << c.Name;
        EXPECT_EQ(state.AutoRange, c.End.AutoRange) << c.Name;
        EXPECT_EQ(state.CompChoice, c.End.CompChoice) << c.Name;
        EXPECT_EQ(state.DeltaTOn, c.End.DeltaTOn) << c.Name;
        EXPECT_EQ(state.TcOn, c.End.TcOn) << c.Name;
        EXPECT_EQ(state.Statistics, c.End.Statistics) << c.Name;
        EXPECT_EQ(state.BinOn, c.End.BinOn) << c.Name;
    }
    EXPECT_TRUE(ValidUnitCharacters("m_V"));
    EXPECT_FALSE(ValidUnitCharacters("\xCE\xA9"));
    EXPECT_FALSE(ValidUnitCharacters("a b"));
}
