#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "acquisition/process_data.h"
#include "settings/numeric_locale.h"

namespace {

#ifdef _WIN32
constexpr bool kHasPosixLocales = false;
#else
constexpr bool kHasPosixLocales = true;
#endif

RangeContext Context(int32_t model, bool lowPower = false, bool accurate = false, double scaling = 0)
{
    RangeContext context;
    context.ModelCode = model;
    context.LowPower = lowPower;
    context.HighAccuracy100M = accurate;
    context.ScalingOn = scaling != 0;
    context.ScalingA = scaling;
    return context;
}

int WidthOf(const std::string& format) { return format[2] - '0'; }

} // namespace

TEST(ProcessData, RangeNamesUnitsAndFormatsPerGroup)
{
    EXPECT_EQ(CProcessData::RangeName(Context(144), 12), "1000M");
    EXPECT_EQ(CProcessData::RangeName(Context(144, false, true), 12), "?");
    EXPECT_EQ(CProcessData::RangeName(Context(8), 0), "10m");
    EXPECT_EQ(CProcessData::RangeName(Context(8), 12), "?");
    EXPECT_EQ(CProcessData::RangeName(Context(8, true), 0), "1000m");
    EXPECT_EQ(CProcessData::RangeName(Context(2048, true), 0), "1000u"); // no low power on the VX6208
    EXPECT_EQ(CProcessData::RangeUnit(Context(160), 0), "u\xCE\xA9");
    EXPECT_EQ(CProcessData::RangeUnit(Context(8), 11), "M\xCE\xA9");
    EXPECT_EQ(CProcessData::RangeUnit(Context(8, true), 1), "\xCE\xA9");
    EXPECT_EQ(CProcessData::ValueFormat(Context(8), 0), "%07.4f");
    EXPECT_EQ(CProcessData::ValueFormat(Context(144), 0), "%07.2f");
    EXPECT_EQ(CProcessData::ValueFormat(Context(8), -1), "%f");
    EXPECT_EQ(CProcessData::FineFormat(Context(8), 10), "%08.4f");
    EXPECT_EQ(CProcessData::FineFormat(Context(8, false, true), 10), "%09.5f");
    EXPECT_EQ(CProcessData::FineFormat(Context(144), 12), "%08.3f");
    EXPECT_EQ(CProcessData::ZeroAdjDivisor(Context(8), 0), 10000000);
    EXPECT_EQ(CProcessData::ZeroAdjDivisor(Context(144), 0), 100000);
    EXPECT_EQ(CProcessData::ZeroAdjDivisor(Context(8, true), 1), 1000000);
    EXPECT_EQ(CProcessData::ZeroAdjDivisor(Context(8), 10), 1000000);
}

TEST(ProcessData, TextToInternalScalesAndClips)
{
    EXPECT_EQ(CProcessData::TextToInternal(Context(8), 0, "10.0000"), 10000000);
    EXPECT_EQ(CProcessData::TextToInternal(Context(8), 0, "0"), 0);
    EXPECT_EQ(CProcessData::TextToInternal(Context(8), 11, "9999999999999"), CProcessData::kInternalLimit);
    EXPECT_EQ(CProcessData::TextToInternal(Context(8), 0, "-1.0000"), CProcessData::kInternalLimit);
    EXPECT_EQ(CProcessData::TextToInternal(Context(8, false, false, 5000), 0, "1.0"), CProcessData::kInternalLimit);
    EXPECT_EQ(CProcessData::TextToInternal(Context(8, false, false, 0.0001), 0, "1.0"), CProcessData::kInternalLimit);
    EXPECT_EQ(CProcessData::TextToInternal(Context(144), 0, "1.00"), 1000);
    EXPECT_EQ(CProcessData::TextToInternal(Context(8, true), 0, "1.00"), 1000000);
}

TEST(ProcessData, ClipToWidthKeepsTheTailAsNines)
{
    EXPECT_EQ(CProcessData::ClipToWidth("12345.67", 7), "9999.99");
    EXPECT_EQ(CProcessData::ClipToWidth("1234.56", 7), "1234.56");
    EXPECT_EQ(CProcessData::ClipToWidth("-9.5", 7), "-9.5");
}

TEST(ProcessData, ScalingColumnsFollowTheFactorDecade)
{
    EXPECT_EQ(CProcessData::ScalingColumn(0.0001), -1);
    EXPECT_EQ(CProcessData::ScalingColumn(0.0002), 0);
    EXPECT_EQ(CProcessData::ScalingColumn(1.0), 3);
    EXPECT_EQ(CProcessData::ScalingColumn(1999.99), 6);
    EXPECT_EQ(CProcessData::ScalingColumn(2000), -1);
    EXPECT_EQ(CProcessData::ValueWidth(Context(144, false, false, 0.0005), 0), 5);
    EXPECT_EQ(CProcessData::ValueWidth(Context(8, false, false, 5000), 0), 7);
    EXPECT_EQ(CProcessData::UnitLabel(Context(8, false, false, 1.0), 6), "k\xCE\xA9");
}

// A value shown in any range and scaling column, read back, is the count it was shown from.
TEST(ProcessData, ShownValuesConvertBackToTheSameCount)
{
    const double factors[] = { 0, 0.0005, 0.005, 0.05, 0.5, 5, 50, 500 };
    struct GroupCase {
        int32_t Model;
        bool LowPower;
        int Rows;
    };
    const GroupCase groups[] = { { 8, true, 4 }, { 144, false, 13 }, { 8, false, 12 } };
    // A comma locale by its POSIX name (scripts/bootstrap makes it) or its Windows name.
    for (const char* locale : { "C", kHasPosixLocales ? "de_DE.UTF-8" : "German_Germany.1252" }) {
        // The conversions must not depend on the operator's locale.
        ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale;
        for (const GroupCase& group : groups) {
            for (const double factor : factors) {
                const RangeContext context = Context(group.Model, group.LowPower, false, factor);
                for (int index = 0; index < group.Rows; ++index) {
                    const std::string format = CProcessData::ValueFormat(context, index);
                    ASSERT_NE(format, "%f") << group.Model << " " << index << " " << factor;
                    const int width = WidthOf(format);
                    const int decimals = format[4] - '0';
                    // A count with as many digits as the field shows, on the range's count step.
                    std::string digitText = std::string("123456789").substr(0, static_cast<size_t>(width - 1));
                    const int64_t shownStep = CProcessData::TextToInternal(context, index, "1" + std::string(decimals, '0'))
                        / static_cast<int64_t>(std::pow(10, decimals));
                    const int64_t step = CProcessData::CountStep(context, index);
                    int64_t count = 0;
                    for (;;) {
                        const __int128 wanted = static_cast<__int128>(std::stoll(digitText)) * shownStep;
                        if (wanted <= CProcessData::kInternalLimit) {
                            count = static_cast<int64_t>(wanted) / step * step;
                            break;
                        }
                        digitText.erase(0, 1); // the largest ranges cannot show every digit within the limit
                    }
                    const double value = CProcessData::InternalToValue(context, index, count);
                    const std::string shown = FormatC(format.c_str(), value + CProcessData::RoundingIncrement(context, index));
                    EXPECT_EQ(CProcessData::TextToInternal(context, index, shown), count)
                        << "model " << group.Model << " lp " << group.LowPower << " index " << index << " factor " << factor
                        << " shown " << shown;
                }
            }
        }
    }
    std::setlocale(LC_ALL, "C");
}

TEST(ProcessData, DisplaysOfTheSettingsPagesRoundTheirLastDigit)
{
    CProcessData process;
    EXPECT_EQ(process.Data.ModelCode, 0);
    MeasCondition condition;
    InitMeasCondition(condition, 8);
    const RangeContext context = CProcessData::ContextOf(condition, 8);
    // 0.1 as a double is a hair below 0.1: the increment keeps the last digit.
    EXPECT_EQ(CProcessData::ReformatValue(context, 1, "0.1"), "000.100");
    EXPECT_EQ(CProcessData::ReformatValue(context, 0, "1.23456"), "01.2346");
    EXPECT_EQ(CProcessData::FormatThreeDecimals("2.3"), "02.300");
    EXPECT_EQ(CProcessData::FormatThreeDecimals("99.9995"), "100.000");
    EXPECT_NEAR(CProcessData::InternalToValue(context, 0, 12345678), 12.3456, 1e-9); // below the last digit cut off
    EXPECT_EQ(CProcessData::UnitLabel(context, 4), "\xCE\xA9");
}
