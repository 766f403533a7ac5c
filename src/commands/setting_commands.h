#pragma once

// The front-terminal setting commands that follow one pattern with one header and one field: a
// table with a row per command and one class template per pattern. The commands with several
// values are in front_value_commands.h.

#include <cstdint>

#include "commands/communicate_vx.h"
#include "commands/vocabulary.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"

using FieldOfRecord = int32_t& (*)(MeasSetData&);

// Pattern 1: an on/off setting. Header2048 replaces Header on the VX6208 when it is given.
struct SSwitchRow {
    const char* Header;
    const char* Header2048;
    FieldOfRecord Field;
};

// Pattern 2: a setting sent as one of `Count` vocabulary texts from `First`; OffsetOf maps the
// field to its text (out of range: nothing is sent), ValueOf maps the text read back to the field.
struct SChoiceRow {
    const char* Header;
    int First;
    int Count;
    int (*OffsetOf)(int32_t value);
    int32_t (*ValueOf)(int offset);
    FieldOfRecord Field;
    bool WaitOnVx6207Group; // the VX6207 group needs a pause after this setting
};

// A range sent as its vocabulary text and read back by comparing values, not texts.
struct SRangeRow {
    const char* Header;
    int (*First)(int32_t modelCode);
    int (*Count)(int32_t modelCode);
    FieldOfRecord Field;
};

template <const SSwitchRow& Row> class CCommunicateSwitch final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override { return SendSwitch(Header(), Row.Field(*m_settings)); }
    [[nodiscard]] bool ReadSetting() override { return ReadSwitch(Header(), Row.Field(*m_settings)); }

private:
    const char* Header() const
    {
        return Row.Header2048 != nullptr && ModelCode() == kModelVx6208 ? Row.Header2048 : Row.Header;
    }
};

template <const SChoiceRow& Row> class CCommunicateChoice final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override
    {
        const int offset = Row.OffsetOf(Row.Field(*m_settings));
        if (offset < 0 || offset >= Row.Count || !SendChoice(Row.Header, Row.First + offset))
            return false;
        if (Row.WaitOnVx6207Group && Vx6207GroupModel(ModelCode()))
            m_link.Pause(kVx6207GroupWaitMs);
        return true;
    }
    [[nodiscard]] bool ReadSetting() override
    {
        int offset = 0;
        if (!ReadChoice(Row.Header, Row.First, Row.Count, offset))
            return false;
        Row.Field(*m_settings) = Row.ValueOf(offset);
        return true;
    }

private:
    static constexpr int kVx6207GroupWaitMs = 250;
};

template <const SRangeRow& Row> class CCommunicateRangeText final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override
    {
        const int32_t index = Row.Field(*m_settings);
        if (index < 0 || index >= Row.Count(ModelCode()))
            return false; // no text to send for an index outside the model's list
        return SendChoice(Row.Header, Row.First(ModelCode()) + index);
    }
    // A reply equal to none of the model's ranges fails the read and leaves the field as it was.
    [[nodiscard]] bool ReadSetting() override
    {
        double value = 0.0;
        if (!QueryDouble(Row.Header, value))
            return false;
        const int first = Row.First(ModelCode());
        for (int i = 0; i < Row.Count(ModelCode()); ++i) {
            if (StrToDoubleC(VocabularyText(first + i)) == value) {
                Row.Field(*m_settings) = i;
                return true;
            }
        }
        return false;
    }
};

namespace FrontRows {

inline constexpr int SameOffset(int32_t value) { return value; }
inline constexpr int32_t SameValue(int offset) { return offset; }
inline constexpr int FlagOffset(int32_t value) { return value != 0 ? 1 : 0; }

// clang-format off
inline constexpr SSwitchRow kAutoRange { "RESistance:RANGe:AUTO", nullptr,
    [](MeasSetData& d) -> int32_t& { return d.Front.Cond.AutoRange; } };
inline constexpr SSwitchRow kOvc { "RESistance:OVC", "RESistance:AOVC",
    [](MeasSetData& d) -> int32_t& { return d.Front.Cond.Ovc; } };
inline constexpr SSwitchRow k100MPrec { "RESistance:PRECision", nullptr,
    [](MeasSetData& d) -> int32_t& { return d.Front.Cond.HighAccuracy100M; } };
inline constexpr SSwitchRow kLowPower { "RESistance:LP:STATe", nullptr,
    [](MeasSetData& d) -> int32_t& { return d.Front.Cond.LowPower; } };
inline constexpr SSwitchRow kContactCheck { "RESistance:CONTactcheck", nullptr,
    [](MeasSetData& d) -> int32_t& { return d.Front.Cond.ContactCheck; } };
inline constexpr SSwitchRow kLpContactCheck { "RESistance:LP:CONTactcheck", nullptr,
    [](MeasSetData& d) -> int32_t& { return d.Front.Cond.LpContactCheck; } };
inline constexpr SSwitchRow kContactImprv { "RESistance:CIMProve", nullptr,
    [](MeasSetData& d) -> int32_t& { return d.Front.Cond.ContactImprove; } };
inline constexpr SSwitchRow kPureResistance { ":SENSe:RESistance:PR:STATe", nullptr,
    [](MeasSetData& d) -> int32_t& { return d.Front.Cond.PureResistance; } };
inline constexpr SSwitchRow kStatistics { ":CALCulate:STATistics:STATe", nullptr,
    [](MeasSetData& d) -> int32_t& { return d.Front.Statistics; } };
inline constexpr SSwitchRow kAutoHold { "HOLD:AUTO", nullptr,
    [](MeasSetData& d) -> int32_t& { return d.Front.AutoHold; } };
inline constexpr SSwitchRow kAutoSelfCalib { ":SYSTem:CALibration:AUTO", nullptr,
    [](MeasSetData& d) -> int32_t& { return d.Front.SelfCalb; } };

inline constexpr SChoiceRow kSpeed { ":SAMPle:RATE", Vocab::kSpeed, Vocab::kSpeedCount, SameOffset, SameValue,
    [](MeasSetData& d) -> int32_t& { return d.Front.Cond.Speed; }, false };
inline constexpr SChoiceRow kMeasCurr { "RESistance:CURRent", Vocab::kCurrentHigh, 2, FlagOffset, SameValue,
    [](MeasSetData& d) -> int32_t& { return d.Front.Cond.MeasCurrLow; }, false };
// "ERROR" (on) comes first in the vocabulary.
inline constexpr SChoiceRow kOverRangeError { ":SENSe:RESistance:ERRor:OVER", Vocab::kOverRangeError, 2,
    [](int32_t value) { return value == 1 ? 0 : 1; }, [](int offset) { return offset == 0 ? 1 : 0; },
    [](MeasSetData& d) -> int32_t& { return d.Front.OverRangeError; }, false };
inline constexpr SChoiceRow kCurrentErrorMode { ":SENSe:RESistance:ERRor:CURRentcheck", Vocab::kCurrentError, 2,
    SameOffset, SameValue, [](MeasSetData& d) -> int32_t& { return d.Front.CurrentErrorMode; }, true };

inline constexpr SRangeRow kRange { "RESistance:RANGe",
    [](int32_t model) { return ExtendedRangeModel(model) ? Vocab::kExtendedRange : Vocab::kNormalRange; },
    [](int32_t model) { return ExtendedRangeModel(model) ? Vocab::kExtendedRangeCount : Vocab::kNormalRangeCount; },
    [](MeasSetData& d) -> int32_t& { return d.Front.Cond.Range; } };
inline constexpr SRangeRow kLpRange { "RESistance:LP:RANGe",
    [](int32_t) { return Vocab::kLowPowerRange; }, [](int32_t) { return Vocab::kLowPowerRangeCount; },
    [](MeasSetData& d) -> int32_t& { return d.Front.Cond.LoPowerRange; } };
// clang-format on

} // namespace FrontRows

using CCommunicateAutoRange = CCommunicateSwitch<FrontRows::kAutoRange>;
using CCommunicateOvc = CCommunicateSwitch<FrontRows::kOvc>;
using CCommunicate100MPrec = CCommunicateSwitch<FrontRows::k100MPrec>;
using CCommunicateLowPower = CCommunicateSwitch<FrontRows::kLowPower>;
using CCommunicateContactCheck = CCommunicateSwitch<FrontRows::kContactCheck>;
using CCommunicateLpContactCheck = CCommunicateSwitch<FrontRows::kLpContactCheck>;
using CCommunicateContactImprv = CCommunicateSwitch<FrontRows::kContactImprv>;
using CCommunicatePureResistance = CCommunicateSwitch<FrontRows::kPureResistance>;
using CCommunicateStatistics = CCommunicateSwitch<FrontRows::kStatistics>;
using CCommunicateAutoHold = CCommunicateSwitch<FrontRows::kAutoHold>;
using CCommunicateAutoSelfCalib = CCommunicateSwitch<FrontRows::kAutoSelfCalib>;
using CCommunicateSpeed = CCommunicateChoice<FrontRows::kSpeed>;
using CCommunicateMeasCurr = CCommunicateChoice<FrontRows::kMeasCurr>;
using CCommunicateOverRangeError = CCommunicateChoice<FrontRows::kOverRangeError>;
using CCommunicateCurrentErrorMode = CCommunicateChoice<FrontRows::kCurrentErrorMode>;
using CCommunicateRange = CCommunicateRangeText<FrontRows::kRange>;
using CCommunicateLpRange = CCommunicateRangeText<FrontRows::kLpRange>;
