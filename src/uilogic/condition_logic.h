#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "acquisition/process_data.h"
#include "settings/meas_set_data.h"

// The condition rules shared by the front page, the MUX page and the A-TC settings: the display
// formats of the numeric settings, the conversion between value texts and the instrument's counts,
// the exclusion refusals and the zero-adjust clear question. Every number is formatted and read in
// the "C" convention, whatever the operator's locale.

inline constexpr const char* kBinNeedsFixedRange = "BIN not available when Auto-Range is enabled.";
inline constexpr const char* kComparatorRefused
    = "Comparator not available when Auto-Range, DeltaT, or BIN is enabled.";
inline constexpr const char* kAutoRangeRefused = "Auto-Range not available when Comparator or BIN is enabled.";
inline constexpr const char* kZeroAdjustClear = "0 adjustment data is cleared. OK?";
inline constexpr const char* kZeroAdjustRange = "Please set 0Adj-value at less than 50% of full scale.";
inline constexpr const char* kRangeAbs = "The set value is out of range. Please set at [0 <= x <= 9G]";
inline constexpr const char* kRangeRef = "The set value is out of range. Please set at [0 < x <= 9G]";
inline constexpr const char* kUpperLower
    = "The upper and/or lower threshold values are incorrect.  Please set [UPP >= LOW].";
inline constexpr const char* kUnitCharacters = "Please use 0-9 or A-z.";
inline constexpr const char* kUnitLength = "Please set character string length <= %d.";

// "%04.1f" for a positive temperature, "%05.1f" otherwise (0 reads 000.0, 23 reads 23.0).
std::string FormatTemperature(double value);
// "%05.1f" for a positive coefficient, "%06.1f" otherwise.
std::string FormatK(double value);
// "%05d" for a positive coefficient, "%06d" otherwise (3930 reads 03930, -5 reads -00005).
std::string FormatAlpha(int32_t value);
std::string FormatDelay(int32_t value);

// An exponent form with the exponent's leading zero removed: 1.00000e+00 reads 1.00000e+0, while
// 1.00000e+100 keeps its three digits.
std::string TrimExponentZero(const std::string& text);

// R1 and B are kept in steps of 10^-9. Values outside the accepted bounds are left as typed so
// that the check that follows refuses them (truncating them to a count would overflow).
double NormaliseR1(double value);
std::string FormatR1(double value);
double NormaliseScalingB(double value);
std::string FormatScalingB(double value);

// A is shown as a four-decimal mantissa and a decimal exponent (0.5 reads 0.5000e+0, 0.0002 reads
// 0.2000e-3). The mantissa is cut to four decimals; values beyond the bounds keep their size.
double NormaliseScalingA(double value);
std::string FormatScalingA(double value);

// The text of a count at a range: formatted with the range's format and cut to its display length.
std::string CountToText(const RangeContext& context, int range, int64_t count);
// The percentage of a REF% lower limit (thousandths of a percent), "%06.3f" cut to 6 characters.
std::string PercentToText(int64_t thousandths);

// Reading a limit text back: false for a text that is no number or a negative one (the counts
// themselves cap at 9G, so a negative value must be refused before converting).
[[nodiscard]] bool TextToCount(const RangeContext& context, int range, const std::string& text, int64_t& count);
// A REF% percentage text to thousandths; false outside 0..99.999.
[[nodiscard]] bool TextToPercent(const std::string& text, int64_t& thousandths);

// A zero-adjust value text to the instrument's integer form at a range; false beyond the bound
// (50 000 000 for the normal set, 5 000 000 for the low-power set), checked before any narrowing.
[[nodiscard]] bool ZeroAdjustTextToValue(
    const RangeContext& context, int range, bool lowPowerSet, const std::string& text, int32_t& value);
std::string ZeroAdjustValueToText(const RangeContext& context, int range, int32_t value);

// The user unit may hold only 0-9, A-Z, a-z and "_".
[[nodiscard]] bool ValidUnitCharacters(const std::string& text);

// The exclusion rules, applied while the operator edits one condition.
struct ExclusionState {
    bool AutoRange = false;
    int CompChoice = 0; // 0 "OFF", 1 "ABS", 2 "REF%"
    bool DeltaTOn = false;
    bool TcOn = false;
    bool Statistics = false;
    bool BinOn = false;
};

// Each returns the refusal text, or an empty text when the change was accepted (and applied).
std::string TurnDeltaT(ExclusionState& state, bool on);
std::string TurnTc(ExclusionState& state, bool on);
std::string TurnStatistics(ExclusionState& state, bool on);
std::string TurnBin(ExclusionState& state, bool on);
std::string ChooseComparator(ExclusionState& state, int choice);
std::string ChooseAutoRange(ExclusionState& state);

// The range texts of the checks: "The set value is out of range. Please set at [...]".
std::string IntRangeText(int low, int high);
std::string FloatRangeText(double low, double high);
std::string ExpRangeText(double low, double high);

// Checks of a condition's numbers, each failure reported with its control and "<name> <range>";
// every test is run, and the result is true only when all pass.
using NumberFault = std::function<void(int control, const std::string& text)>;
[[nodiscard]] bool CheckConditionNumbers(const MeasCondition& c, const NumberFault& fail);

// The A-TC sensor channel's settings, checked like every other condition (controls of the A-TC
// settings dialog).
enum AtcControl : int {
    kAtcSpeed = 1012,
    kAtcRange = 1011,
    kAtcOvc = 1015,
    kAtcPureResistance = 1167,
    kAtcMeasCurrLow = 1032,
    kAtcContactCheck = 1018,
    kAtcContactImprove = 1020,
    kAtcT0 = 1101,
    kAtcAlpha = 1104,
    kAtcT1 = 1093,
    kAtcR1 = 1128,
    kAtcTcr = 1177,
    kAtcUnit = 1181,
    kAtcTermA = 1183,
    kAtcTermB = 1185,
    kAtcDelay = 1024,
    kAtcDelayTime = 1079,
    kAtcAverage = 1021,
    kAtcAvgCount = 1076,
};
[[nodiscard]] bool CheckAtcNumbers(int32_t model, const MeasCondition& c, const NumberFault& fail);

// Reads the condition's numeric edits (controls 1076, 1079, 1093, 1128, 1099, 1101, 1104, 1106,
// 1108; the user unit 1110 is only checked for its length) into the condition; stops at the first
// text that does not read, reporting its control and the field-exchange message.
[[nodiscard]] bool ReadConditionTexts(
    const std::map<int, std::string>& texts, MeasCondition& c, const NumberFault& fail);

// One row of a zero-adjust list: the entry (range index) it shows, its flag and texts.
struct ZeroAdjRow {
    int On = 0;
    int Entry = 0;
    std::string Range, Value, Unit;
};

// The condition's numeric edits shown with their formats; R1, A and B are normalised first.
void ShowConditionNumbers(MeasCondition& c, std::map<int, std::string>& texts);
// A range choice (0 "AUTO", n the range n - 1) and the contact check box stored into the
// condition: the low-power range and check under low power, else the normal ones.
void StoreRangeChoice(MeasCondition& c, bool lowPower, int rangeChoice, int contactCheck);
// The shown zero-adjust rows fill the set's flags and values; false with the first refused row.
[[nodiscard]] bool CollectZeroAdjRows(const std::vector<ZeroAdjRow>& rows, const RangeContext& context,
    bool lowPowerSet, std::array<int32_t, kZeroAdjSlots>& on, std::array<int32_t, kZeroAdjSlots>& values,
    int& failedRow);
// The zero-adjust rows' texts from the set.
void ShowZeroAdjRows(std::vector<ZeroAdjRow>& rows, const RangeContext& context,
    const std::array<int32_t, kZeroAdjSlots>& on, const std::array<int32_t, kZeroAdjSlots>& values);
// Whether any of the first n entries is on; clearing them empties flags and values.
bool AnyZeroAdjOn(const std::array<int32_t, kZeroAdjSlots>& on, int n);
void ClearZeroAdj(std::array<int32_t, kZeroAdjSlots>& on, std::array<int32_t, kZeroAdjSlots>& values, int n);
