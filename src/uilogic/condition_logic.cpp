#include "uilogic/condition_logic.h"

#include <cmath>
#include <limits>

#include "settings/model_info.h"
#include "settings/numeric_locale.h"
#include "uilogic/field_exchange.h"

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

std::string IntRangeText(int low, int high)
{
    return FormatC("The set value is out of range. Please set at [%d <= x <= %d].", low, high);
}
std::string FloatRangeText(double low, double high)
{
    return FormatC("The set value is out of range. Please set at [%f <= x <= %f]", low, high);
}
std::string ExpRangeText(double low, double high)
{
    return FormatC("The set value is out of range. Please set at [%e <= x <= %e]", low, high);
}

namespace {

struct NumberCheck {
    bool Valid;
    int Control;
    const char* Name;
    std::string Range;
};

bool RunChecks(std::initializer_list<NumberCheck> checks, const NumberFault& fail)
{
    bool ok = true;
    for (const NumberCheck& check : checks) {
        if (!check.Valid) {
            fail(check.Control, std::string(check.Name) + " " + check.Range);
            ok = false;
        }
    }
    return ok;
}

template <typename T> bool In(T value, T low, T high)
{
    return value >= low && value <= high;
}

} // namespace

bool CheckConditionNumbers(const MeasCondition& c, const NumberFault& fail)
{
    return RunChecks(
        {
            { In(c.AvgCount, 2, 100), 1076, "Average", IntRangeText(2, 100) },
            { In<int>(c.DelayTime, 0, 9999), 1079, "Delay", IntRangeText(0, 9999) },
            { In(c.DtT1, -10.0, 99.9), 1093, "DeltaT-t1", FloatRangeText(-10, 99.9) },
            { In(c.DtR1, kR1Low, kR1High), 1128, "DeltaT-R1", ExpRangeText(kR1Low, kR1High) },
            { In(c.DtK, -999.9, 999.9), 1099, "DeltaT-K", FloatRangeText(-999.9, 999.9) },
            { In(c.TcT0, -10.0, 99.9), 1101, "TC-T0", FloatRangeText(-10, 99.9) },
            { In(c.TcAlpha, -99999, 99999), 1104, "TC-Alpha", IntRangeText(-99999, 99999) },
            { In(c.ScalingA, kALow, kAHigh), 1106, "Scaling-A", ExpRangeText(kALow, kAHigh) },
            { In(c.ScalingB, -kBBound, kBBound), 1108, "Scaling-B", ExpRangeText(-kBBound, kBBound) },
        },
        fail);
}

bool CheckAtcNumbers(int32_t model, const MeasCondition& c, const NumberFault& fail)
{
    const int highest = HighestRangeIndex(model, false); // the sensor list offers every range
    return RunChecks(
        {
            { In(c.AtcSpeed, 0, 3), kAtcSpeed, "A-TC-Speed", IntRangeText(0, 3) },
            { c.AtcAutoRange != 0 || In(c.AtcRange, 0, highest), kAtcRange, "A-TC-Range", IntRangeText(0, highest) },
            { In(c.AtcT0, -10.0, 99.9), kAtcT0, "A-TC-t0", FloatRangeText(-10, 99.9) },
            { In(c.AtcAlpha, -99999, 99999), kAtcAlpha, "A-TC-Alpha", IntRangeText(-99999, 99999) },
            { In(c.AtcT1, -10.0, 99.9), kAtcT1, "A-TC-t1", FloatRangeText(-10, 99.9) },
            { In(c.AtcR1, kR1Low, kR1High), kAtcR1, "A-TC-R1", ExpRangeText(kR1Low, kR1High) },
            { In(c.AtcTcr, -99999, 99999), kAtcTcr, "A-TC-TCR", IntRangeText(-99999, 99999) },
            { In(c.AtcUnit, 0, 1), kAtcUnit, "A-TC-Unit", IntRangeText(0, 1) },
            { In(c.AtcTermA, 1, kTerminals4Wire), kAtcTermA, "A-TC-TermA", IntRangeText(1, kTerminals4Wire) },
            { In(c.AtcTermB, 1, kTerminals4Wire), kAtcTermB, "A-TC-TermB", IntRangeText(1, kTerminals4Wire) },
            { In<int>(c.AtcDelayTime, 0, 9999), kAtcDelayTime, "A-TC-Delay", IntRangeText(0, 9999) },
            { In(c.AtcAvgCount, 2, 100), kAtcAvgCount, "A-TC-Average", IntRangeText(2, 100) },
        },
        fail);
}

bool ReadConditionTexts(const std::map<int, std::string>& texts, MeasCondition& c, const NumberFault& fail)
{
    std::string message;
    const auto text = [&](int control) {
        const auto found = texts.find(control);
        return found != texts.end() ? found->second : std::string();
    };
    const auto number = [&](int control, double& value) {
        if (ExchangeDouble(text(control), value, message))
            return true;
        fail(control, message);
        return false;
    };
    const auto integer = [&](int control, int32_t& value) {
        if (ExchangeInt(text(control), value, message))
            return true;
        fail(control, message);
        return false;
    };
    int32_t delay = c.DelayTime;
    if (!ExchangeIntRange(
            text(1079), std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(), delay, message)) {
        fail(1079, message);
        return false;
    }
    c.DelayTime = static_cast<int16_t>(delay);
    if (!integer(1076, c.AvgCount) || !number(1093, c.DtT1) || !number(1128, c.DtR1) || !number(1099, c.DtK)
        || !number(1101, c.TcT0) || !integer(1104, c.TcAlpha) || !number(1106, c.ScalingA) || !number(1108, c.ScalingB))
        return false;
    std::string unit;
    if (!ExchangeText(text(1110), kMaxUnitText, unit, message)) {
        fail(1110, message);
        return false;
    }
    return true;
}

void ShowConditionNumbers(MeasCondition& c, std::map<int, std::string>& texts)
{
    c.DtR1 = NormaliseR1(c.DtR1);
    c.ScalingA = NormaliseScalingA(c.ScalingA);
    c.ScalingB = NormaliseScalingB(c.ScalingB);
    texts[1076] = FormatC("%d", c.AvgCount);
    texts[1079] = FormatDelay(c.DelayTime);
    texts[1093] = FormatTemperature(c.DtT1);
    texts[1128] = FormatR1(c.DtR1);
    texts[1099] = FormatK(c.DtK);
    texts[1101] = FormatTemperature(c.TcT0);
    texts[1104] = FormatAlpha(c.TcAlpha);
    texts[1106] = FormatScalingA(c.ScalingA);
    texts[1108] = FormatScalingB(c.ScalingB);
    texts[1110] = c.ScalingUnitText;
}

void StoreRangeChoice(MeasCondition& c, bool lowPower, int rangeChoice, int contactCheck)
{
    if (rangeChoice == 0) {
        c.AutoRange = 1;
    } else {
        c.AutoRange = 0;
        (lowPower ? c.LoPowerRange : c.Range) = rangeChoice - 1;
    }
    (lowPower ? c.LpContactCheck : c.ContactCheck) = contactCheck ? 1 : 0;
}

bool CollectZeroAdjRows(const std::vector<ZeroAdjRow>& rows, const RangeContext& context, bool lowPowerSet,
    std::array<int32_t, kZeroAdjSlots>& on, std::array<int32_t, kZeroAdjSlots>& values, int& failedRow)
{
    bool ok = true;
    for (size_t row = 0; row < rows.size(); ++row) {
        const ZeroAdjRow& shown = rows[row];
        const auto i = static_cast<size_t>(shown.Entry);
        on[i] = shown.On;
        int32_t value = 0;
        if (ZeroAdjustTextToValue(context, shown.Entry, lowPowerSet, shown.Value, value)) {
            values[i] = value;
        } else {
            failedRow = ok ? static_cast<int>(row) : failedRow;
            ok = false;
        }
    }
    return ok;
}

void ShowZeroAdjRows(std::vector<ZeroAdjRow>& rows, const RangeContext& context,
    const std::array<int32_t, kZeroAdjSlots>& on, const std::array<int32_t, kZeroAdjSlots>& values)
{
    for (ZeroAdjRow& row : rows) {
        const auto i = static_cast<size_t>(row.Entry);
        row.On = on[i];
        row.Range = CProcessData::RangeName(context, row.Entry);
        row.Value = ZeroAdjustValueToText(context, row.Entry, values[i]);
        row.Unit = CProcessData::RangeUnit(context, row.Entry);
    }
}

bool AnyZeroAdjOn(const std::array<int32_t, kZeroAdjSlots>& on, int n)
{
    for (int i = 0; i < n; ++i) {
        if (on[static_cast<size_t>(i)] != 0)
            return true;
    }
    return false;
}

void ClearZeroAdj(std::array<int32_t, kZeroAdjSlots>& on, std::array<int32_t, kZeroAdjSlots>& values, int n)
{
    for (int i = 0; i < n; ++i) {
        on[static_cast<size_t>(i)] = 0;
        values[static_cast<size_t>(i)] = 0;
    }
}
