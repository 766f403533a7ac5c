#include "uilogic/condition_logic.h"

#include <cmath>

#include "settings/numeric_locale.h"

namespace {

constexpr double kR1Low = 1e-9;
constexpr double kR1High = 9e9;
constexpr double kBBound = 9e9;
constexpr double kALow = 2e-4;
constexpr double kAHigh = 1999.9;
constexpr int64_t kPercentMax = 99999;

// Truncation toward zero to a multiple of 10^-9 after adding 10^-12 of the value's sign.
double TruncateNano(double value)
{
    const double nudged = value + std::copysign(1e-12, value);
    return std::trunc(nudged * 1e9) / 1e9;
}

} // namespace

std::string FormatTemperature(double value)
{
    return FormatC(value > 0 ? "%04.1f" : "%05.1f", value);
}
std::string FormatK(double value)
{
    return FormatC(value > 0 ? "%05.1f" : "%06.1f", value);
}
std::string FormatAlpha(int32_t value)
{
    return FormatC(value > 0 ? "%05d" : "%06d", value);
}
std::string FormatDelay(int32_t value)
{
    return FormatC("%04d", value);
}

std::string TrimExponentZero(const std::string& text)
{
    const size_t e = text.find_first_of("eE");
    if (e == std::string::npos || e + 3 >= text.size() || text[e + 2] != '0')
        return text;
    std::string trimmed = text;
    trimmed.erase(e + 2, 1);
    return trimmed;
}

double NormaliseR1(double value)
{
    if (!(value >= kR1Low - 1e-12 && value <= kR1High))
        return value;
    return TruncateNano(value);
}

std::string FormatR1(double value)
{
    return TrimExponentZero(FormatC("%.5e", value));
}

double NormaliseScalingB(double value)
{
    if (!(value >= -kBBound && value <= kBBound))
        return value;
    return TruncateNano(value);
}

std::string FormatScalingB(double value)
{
    return TrimExponentZero(FormatC("%.6e", value));
}

namespace {

int ScalingExponent(double value)
{
    for (int k = 0; k <= 6; ++k) {
        if (0.0002 * std::pow(10.0, k) <= value && value < 0.0002 * std::pow(10.0, k + 1))
            return k - 3;
    }
    return 4;
}

} // namespace

double NormaliseScalingA(double value)
{
    if (!(value >= kALow && value <= kAHigh))
        return value; // left for the bounds check; a cut mantissa could wrap into the bounds
    const int d = ScalingExponent(value);
    const double m = value / std::pow(10.0, d);
    const auto tenThousandths = static_cast<int64_t>(m * 10000.0 + 0.01);
    return static_cast<double>(tenThousandths) / 10000.0 * std::pow(10.0, d);
}

std::string FormatScalingA(double value)
{
    const int d = ScalingExponent(value);
    const double m = value / std::pow(10.0, d);
    return FormatC(d < 0 ? "%.4fe%d" : "%.4fe+%d", m, d);
}

std::string CountToText(const RangeContext& context, int range, int64_t count)
{
    const double value = CProcessData::InternalToValue(context, range, count);
    const std::string format = CProcessData::ValueFormat(context, range);
    return CProcessData::ClipToWidth(FormatC(format.c_str(), value), CProcessData::ValueWidth(context, range));
}

std::string PercentToText(int64_t thousandths)
{
    return CProcessData::ClipToWidth(FormatC("%06.3f", static_cast<double>(thousandths) / 1000.0), 6);
}

bool TextToCount(const RangeContext& context, int range, const std::string& text, int64_t& count)
{
    double value = 0.0;
    if (!ParseDoubleC(text, value) || !std::isfinite(value) || value < 0)
        return false;
    count = CProcessData::TextToInternal(context, range, CProcessData::ReformatValue(context, range, text));
    return true;
}

bool TextToPercent(const std::string& text, int64_t& thousandths)
{
    double value = 0.0;
    if (!ParseDoubleC(text, value) || !std::isfinite(value) || value < 0 || value > 99.999 + 1e-9)
        return false;
    std::string digits;
    for (const char c : CProcessData::FormatThreeDecimals(text)) {
        if (c != ',' && c != '.')
            digits.push_back(c);
    }
    int64_t parsed = 0;
    if (!ParseInt64C(digits, parsed) || parsed < 0 || parsed > kPercentMax)
        return false;
    thousandths = parsed;
    return true;
}

bool ZeroAdjustTextToValue(
    const RangeContext& context, int range, bool lowPowerSet, const std::string& text, int32_t& value)
{
    double v = 0.0;
    if (!ParseDoubleC(text, v) || !std::isfinite(v))
        return false;
    if (v == 0) {
        value = 0;
        return true;
    }
    const double scaled = v * static_cast<double>(CProcessData::ZeroAdjDivisor(context, range));
    const double bound = lowPowerSet ? 5000000.0 : 50000000.0;
    const double moved = std::trunc(scaled + std::copysign(0.01, scaled));
    if (moved < -bound || moved > bound)
        return false;
    value = static_cast<int32_t>(moved);
    return true;
}

std::string ZeroAdjustValueToText(const RangeContext& context, int range, int32_t value)
{
    const double shown = static_cast<double>(value) / static_cast<double>(CProcessData::ZeroAdjDivisor(context, range));
    const std::string format = CProcessData::FineFormat(context, range);
    std::string text = FormatC(format.c_str(), shown);
    if (text.size() > 10)
        text.resize(10);
    return text;
}

bool ValidUnitCharacters(const std::string& text)
{
    for (const char c : text) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

std::string TurnDeltaT(ExclusionState& state, bool on)
{
    state.DeltaTOn = on;
    if (on) {
        state.CompChoice = 0;
        state.TcOn = false;
        state.Statistics = false;
        state.BinOn = false;
    }
    return {};
}

std::string TurnTc(ExclusionState& state, bool on)
{
    state.TcOn = on;
    if (on)
        state.DeltaTOn = false;
    return {};
}

std::string TurnStatistics(ExclusionState& state, bool on)
{
    state.Statistics = on;
    if (on)
        state.DeltaTOn = false;
    return {};
}

std::string TurnBin(ExclusionState& state, bool on)
{
    if (on && state.AutoRange) {
        state.BinOn = false;
        return kBinNeedsFixedRange;
    }
    state.BinOn = on;
    if (on) {
        state.CompChoice = 0;
        state.DeltaTOn = false;
    }
    return {};
}

std::string ChooseComparator(ExclusionState& state, int choice)
{
    if (choice != 0 && (state.AutoRange || state.DeltaTOn || state.BinOn)) {
        state.CompChoice = 0;
        return kComparatorRefused;
    }
    state.CompChoice = choice;
    return {};
}

std::string ChooseAutoRange(ExclusionState& state)
{
    if (state.CompChoice != 0 || state.BinOn)
        return kAutoRangeRefused;
    state.AutoRange = true;
    return {};
}
