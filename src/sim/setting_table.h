#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/command_line.h"
#include "sim/header_pattern.h"
#include "sim/model_table.h"
#include "sim/status_model.h"

// Headers of the settings the instrument itself consults while measuring.
namespace SimHeader {
inline constexpr const char* kAutoRange = "[SENSe:]RESistance:RANGe:AUTO";
inline constexpr const char* kLowPower = "[SENSe:]RESistance:LP:STATe";
inline constexpr const char* kLimitState = ":CALCulate:LIMit:STATe";
inline constexpr const char* kLimitMode = ":CALCulate:LIMit:MODE";
inline constexpr const char* kLimitUpper = ":CALCulate:LIMit:UPPer";
inline constexpr const char* kLimitLower = ":CALCulate:LIMit:LOWer";
inline constexpr const char* kLimitReference = ":CALCulate:LIMit:REFerence";
inline constexpr const char* kLimitPercent = ":CALCulate:LIMit:PERCent";
inline constexpr const char* kScalingState = ":CALCulate:SCALing:STATe";
inline constexpr const char* kScalingA = ":CALCulate:SCALing:PARameterA";
inline constexpr const char* kScalingB = ":CALCulate:SCALing:PARameterB";
inline constexpr const char* kTriggerSource = ":TRIGger:SOURce";
inline constexpr const char* kHeader = ":SYSTem:HEADer";
inline constexpr const char* kZeroAdjustEnable = ":ADJust:ENABle";
} // namespace SimHeader

// Which instruments know a command.
enum class ESimAvailability { All, Extended, Not2048, Only2048, Mux };

[[nodiscard]] bool IsAvailable(ESimAvailability availability, const SimModel& model);

enum class ESimFieldKind {
    OnOff, // "ON"/"OFF"; accepts 0, 1, ON, OFF
    Choice, // one vocabulary word
    ChoiceOrText, // a vocabulary word, or a text in double quotes
    Integer,
    Real, // written with Format
    Text, // written in double quotes
};

struct SimFieldDef {
    ESimFieldKind Kind = ESimFieldKind::OnOff;
    std::vector<const char*> Choices; // vocabulary (mixed case: upper case is the short form)
    const char* Format = "%.6E"; // reals only
    const char* Default = "OFF"; // in the form the query answers
    bool Bounded = false; // integers and reals: the instrument takes only values from Min to Max
    double Min = 0.0;
    double Max = 0.0;
};

// Settings reached by a key (the first argument): a number in [KeyMin, KeyMax] or one of KeyNames.
struct SimSettingDef {
    const char* Pattern;
    ESimAvailability Availability = ESimAvailability::All;
    std::vector<SimFieldDef> Fields;
    int KeyMin = 0;
    int KeyMax = -1; // no key when below KeyMin and KeyNames is empty
    std::vector<const char*> KeyNames;
    bool EchoKey = false; // the query answer starts with the key
    bool HasKey() const { return KeyMax >= KeyMin || !KeyNames.empty(); }
};

const std::vector<SimSettingDef>& SettingTable();

// The stored values of every plain setting, in the text form the instrument answers.
class CSettingStore {
public:
    CSettingStore();

    void Reset();
    // Index of the table entry whose pattern matches the header; -1 when none does.
    [[nodiscard]] int Find(const std::string& header, const SimModel& model) const;
    // What is wrong with the command (None: it was taken); nothing changes unless it was taken.
    [[nodiscard]] ESimError Set(int index, const SimCommand& command);
    [[nodiscard]] ESimError Query(int index, const SimCommand& command, std::string& answer) const;

    // Typed views by pattern (exactly as written in the table) for the instrument's own use.
    [[nodiscard]] std::string Field(const char* pattern, int key = 0, size_t field = 0) const;
    [[nodiscard]] bool Flag(const char* pattern, int key = 0) const;
    [[nodiscard]] double Real(const char* pattern, int key = 0, size_t field = 0) const;
    [[nodiscard]] int64_t Integer(const char* pattern, int key = 0, size_t field = 0) const;
    // Position of the stored word in the field's vocabulary (-1 for a text).
    [[nodiscard]] int ChoiceIndex(const char* pattern, int key = 0) const;
    void SetField(const char* pattern, const std::string& answerText, int key = 0, size_t field = 0);

private:
    using Values = std::vector<std::string>;

    [[nodiscard]] int IndexOf(const char* pattern) const;
    [[nodiscard]] ESimError ParseKey(const SimSettingDef& def, const std::string& text, int& key) const;
    [[nodiscard]] const Values& ValuesOf(int index, int key) const;

    std::vector<CHeaderPattern> m_patterns;
    std::vector<std::map<int, Values>> m_values; // per table entry, per key
    std::vector<Values> m_defaults;
};

// Canonical answer text of one argument for a field; the error says why an argument does not fit.
[[nodiscard]] ESimError NormaliseField(const SimFieldDef& field, const std::string& argument, std::string& text);
