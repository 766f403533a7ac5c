#include "uilogic/mux_paste.h"

#include "settings/model_info.h"
#include "uilogic/condition_logic.h"

namespace {

constexpr const char* kItemNames[kPasteItems] = { "MUX CH Enable", "MUX CH Name", "MUX UNIT", "Inst.", "0ALL", "Range",
    "Speed", "Meas. Current Low", "OVC", "Contact Check", "Contact Improve", "Average", "Delay", "Comparator",
    "Delta T", "TC", "A-TC", "Scaling", "0ADJ" };

void CopyRange(int32_t model, const MeasCondition& from, MeasCondition& to)
{
    to.AutoRange = from.AutoRange;
    to.Range = from.Range;
    to.HighAccuracy100M = from.HighAccuracy100M;
    to.PureResistance = from.PureResistance;
    if (model != kModelVx6208) {
        to.LoPowerRange = from.LoPowerRange;
        to.LowPower = from.LowPower;
    }
}

void CopyComparator(const MeasCondition& from, MeasCondition& to, int channel)
{
    // Channel 1 cannot refer to itself: it takes the limits but keeps its own comparator state.
    if (!(channel == 0 && from.CompRefCh1 != 0)) {
        to.CompOn = from.CompOn;
        to.CompMode = from.CompMode;
        to.CompRefCh1 = from.CompRefCh1;
    } else {
        to.CompRefCh1 = 0;
    }
    to.CompUpper = from.CompUpper;
    to.CompLower = from.CompLower;
    to.PassCondition = from.PassCondition;
}

void CopyAtc(const MeasCondition& from, MeasCondition& to)
{
    to.AtcOn = from.AtcOn;
    to.AtcT0 = from.AtcT0;
    to.AtcAlpha = from.AtcAlpha;
    to.AtcR1 = from.AtcR1;
    to.AtcT1 = from.AtcT1;
    to.AtcTcr = from.AtcTcr;
    to.AtcUnit = from.AtcUnit;
    to.AtcTermA = from.AtcTermA;
    to.AtcTermB = from.AtcTermB;
    to.AtcSpeed = from.AtcSpeed;
    to.AtcAutoRange = from.AtcAutoRange;
    to.AtcRange = from.AtcRange;
    to.AtcDelayOn = from.AtcDelayOn;
    to.AtcDelayTime = from.AtcDelayTime;
    to.AtcAvgOn = from.AtcAvgOn;
    to.AtcAvgCount = from.AtcAvgCount;
    to.AtcOvc = from.AtcOvc;
    to.AtcPureResistance = from.AtcPureResistance;
    to.AtcMeasCurrLow = from.AtcMeasCurrLow;
    to.AtcContactCheck = from.AtcContactCheck;
    to.AtcContactImprove = from.AtcContactImprove;
    to.AtcHighAccuracy100M = from.AtcHighAccuracy100M;
    to.AtcK = from.AtcK;
}

void CopyZeroAdjust(int32_t model, const MeasCondition& from, MeasCondition& to)
{
    const int n0 = ZeroAdjustRangeCount(model);
    for (int i = 0; i < n0; ++i) {
        const auto k = static_cast<size_t>(i);
        to.ZeroAdjOn[k] = from.ZeroAdjOn[k];
        to.ZeroAdjValue[k] = from.ZeroAdjValue[k];
        to.LpZeroAdjOn[k] = from.LpZeroAdjOn[k];
        to.LpZeroAdjValue[k] = from.LpZeroAdjValue[k];
    }
}

// Whether a restriction refuses the item for the target as it stands.
bool Refused(int item, const MuxClip& clip, const MeasCondition& target)
{
    const auto& chosen = clip.Items;
    const MeasCondition& from = clip.Cond;
    if (item == kPiRange)
        return !chosen[kPiComparator] && from.AutoRange != 0 && target.CompOn != 0;
    if (item == kPiComparator && from.CompOn != 0) {
        const bool overAuto = !chosen[kPiRange] && target.AutoRange != 0;
        const bool overDeltaT = !chosen[kPiDeltaT] && target.DeltaTOn != 0;
        return overAuto || overDeltaT;
    }
    return false;
}

// What a temperature item switched on clears in the target (items being pasted are left alone).
void ClearExcluded(int item, int32_t model, const MuxClip& clip, MeasCondition& target)
{
    const auto& chosen = clip.Items;
    const bool atc = model == kModelVx6208;
    if (item == kPiDeltaT && clip.Cond.DeltaTOn != 0) {
        if (!chosen[kPiTc])
            target.TcOn = 0;
        if (!chosen[kPiComparator])
            target.CompOn = 0;
        if (atc && !chosen[kPiAtc])
            target.AtcOn = 0;
    } else if (item == kPiTc && clip.Cond.TcOn != 0) {
        if (!chosen[kPiDeltaT])
            target.DeltaTOn = 0;
        if (atc && !chosen[kPiAtc])
            target.AtcOn = 0;
    } else if (item == kPiAtc && atc && clip.Cond.AtcOn != 0) {
        if (!chosen[kPiDeltaT])
            target.DeltaTOn = 0;
        if (!chosen[kPiTc])
            target.TcOn = 0;
    }
}

void CopyPinItem(int item, const MuxPinSet& from, MuxPinSet& to)
{
    switch (item) {
    case kPiEnable:
        to.Enable = from.Enable;
        break;
    case kPiName:
        to.Name = from.Name;
        break;
    case kPiUnit:
        to.Unit = from.Unit;
        break;
    case kPiInst:
        to.Inst = from.Inst;
        break;
    case kPiZeroAll:
        to.ZeroAll = from.ZeroAll;
        break;
    default:
        break;
    }
}

void CopyItem(int item, int32_t model, const MuxClip& clip, MuxPinSet& pins, MeasCondition& to, int channel)
{
    if (item <= kPiZeroAll) {
        CopyPinItem(item, clip.Pins, pins);
        return;
    }
    const MeasCondition& from = clip.Cond;
    switch (item) {
    case kPiRange:
        CopyRange(model, from, to);
        break;
    case kPiSpeed:
        to.Speed = from.Speed;
        break;
    case kPiMeasCurrLow:
        to.MeasCurrLow = from.MeasCurrLow;
        break;
    case kPiOvc:
        to.Ovc = from.Ovc;
        break;
    case kPiContactCheck:
        to.ContactCheck = from.ContactCheck;
        if (model != kModelVx6208)
            to.LpContactCheck = from.LpContactCheck;
        break;
    case kPiContactImprove:
        to.ContactImprove = from.ContactImprove;
        break;
    case kPiAverage:
        to.AvgOn = from.AvgOn;
        to.AvgCount = from.AvgCount;
        break;
    case kPiDelay:
        to.DelayOn = from.DelayOn;
        to.DelayTime = from.DelayTime;
        break;
    case kPiComparator:
        CopyComparator(from, to, channel);
        break;
    case kPiDeltaT:
        to.DeltaTOn = from.DeltaTOn;
        to.DtT1 = from.DtT1;
        to.DtR1 = from.DtR1;
        to.DtK = from.DtK;
        break;
    case kPiTc:
        to.TcOn = from.TcOn;
        to.TcT0 = from.TcT0;
        to.TcAlpha = from.TcAlpha;
        break;
    case kPiAtc:
        if (model == kModelVx6208)
            CopyAtc(from, to);
        break;
    case kPiScaling:
        to.ScalingOn = from.ScalingOn;
        to.ScalingA = from.ScalingA;
        to.ScalingB = from.ScalingB;
        to.ScalingUnitKind = from.ScalingUnitKind;
        to.ScalingUnitText = from.ScalingUnitText;
        break;
    case kPiZeroAdj:
        CopyZeroAdjust(model, from, to);
        break;
    default:
        break;
    }
}

} // namespace

const char* PasteItemName(int item)
{
    return item >= 0 && item < kPasteItems ? kItemNames[item] : "";
}

std::string PasteItemCaption(int item, int32_t model)
{
    return item == kPiOvc && model == kModelVx6208 ? "A-OVC" : PasteItemName(item);
}

std::string PasteInto(int32_t model, const MuxClip& clip, MuxPinSet& pins, MeasCondition& cond, int channel)
{
    const MeasCondition before = cond;
    std::string refused;
    for (int item = 0; item < kPasteItems; ++item) {
        if (!clip.Items[static_cast<size_t>(item)])
            continue;
        if (Refused(item, clip, cond)) {
            refused += std::string(PasteItemName(item)) + ",";
            continue;
        }
        CopyItem(item, model, clip, pins, cond, channel);
        ClearExcluded(item, model, clip, cond);
    }
    // Zero-adjust values belong to the measurement state they were taken in; pasted values were
    // taken in the copied state and are kept.
    const bool stateChanged = cond.Ovc != before.Ovc || cond.MeasCurrLow != before.MeasCurrLow
        || cond.HighAccuracy100M != before.HighAccuracy100M
        || (model != kModelVx6208 && cond.LowPower != before.LowPower);
    if (stateChanged && !clip.Items[kPiZeroAdj]) {
        const bool lowPower = cond.LowPower != 0 && model != kModelVx6208;
        ClearZeroAdj(lowPower ? cond.LpZeroAdjOn : cond.ZeroAdjOn, lowPower ? cond.LpZeroAdjValue : cond.ZeroAdjValue,
            ZeroAdjustRangeCount(model));
    }
    if (!refused.empty())
        refused.pop_back();
    return refused;
}

bool CLumpSetLogic::AnyChosen() const
{
    for (const bool item : Items) {
        if (item)
            return true;
    }
    return false;
}

void CLumpSetLogic::SetAll(bool on)
{
    for (int item = 0; item < kPasteItems; ++item) {
        if (ItemEnabled(item))
            Items[static_cast<size_t>(item)] = on;
    }
}
