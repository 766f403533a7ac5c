#include "commands/front_value_commands.h"

#include <cstring>
#include <limits>

#include "commands/quoted_text.h"
#include "commands/vocabulary.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

constexpr const char* kAverageState = ":CALCulate:AVERage:STATe";
constexpr const char* kAverageCount = ":CALCulate:AVERage:COUNt";
constexpr const char* kDelayAuto = ":TRIGger:DELay:AUTO";
constexpr const char* kDelay = ":TRIGger:DELay";
constexpr const char* kTcState = ":CALCulate:TCORrect:STATe";
constexpr const char* kTcParameter = ":CALCulate:TCORrect:PARameter";
constexpr const char* kDeltaTState = ":CALCulate:TCONversion:DELTa:STATe";
constexpr const char* kDeltaTParameter = ":CALCulate:TCONversion:DELTa:PARameter";
constexpr const char* kScalingState = ":CALCulate:SCALing:STATe";
constexpr const char* kScalingA = ":CALCulate:SCALing:PARameterA";
constexpr const char* kScalingB = ":CALCulate:SCALing:PARameterB";
constexpr const char* kScalingUnit = ":CALCulate:SCALing:UNIT";
constexpr const char* kAdjustSet = ":ADJust:SET";
constexpr const char* kAdjustGet = ":ADJust:GET";
constexpr const char* kLimitState = ":CALCulate:LIMit:STATe";
constexpr const char* kLimitMode = ":CALCulate:LIMit:MODE";
constexpr const char* kLimitReference = ":CALCulate:LIMit:REFerence";
constexpr const char* kLimitPercent = ":CALCulate:LIMit:PERCent";
constexpr const char* kLimitUpper = ":CALCulate:LIMit:UPPer";
constexpr const char* kLimitLower = ":CALCulate:LIMit:LOWer";
constexpr const char* kBeeper = ":CALCulate:LIMit:BEEPer";
constexpr const char* kBinState = ":CALCulate:BIN:STATe";
constexpr const char* kBinEnable = ":CALCulate:BIN:ENABle";
constexpr const char* kBinMode = ":CALCulate:BIN:MODE";
constexpr const char* kBinReference = ":CALCulate:BIN:REFerence";
constexpr const char* kBinPercent = ":CALCulate:BIN:PERCent";
constexpr const char* kBinUpper = ":CALCulate:BIN:UPPer";
constexpr const char* kBinLower = ":CALCulate:BIN:LOWer";

constexpr double kNano = 1e9; // comparator values are held in units of 1e-9
constexpr double kMilli = 1000.0; // REF% percentages in thousandths, delays in ms
constexpr int kFrontLowPowerRanges = 4;
constexpr size_t kUnitBufferBytes = 8; // the user unit travels as 8-bit text of at most 7 bytes

const char* ModeText(bool reference) { return VocabularyText(reference ? Vocab::kReference : Vocab::kAbsolute); }

// The comparator's (and a BIN entry's) upper value or reference, and lower value or percentage,
// as sent: ohms, or the percentage.
double UpperForWire(int64_t upper) { return static_cast<double>(upper) / kNano; }
double LowerForWire(int64_t lower, bool reference) { return static_cast<double>(lower) / (reference ? kMilli : kNano); }
template <typename T> constexpr int64_t kLowest = std::numeric_limits<T>::min();
template <typename T> constexpr int64_t kHighest = std::numeric_limits<T>::max();

} // namespace

bool CCommunicateAverage::SendSetting()
{
    const MeasCondition& cond = m_settings->Front.Cond;
    return SendSwitch(kAverageState, cond.AvgOn) && SendLine(FormatC("%s %d", kAverageCount, cond.AvgCount));
}

bool CCommunicateAverage::ReadSetting()
{
    MeasCondition& cond = m_settings->Front.Cond;
    int64_t count = 0;
    if (!ReadSwitch(kAverageState, cond.AvgOn) || !QueryBounded(kAverageCount, 0, kHighest<int32_t>, count))
        return false;
    cond.AvgCount = static_cast<int32_t>(count);
    return true;
}

bool CCommunicateDelay::SendSetting()
{
    const MeasCondition& cond = m_settings->Front.Cond;
    // The instrument's switch is the preset delay, so a user delay switches it off.
    return SendLine(FormatC("%s %d", kDelayAuto, cond.DelayOn != 0 ? 0 : 1))
        && SendLine(FormatC("%s %04f", kDelay, cond.DelayTime / kMilli));
}

bool CCommunicateDelay::ReadSetting()
{
    MeasCondition& cond = m_settings->Front.Cond;
    bool presetDelay = false;
    if (!m_link.QueryContains(kDelayAuto, presetDelay, "ON", true))
        return false;
    cond.DelayOn = presetDelay ? 0 : 1;
    int64_t ms = 0;
    if (!QueryScaled(kDelay, kMilli, 0, kHighest<int16_t>, ms))
        return false;
    cond.DelayTime = static_cast<int16_t>(ms);
    return true;
}

bool CCommunicateTc::SendSetting()
{
    const MeasCondition& cond = m_settings->Front.Cond;
    return SendSwitch(kTcState, cond.TcOn) && SendLine(FormatC("%s %.02f,%d", kTcParameter, cond.TcT0, cond.TcAlpha));
}

bool CCommunicateTc::ReadSetting()
{
    MeasCondition& cond = m_settings->Front.Cond;
    std::string reply;
    int64_t alpha = 0;
    if (!ReadSwitch(kTcState, cond.TcOn) || !Query(kTcParameter, reply) || !SplitReply(reply, 2)
        || !TokenBounded(1, kLowest<int32_t>, kHighest<int32_t>, alpha))
        return false;
    cond.TcT0 = TokenDouble(0);
    cond.TcAlpha = static_cast<int32_t>(alpha);
    return true;
}

bool CCommunicateDeltaT::SendSetting()
{
    const MeasCondition& cond = m_settings->Front.Cond;
    return SendSwitch(kDeltaTState, cond.DeltaTOn)
        && SendLine(FormatC("%s %e,%.02f,%.02f", kDeltaTParameter, cond.DtR1, cond.DtT1, cond.DtK));
}

bool CCommunicateDeltaT::ReadSetting()
{
    MeasCondition& cond = m_settings->Front.Cond;
    std::string reply;
    if (!ReadSwitch(kDeltaTState, cond.DeltaTOn) || !Query(kDeltaTParameter, reply) || !SplitReply(reply, 3))
        return false;
    cond.DtR1 = TokenDouble(0);
    cond.DtT1 = TokenDouble(1);
    cond.DtK = TokenDouble(2);
    return true;
}

bool CCommunicateScale::SendSetting()
{
    const MeasCondition& cond = m_settings->Front.Cond;
    if (!SendSwitch(kScalingState, cond.ScalingOn) || !SendLine(FormatC("%s %e", kScalingA, cond.ScalingA))
        || !SendLine(FormatC("%s %e", kScalingB, cond.ScalingB)))
        return false;
    if (cond.ScalingUnitKind == 2) {
        char unit[kUnitBufferBytes] {};
        std::strncpy(unit, cond.ScalingUnitText.c_str(), sizeof unit - 1);
        return SendLine(FormatC("%s %s", kScalingUnit, QuotedText(unit).c_str()));
    }
    if (cond.ScalingUnitKind != 0 && cond.ScalingUnitKind != 1)
        return false; // no unit word for other kinds
    return SendChoice(kScalingUnit, Vocab::kUnitOhm + cond.ScalingUnitKind);
}

bool CCommunicateScale::ReadSetting()
{
    MeasCondition& cond = m_settings->Front.Cond;
    double a = 0.0;
    double b = 0.0;
    std::string unit;
    if (!ReadSwitch(kScalingState, cond.ScalingOn) || !QueryDouble(kScalingA, a))
        return false;
    cond.ScalingA = a;
    if (!QueryDouble(kScalingB, b))
        return false;
    cond.ScalingB = b;
    if (!Query(kScalingUnit, unit))
        return false;
    if (unit == VocabularyText(Vocab::kUnitOhm)) {
        cond.ScalingUnitKind = 0;
    } else if (unit == VocabularyText(Vocab::kUnitOff)) {
        cond.ScalingUnitKind = 1;
    } else {
        cond.ScalingUnitKind = 2;
        // The record holds three characters; a longer unit from the instrument is cut there.
        cond.ScalingUnitText = UnquotedText(unit).substr(0, kMaxUnitText);
    }
    return true;
}

bool CCommunicate0Adj::SendSetting()
{
    const MeasCondition& cond = m_settings->Front.Cond;
    const bool lowPower = cond.LowPower != 0;
    const int ranges = lowPower ? kFrontLowPowerRanges : ZeroAdjustRangeCount(ModelCode());
    for (int i = 0; i < ranges; ++i) {
        const auto index = static_cast<size_t>(i);
        const bool on = (lowPower ? cond.LpZeroAdjOn[index] : cond.ZeroAdjOn[index]) != 0;
        const long value = on ? (lowPower ? cond.LpZeroAdjValue[index] : cond.ZeroAdjValue[index]) : kNoAdjustValue;
        if (!SendLine(FormatC("%s %d,%ld", kAdjustSet, i, value)))
            return false;
    }
    return true;
}

bool CCommunicate0Adj::ReadSetting()
{
    MeasCondition& cond = m_settings->Front.Cond;
    const bool lowPower = cond.LowPower != 0;
    const int ranges = lowPower ? kFrontLowPowerRanges : ZeroAdjustRangeCount(ModelCode());
    for (int i = 0; i < ranges; ++i) {
        const auto index = static_cast<size_t>(i);
        std::string reply;
        int64_t value = 0;
        // A missing or garbled answer fails the read: taken as 0 it would overwrite the
        // instrument's adjustment when the record is written back.
        if (!QueryIndexed(kAdjustGet, i, reply) || !ParseInt64C(reply, value) || value < kLowest<int32_t>
            || value > kHighest<int32_t>)
            return false;
        const bool on = value != kNoAdjustValue;
        (lowPower ? cond.LpZeroAdjOn[index] : cond.ZeroAdjOn[index]) = on ? 1 : 0;
        (lowPower ? cond.LpZeroAdjValue[index] : cond.ZeroAdjValue[index]) = on ? static_cast<int32_t>(value) : 0;
    }
    return true;
}

bool CCommunicateComparator::SendSetting()
{
    const MeasCondition& cond = m_settings->Front.Cond;
    const bool reference = cond.CompMode != 0;
    if (!SendLine(FormatC("%s %d", kLimitState, cond.CompOn != 0 ? 1 : 0))
        || !SendLine(FormatC("%s %s", kLimitMode, ModeText(reference))))
        return false;
    return SendLine(FormatC("%s %e", reference ? kLimitReference : kLimitUpper, UpperForWire(cond.CompUpper)))
        && SendLine(FormatC("%s %e", reference ? kLimitPercent : kLimitLower, LowerForWire(cond.CompLower, reference)));
}

bool CCommunicateComparator::ReadSetting()
{
    MeasCondition& cond = m_settings->Front.Cond;
    int mode = 0;
    if (!ReadSwitch(kLimitState, cond.CompOn) || !ReadChoice(kLimitMode, Vocab::kAbsolute, 2, mode))
        return false;
    cond.CompMode = mode;
    const bool reference = mode != 0;
    int64_t upper = 0;
    int64_t lower = 0;
    if (!QueryScaled(reference ? kLimitReference : kLimitUpper, kNano, kLowest<int64_t>, kHighest<int64_t>, upper)
        || !QueryScaled(reference ? kLimitPercent : kLimitLower, reference ? kMilli : kNano, kLowest<int64_t>,
            kHighest<int64_t>, lower))
        return false;
    cond.CompUpper = upper;
    cond.CompLower = lower;
    return true;
}

bool CCommunicateBeepHiInLo::SendSetting()
{
    for (int i = 0; i < Vocab::kBeepEventCount; ++i) {
        const BeepSetting& beep = m_settings->Front.Beep[static_cast<size_t>(i)];
        if (!SendLine(FormatC("%s %s,%d,%d", kBeeper, VocabularyText(Vocab::kBeepEvent + i), beep.Tone, beep.Count)))
            return false;
    }
    return true;
}

bool CCommunicateBeepHiInLo::ReadSetting()
{
    for (int i = 0; i < Vocab::kBeepEventCount; ++i) {
        std::string reply;
        int64_t tone = 0;
        int64_t count = 0;
        if (!QueryWithText(kBeeper, VocabularyText(Vocab::kBeepEvent + i), reply) || !SplitReply(reply, 3)
            || !TokenBounded(1, kLowest<int32_t>, kHighest<int32_t>, tone)
            || !TokenBounded(2, kLowest<int32_t>, kHighest<int32_t>, count))
            return false;
        BeepSetting& beep = m_settings->Front.Beep[static_cast<size_t>(i)];
        beep.Tone = static_cast<int32_t>(tone);
        beep.Count = static_cast<int32_t>(count);
    }
    return true;
}

bool CCommunicateBin::SendSetting()
{
    const FrontSetData& front = m_settings->Front;
    int32_t mask = 0;
    for (int i = 0; i < kBinBits; ++i)
        mask |= front.BinBit[static_cast<size_t>(i)].On != 0 ? (1 << i) : 0;
    if (!SendLine(FormatC("%s %d", kBinState, front.BinOn != 0 ? 1 : 0))
        || !SendLine(FormatC("%s %d", kBinEnable, mask)))
        return false;
    for (int i = 0; i < kBinBits; ++i) {
        const BinBitSet& entry = front.BinBit[static_cast<size_t>(i)];
        const bool reference = entry.Mode == 1;
        if (!SendLine(FormatC("%s %d,%s", kBinMode, i, ModeText(reference)))
            || !SendLine(FormatC("%s %d,%e", reference ? kBinReference : kBinUpper, i, UpperForWire(entry.Upper)))
            || !SendLine(FormatC("%s %d,%e", reference ? kBinPercent : kBinLower, i,
                LowerForWire(entry.Lower, reference))))
            return false;
    }
    return true;
}

bool CCommunicateBin::ReadSetting()
{
    FrontSetData& front = m_settings->Front;
    int64_t mask = 0;
    if (!ReadSwitch(kBinState, front.BinOn) || !QueryBounded(kBinEnable, 0, (int64_t { 1 } << kBinBits) - 1, mask))
        return false;
    for (int i = 0; i < kBinBits; ++i)
        front.BinBit[static_cast<size_t>(i)].On = ((mask >> i) & 1) != 0 ? 1 : 0;
    for (int i = 0; i < kBinBits; ++i) {
        BinBitSet& entry = front.BinBit[static_cast<size_t>(i)];
        std::string reply;
        if (!QueryIndexed(kBinMode, i, reply) || !SplitReply(reply, 1))
            return false;
        if (reply != ModeText(false) && reply != ModeText(true))
            return false;
        const bool reference = reply == ModeText(true);
        entry.Mode = reference ? 1 : 0;
        double value = 0.0;
        int64_t upper = 0;
        if (!QueryIndexed(reference ? kBinReference : kBinUpper, i, reply) || !ParseDoubleC(reply, value)
            || !ScaledStep(value, kNano, kLowest<int64_t>, kHighest<int64_t>, upper))
            return false;
        int64_t lower = 0;
        if (!QueryIndexed(reference ? kBinPercent : kBinLower, i, reply) || !ParseDoubleC(reply, value)
            || !ScaledStep(value, reference ? kMilli : kNano, kLowest<int64_t>, kHighest<int64_t>, lower))
            return false;
        entry.Upper = upper;
        entry.Lower = lower;
    }
    return true;
}
