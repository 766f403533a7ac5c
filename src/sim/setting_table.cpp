#include "sim/setting_table.h"

#include <algorithm>
#include <cmath>

#include "settings/numeric_locale.h"

namespace {

using Kind = ESimFieldKind;
using Avail = ESimAvailability;

SimFieldDef OnOff(const char* initial)
{
    return { Kind::OnOff, {}, "", initial };
}
SimFieldDef Choice(std::vector<const char*> words, const char* initial)
{
    return { Kind::Choice, std::move(words), "", initial };
}
SimFieldDef Integer(const char* initial)
{
    return { Kind::Integer, {}, "", initial };
}
SimFieldDef Real(const char* format, const char* initial)
{
    return { Kind::Real, {}, format, initial };
}

// The field taking only values from min to max.
SimFieldDef Within(SimFieldDef field, double min, double max)
{
    field.Bounded = true;
    field.Min = min;
    field.Max = max;
    return field;
}

SimSettingDef Setting(const char* pattern, Avail availability, std::vector<SimFieldDef> fields)
{
    SimSettingDef def;
    def.Pattern = pattern;
    def.Availability = availability;
    def.Fields = std::move(fields);
    return def;
}

// A setting reached by a number from first to last as its first argument.
SimSettingDef Indexed(const char* pattern, std::vector<SimFieldDef> fields, int first, int last, bool echoKey)
{
    SimSettingDef def = Setting(pattern, Avail::All, std::move(fields));
    def.KeyMin = first;
    def.KeyMax = last;
    def.EchoKey = echoKey;
    return def;
}

// A setting reached by a name as its first argument, which its answer repeats.
SimSettingDef Named(const char* pattern, std::vector<SimFieldDef> fields, std::vector<const char*> names)
{
    SimSettingDef def = Setting(pattern, Avail::All, std::move(fields));
    def.KeyNames = std::move(names);
    def.EchoKey = true;
    return def;
}

const SimFieldDef kZeroReal = Real("%.6E", "0.000000E+00");
const std::vector<const char*> kLimitModes { "ABSOLUTE", "REFERENCE" };
const std::vector<const char*> kBeepEvents { "HI", "IN", "LO", "PASS", "FAIL" };
constexpr int kBinEntries = 10;
constexpr int kPanels = 38;

std::vector<SimSettingDef> BuildTable()
{
    return {
        Setting(SimHeader::kAutoRange, Avail::All, { OnOff("ON") }),
        Setting("[SENSe:]RESistance:OVC", Avail::Not2048, { OnOff("OFF") }),
        Setting("[SENSe:]RESistance:AOVC", Avail::Only2048, { OnOff("OFF") }),
        Setting("[SENSe:]RESistance:PRECision", Avail::All, { OnOff("OFF") }),
        Setting(SimHeader::kLowPower, Avail::Not2048, { OnOff("OFF") }),
        Setting("[SENSe:]RESistance:CONTactcheck", Avail::All, { OnOff("ON") }),
        Setting("[SENSe:]RESistance:LP:CONTactcheck", Avail::Not2048, { OnOff("OFF") }),
        Setting("[SENSe:]RESistance:CIMProve", Avail::All, { OnOff("OFF") }),
        Setting("[SENSe:]RESistance:PR:STATe", Avail::Extended, { OnOff("OFF") }),
        Setting("[SENSe:]RESistance:CURRent", Avail::All, { Choice({ "HIGH", "LOW" }, "HIGH") }),
        Setting("[SENSe:]RESistance:ERRor:OVER", Avail::Extended, { Choice({ "ERROR", "NORMAL" }, "NORMAL") }),
        Setting("[SENSe:]RESistance:ERRor:CURRentcheck", Avail::All, { Choice({ "ERROR", "OVER" }, "ERROR") }),
        Setting(":SAMPle:RATE", Avail::All, { Choice({ "SLOW2", "SLOW1", "MEDIUM", "FAST" }, "SLOW2") }),
        Setting(":CALCulate:AVERage:STATe", Avail::All, { OnOff("OFF") }),
        Setting(":CALCulate:AVERage:COUNt", Avail::All, { Within(Integer("10"), 2, 100) }),
        Setting(":TRIGger:DELay:AUTO", Avail::All, { OnOff("ON") }),
        Setting(":TRIGger:DELay", Avail::All, { Within(Real("%.3f", "0.000"), 0.0, 9.999) }),
        Setting(SimHeader::kLimitState, Avail::All, { OnOff("OFF") }),
        Setting(SimHeader::kLimitMode, Avail::All, { Choice(kLimitModes, "ABSOLUTE") }),
        Setting(SimHeader::kLimitReference, Avail::All, { kZeroReal }),
        Setting(SimHeader::kLimitPercent, Avail::All, { kZeroReal }),
        Setting(SimHeader::kLimitUpper, Avail::All, { kZeroReal }),
        Setting(SimHeader::kLimitLower, Avail::All, { kZeroReal }),
        Named(":CALCulate:LIMit:BEEPer", { Within(Integer("0"), 0, 3), Within(Integer("2"), 0, 5) }, kBeepEvents),
        Setting(":CALCulate:TCORrect:STATe", Avail::All, { OnOff("OFF") }),
        Setting(":CALCulate:TCORrect:PARameter", Avail::All,
            { Within(Real("%.2f", "20.00"), -10.0, 99.9), Within(Integer("3930"), -99999, 99999) }),
        Setting(":CALCulate:TCONversion:DELTa:STATe", Avail::All, { OnOff("OFF") }),
        Setting(":CALCulate:TCONversion:DELTa:PARameter", Avail::All,
            { Within(Real("%.6E", "1.000000E+00"), 1e-9, 9e9), Within(Real("%.2f", "23.00"), -10.0, 99.9),
                Within(Real("%.2f", "235.00"), -999.9, 999.9) }),
        Setting(SimHeader::kScalingState, Avail::All, { OnOff("OFF") }),
        Setting(SimHeader::kScalingA, Avail::All, { Within(Real("%.6E", "1.000000E+00"), 2e-4, 1999.9) }),
        Setting(SimHeader::kScalingB, Avail::All, { Within(kZeroReal, -9e9, 9e9) }),
        Setting(":CALCulate:SCALing:UNIT", Avail::All, { { Kind::ChoiceOrText, { "OHM", "OFF" }, "", "OHM" } }),
        Setting(":CALCulate:STATistics:STATe", Avail::All, { OnOff("OFF") }),
        Setting("HOLD:AUTO", Avail::All, { OnOff("OFF") }),
        Setting(":SYSTem:CALibration:AUTO", Avail::All, { OnOff("ON") }),
        Setting(":CALCulate:BIN:STATe", Avail::All, { OnOff("OFF") }),
        Setting(":CALCulate:BIN:ENABle", Avail::All, { Integer("0") }),
        Indexed(":CALCulate:BIN:MODE", { Choice(kLimitModes, "ABSOLUTE") }, 0, kBinEntries - 1, false),
        Indexed(":CALCulate:BIN:REFerence", { kZeroReal }, 0, kBinEntries - 1, false),
        Indexed(":CALCulate:BIN:PERCent", { kZeroReal }, 0, kBinEntries - 1, false),
        Indexed(":CALCulate:BIN:UPPer", { kZeroReal }, 0, kBinEntries - 1, false),
        Indexed(":CALCulate:BIN:LOWer", { kZeroReal }, 0, kBinEntries - 1, false),
        Setting(":SYSTem:DATAout", Avail::All, { OnOff("ON") }),
        Setting(SimHeader::kHeader, Avail::All, { OnOff("OFF") }),
        Setting(":SYSTem:CMD:MONitor", Avail::All, { OnOff("OFF") }),
        Setting(":INITiate:CONTinuous", Avail::All, { OnOff("ON") }),
        Setting(SimHeader::kTriggerSource, Avail::All, { Choice({ "IMMediate", "EXTernal" }, "IMMEDIATE") }),
        Setting(":FACTory:CMD:EXTEND", Avail::Extended, { Integer("0") }),
        Setting(SimHeader::kZeroAdjustEnable, Avail::Mux, { OnOff("OFF") }),
        Indexed(":SYSTem:PANel:NAME", { { Kind::Text, {}, "", "\"\"" } }, 1, kPanels, true),
    };
}

ESimError NormaliseChoice(const SimFieldDef& field, const std::string& argument, std::string& text)
{
    for (const char* word : field.Choices) {
        if (MatchesWord(word, argument)) {
            text = UpperCase(word);
            return ESimError::None;
        }
    }
    return ESimError::IllegalParameterValue;
}

// Whether a number lies within the field's range; a bound written with fewer digits than the
// value still holds it.
bool WithinField(const SimFieldDef& field, double value)
{
    if (!field.Bounded)
        return true;
    const double slack = 1e-9 * std::max(std::fabs(field.Min), std::fabs(field.Max));
    return value >= field.Min - slack && value <= field.Max + slack;
}

} // namespace

bool IsAvailable(ESimAvailability availability, const SimModel& model)
{
    switch (availability) {
    case Avail::All:
        return true;
    case Avail::Extended:
        return model.Extended;
    case Avail::Not2048:
        return !model.Is2048();
    case Avail::Only2048:
        return model.Is2048();
    case Avail::Mux:
        return model.Mux;
    }
    return false;
}

const std::vector<SimSettingDef>& SettingTable()
{
    static const std::vector<SimSettingDef> table = BuildTable();
    return table;
}

ESimError NormaliseField(const SimFieldDef& field, const std::string& argument, std::string& text)
{
    switch (field.Kind) {
    case Kind::OnOff: {
        int64_t number = 0;
        if (MatchesWord("ON", argument) || MatchesWord("OFF", argument)) {
            text = UpperCase(argument);
            return ESimError::None;
        }
        if (!ParseInt64C(argument, number))
            return ESimError::IllegalParameterValue;
        text = number != 0 ? "ON" : "OFF";
        return ESimError::None;
    }
    case Kind::Choice:
        return NormaliseChoice(field, argument, text);
    case Kind::ChoiceOrText:
        if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"') {
            text = argument;
            return ESimError::None;
        }
        return NormaliseChoice(field, argument, text);
    case Kind::Integer: {
        int64_t number = 0;
        if (!ParseInt64C(argument, number))
            return ESimError::IllegalParameterValue;
        if (!WithinField(field, static_cast<double>(number)))
            return ESimError::DataOutOfRange;
        text = FormatC("%lld", static_cast<long long>(number));
        return ESimError::None;
    }
    case Kind::Real: {
        double number = 0.0;
        if (!ParseDoubleC(argument, number))
            return ESimError::IllegalParameterValue;
        if (!WithinField(field, number))
            return ESimError::DataOutOfRange;
        text = FormatC(field.Format, number);
        return ESimError::None;
    }
    case Kind::Text:
        text = "\"" + Unquote(argument) + "\"";
        return ESimError::None;
    }
    return ESimError::IllegalParameterValue;
}
