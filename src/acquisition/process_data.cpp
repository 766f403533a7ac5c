#include "acquisition/process_data.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "settings/numeric_locale.h"

namespace {

enum class Group { LowPower, A, Standard };

constexpr int kColumns = 7;
constexpr const char* kOhm = "\xCE\xA9"; // the ohm sign, UTF-8
constexpr const char* kCycle[3] = { "%07.4f", "%07.3f", "%07.2f" };
constexpr const char* kPrefixes[18] = { "u", "u", "u", "m", "m", "m", " ", " ", " ", "k", "k", "k", "M", "M", "M", "G",
    "G", "G" };

Group GroupOf(const RangeContext& context)
{
    if (context.LowPower && context.ModelCode != 2048)
        return Group::LowPower;
    const int32_t code = context.ModelCode;
    return code == 144 || code == 160 || code == 2048 ? Group::A : Group::Standard;
}

int RowCount(Group group) { return group == Group::LowPower ? 4 : group == Group::A ? 13 : 12; }

bool ValidIndex(const RangeContext& context, int index)
{
    const Group group = GroupOf(context);
    int last = RowCount(group) - 1;
    if (group != Group::LowPower && context.HighAccuracy100M)
        --last;
    return index >= 0 && index <= last;
}

// Power of ten of each unit: uΩ -6, mΩ -3, Ω 0, kΩ 3, MΩ 6.
int UnitPower(Group group, int index)
{
    if (group == Group::LowPower)
        return index == 0 ? -3 : 0;
    if (group == Group::A)
        return index == 0 ? -6 : -3 + 3 * ((index - 1) / 3);
    return -3 + 3 * (index / 3);
}

const char* UnitPrefix(int power)
{
    switch (power) {
    case -6: return "u";
    case -3: return "m";
    case 3: return "k";
    case 6: return "M";
    default: return "";
    }
}

const char* TableFormat(Group group, int index)
{
    static constexpr const char* kLowPower[4] = { "%07.2f", "%07.4f", "%07.3f", "%07.2f" };
    if (group == Group::LowPower)
        return kLowPower[index];
    if (group == Group::A)
        return index == 0 ? "%07.2f" : kCycle[(index - 1) % 3];
    return kCycle[index % 3];
}

// Decimals and field width of a "%0W.Df" format.
int DecimalsOf(const std::string& format) { return format.size() >= 5 ? format[4] - '0' : 6; }
int WidthOf(const std::string& format) { return format.size() >= 5 ? format[2] - '0' : 7; }

int64_t Pow10(int power)
{
    int64_t value = 1;
    for (int i = 0; i < power; ++i)
        value *= 10;
    return value;
}

const char* ScaledPrefix(Group group, int row, int column)
{
    // Each low-power row starts one prefix further, so that the prefix, the format and the count
    // step 10^(r + c + 1) describe the same number (rows 1 and 2 once started at 4 and 5, which
    // showed values three digits short in the wrong unit).
    static constexpr int kLowPowerStarts[4] = { 2, 3, 4, 5 };
    if (group == Group::LowPower)
        return kPrefixes[kLowPowerStarts[row] + column];
    if (group == Group::A) {
        if (row == 0)
            return column < 4 ? "u" : "m";
        --row;
    }
    return kPrefixes[row + column];
}

std::string ScaledFormat(Group group, int row, int column)
{
    static constexpr const char* kStandardRow0[kColumns] = { "%06.3f", "%07.3f", "%07.2f", "%07.4f", "%07.3f", "%07.2f",
        "%07.4f" };
    static constexpr const char* kARow0[kColumns] = { "%05.3f", "%06.3f", "%07.3f", "%07.2f", "%07.4f", "%07.3f",
        "%07.2f" };
    static constexpr int kLowPowerStarts[4] = { 2, 0, 1, 2 };
    if (group == Group::LowPower)
        return kCycle[(kLowPowerStarts[row] + column) % 3];
    if (group == Group::A) {
        if (row == 0)
            return kARow0[column];
        --row;
    }
    if (row == 0)
        return kStandardRow0[column];
    return kCycle[(row + column) % 3];
}

int64_t PrefixUnit(const char* prefix)
{
    switch (prefix[0]) {
    case 'u': return Pow10(3);
    case 'm': return Pow10(6);
    case 'k': return Pow10(12);
    case 'M': return Pow10(15);
    case 'G': return Pow10(18);
    default: return Pow10(9);
    }
}

// The quantisation step F, the display unit U and the multiplier M of a range and scaling column
// (column -1: scaling off), all in 10^-9 of the displayed quantity.
struct Scale {
    int64_t F = 1;
    int64_t D = 1; // the step of the last shown digit
    int64_t U = 1;
    int64_t M = 1;
    std::string Format;
    int K = 0; // decimals of the rounding increment
};

Scale ScaleOf(Group group, int row, int column)
{
    Scale scale;
    if (column < 0) {
        scale.Format = TableFormat(group, row);
        const int decimals = DecimalsOf(scale.Format);
        const int power = UnitPower(group, row);
        scale.F = Pow10(std::max(0, 9 + power - decimals));
        scale.U = Pow10(9 + power);
        scale.M = Pow10(group == Group::LowPower ? decimals : decimals + 1);
        scale.K = decimals + 1;
        scale.D = scale.F;
        return scale;
    }
    const int last = RowCount(group) - 1;
    int power = 0;
    if (group == Group::LowPower)
        power = row + column + 1;
    else if (group == Group::A)
        power = row == last ? column + 11 : row + column - 2;
    else
        power = row == last ? column + 11 : row + column - 1;
    scale.F = Pow10(std::max(0, power));
    scale.Format = ScaledFormat(group, row, column);
    scale.U = PrefixUnit(ScaledPrefix(group, row, column));
    if (group == Group::LowPower || row == last)
        scale.M = std::max<int64_t>(1, scale.U / scale.F);
    else
        scale.M = std::max<int64_t>(1, std::min(10 * (scale.U / scale.F), scale.U)); // 10 * U overflows for "G"
    if (group == Group::LowPower)
        scale.K = DecimalsOf(scale.Format);
    else if (group == Group::A && row == 0 && column <= 2)
        scale.K = 2;
    else
        scale.K = static_cast<int>(std::lround(std::log10(static_cast<double>(scale.M))));
    scale.D = std::max<int64_t>(1, scale.U / Pow10(DecimalsOf(scale.Format)));
    return scale;
}

} // namespace

int CProcessData::ScalingColumn(double factor)
{
    static constexpr int64_t kBoundaries[8] = { 2, 20, 200, 2000, 20000, 200000, 2000000, 20000000 };
    const auto value = static_cast<int64_t>(factor * 10000.0);
    for (int c = 0; c < kColumns; ++c) {
        if (kBoundaries[c] <= value && value < kBoundaries[c + 1])
            return c;
    }
    return -1;
}

std::string CProcessData::RangeName(const RangeContext& context, int index)
{
    static constexpr const char* kLowPower[4] = { "1000m", "10", "100", "1000" };
    static constexpr const char* kA[13] = { "1000u", "10m", "100m", "1000m", "10", "100", "1000", "10k", "100k", "1000k",
        "10M", "100M", "1000M" };
    if (!ValidIndex(context, index))
        return "?";
    const Group group = GroupOf(context);
    if (group == Group::LowPower)
        return kLowPower[index];
    return group == Group::A ? kA[index] : kA[index + 1];
}

std::string CProcessData::RangeUnit(const RangeContext& context, int index)
{
    if (!ValidIndex(context, index))
        return "?";
    return std::string(UnitPrefix(UnitPower(GroupOf(context), index))) + kOhm;
}

std::string CProcessData::UnitLabel(const RangeContext& context, int index)
{
    if (!context.ScalingOn)
        return RangeUnit(context, index);
    const int column = ScalingColumn(context.ScalingA);
    const std::string prefix = ValidIndex(context, index) && column >= 0 ? ScaledPrefix(GroupOf(context), index, column) : "?";
    if (context.ScalingUnitKind == 0)
        return prefix + kOhm;
    if (context.ScalingUnitKind == 1)
        return prefix;
    return prefix + context.ScalingUnitText;
}

std::string CProcessData::ValueFormat(const RangeContext& context, int index)
{
    if (!ValidIndex(context, index))
        return "%f";
    const int column = context.ScalingOn ? ScalingColumn(context.ScalingA) : -1;
    if (context.ScalingOn && column < 0)
        return "%f";
    return ScaleOf(GroupOf(context), index, column).Format;
}

std::string CProcessData::FineFormat(const RangeContext& context, int index)
{
    static constexpr const char* kLowPower[4] = { "%08.3f", "%08.5f", "%08.4f", "%08.3f" };
    static constexpr const char* kFineCycle[3] = { "%09.6f", "%09.5f", "%09.4f" };
    if (!ValidIndex(context, index))
        return "%f";
    const Group group = GroupOf(context);
    if (group == Group::LowPower)
        return kLowPower[index];
    const bool accurate = context.HighAccuracy100M != 0;
    if (group == Group::A) {
        if (index == 0)
            return "%09.4f";
        if (!accurate && index == 11)
            return "%08.4f";
        if (!accurate && index == 12)
            return "%08.3f";
        return kFineCycle[(index - 1) % 3];
    }
    if (!accurate && index == 10)
        return "%08.4f";
    if (!accurate && index == 11)
        return "%08.3f";
    return kFineCycle[index % 3];
}

int64_t CProcessData::ZeroAdjDivisor(const RangeContext& context, int index)
{
    static constexpr int64_t kLowPower[4] = { 10000, 1000000, 100000, 10000 };
    static constexpr int64_t kCycle3[3] = { 10000000, 1000000, 100000 };
    const Group group = GroupOf(context);
    if (group == Group::LowPower)
        return index >= 0 && index < 4 ? kLowPower[index] : 10000;
    if (group == Group::A) {
        if (index == 0)
            return 100000;
        return index >= 1 && index <= 10 ? kCycle3[(index - 1) % 3] : 1000000;
    }
    return index >= 0 && index <= 9 ? kCycle3[index % 3] : 1000000;
}

int CProcessData::ValueWidth(const RangeContext& context, int index)
{
    if (!context.ScalingOn || !ValidIndex(context, index))
        return 7;
    const int column = ScalingColumn(context.ScalingA);
    return column < 0 ? 7 : WidthOf(ScaleOf(GroupOf(context), index, column).Format);
}

std::string CProcessData::ClipToWidth(const std::string& text, int width)
{
    if (static_cast<int>(text.size()) <= width)
        return text;
    std::string clipped = text;
    for (char& c : clipped) {
        if (c >= '0' && c <= '8')
            c = '9';
    }
    return clipped.substr(clipped.size() - static_cast<size_t>(std::max(width, 0)));
}

double CProcessData::InternalToValue(const RangeContext& context, int index, int64_t internal)
{
    if (!ValidIndex(context, index))
        return 0;
    const int column = context.ScalingOn ? ScalingColumn(context.ScalingA) : -1;
    if (context.ScalingOn && column < 0)
        return 0;
    const Scale scale = ScaleOf(GroupOf(context), index, column);
    const int64_t q = internal - internal % scale.F;
    const long double shown = static_cast<long double>(q) / static_cast<long double>(scale.U)
        * static_cast<long double>(scale.M);
    return static_cast<double>(static_cast<int64_t>(shown + 0.01L)) / static_cast<double>(scale.M);
}

int64_t CProcessData::TextToInternal(const RangeContext& context, int index, const std::string& text)
{
    std::string digits;
    for (const char c : text) {
        if (c != ',' && c != '.')
            digits.push_back(c);
    }
    const long long n = StrToLongLongC(digits);
    if (n == 0 || !ValidIndex(context, index))
        return 0;
    const int column = context.ScalingOn ? ScalingColumn(context.ScalingA) : -1;
    if (context.ScalingOn && column < 0)
        return kInternalLimit;
    // The text is read in steps of its last shown digit. In the last row of a table the counts are
    // ten times coarser than that digit (it always shows 0); multiplying by the count step there
    // would make every value ten times too large.
    const __int128 product = static_cast<__int128>(n) * ScaleOf(GroupOf(context), index, column).D;
    if (product < 0 || product > kInternalLimit)
        return kInternalLimit;
    return static_cast<int64_t>(product);
}

double CProcessData::RoundingIncrement(const RangeContext& context, int index)
{
    if (!ValidIndex(context, index))
        return 0;
    const int column = context.ScalingOn ? ScalingColumn(context.ScalingA) : -1;
    if (context.ScalingOn && column < 0)
        return 0;
    return std::pow(10.0, -(ScaleOf(GroupOf(context), index, column).K + 3));
}

std::string CProcessData::ReformatValue(const RangeContext& context, int index, const std::string& text)
{
    const double value = StrToDoubleC(text) + RoundingIncrement(context, index);
    const std::string format = ValueFormat(context, index);
    return FormatC(format.c_str(), value);
}

std::string CProcessData::FormatThreeDecimals(const std::string& text)
{
    return FormatC("%06.3f", StrToDoubleC(text) + 0.000001);
}

int64_t CProcessData::CountStep(const RangeContext& context, int index)
{
    if (!ValidIndex(context, index))
        return 1;
    const int column = context.ScalingOn ? ScalingColumn(context.ScalingA) : -1;
    if (context.ScalingOn && column < 0)
        return 1;
    return ScaleOf(GroupOf(context), index, column).F;
}

RangeContext CProcessData::ContextOf(const MeasCondition& condition, int32_t modelCode)
{
    RangeContext context;
    context.ModelCode = modelCode;
    context.LowPower = condition.LowPower;
    context.HighAccuracy100M = condition.HighAccuracy100M;
    context.ScalingOn = condition.ScalingOn;
    context.ScalingA = condition.ScalingA;
    context.ScalingUnitKind = condition.ScalingUnitKind;
    context.ScalingUnitText = condition.ScalingUnitText;
    return context;
}
