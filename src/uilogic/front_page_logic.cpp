#include "uilogic/front_page_logic.h"

#include <algorithm>

#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

constexpr const char* kOhmSuffix = " \xCE\xA9";
constexpr int kPushedChecks[] = { kFcOvc, kFcHighAccuracy, kFcLowPower, kFcPureResistance, kFcAutoHold,
    kFcContactImprove, kFcMeasCurrLow, kFcSelfCalb, kFcStatistics, kFcOverRangeError, kFcCurrentErrorMode, kFcAverage,
    kFcDelay, kFcTc, kFcDeltaT, kFcScaling, kFcUnitKind, kFcBin, kFcSpeed };
constexpr int kBeepTones[3] = { kFcBeepTone0, kFcBeepTone1, kFcBeepTone2 };
constexpr int kBeepCounts[3] = { kFcBeepCount0, kFcBeepCount1, kFcBeepCount2 };

bool StandardModel(int32_t model)
{
    return model == 8 || model == 9 || model == 10 || model == 12;
}

} // namespace

std::string JoinMessage(const std::string& head, const std::string& text)
{
    return head + " : " + text;
}

int32_t* BoundConditionSetting(MeasCondition& c, int control)
{
    switch (control) {
    case kFcOvc:
        return &c.Ovc;
    case kFcHighAccuracy:
        return &c.HighAccuracy100M;
    case kFcLowPower:
        return &c.LowPower;
    case kFcPureResistance:
        return &c.PureResistance;
    case kFcContactImprove:
        return &c.ContactImprove;
    case kFcMeasCurrLow:
        return &c.MeasCurrLow;
    case kFcAverage:
        return &c.AvgOn;
    case kFcDelay:
        return &c.DelayOn;
    case kFcTc:
        return &c.TcOn;
    case kFcDeltaT:
        return &c.DeltaTOn;
    case kFcScaling:
        return &c.ScalingOn;
    case kFcUnitKind:
        return &c.ScalingUnitKind;
    case kFcSpeed:
        return &c.Speed;
    default:
        return nullptr;
    }
}

// Every setting the page binds to one check box or drop list, by control number.
int32_t* BoundSetting(FrontSetData& front, int control)
{
    if (int32_t* setting = BoundConditionSetting(front.Cond, control))
        return setting;
    switch (control) {
    case kFcAutoHold:
        return &front.AutoHold;
    case kFcSelfCalb:
        return &front.SelfCalb;
    case kFcStatistics:
        return &front.Statistics;
    case kFcOverRangeError:
        return &front.OverRangeError;
    case kFcCurrentErrorMode:
        return &front.CurrentErrorMode;
    case kFcBin:
        return &front.BinOn;
    default:
        break;
    }
    for (int i = 0; i < 3; ++i) {
        if (control == kBeepTones[i])
            return &front.Beep[static_cast<size_t>(i)].Tone;
        if (control == kBeepCounts[i])
            return &front.Beep[static_cast<size_t>(i)].Count;
    }
    return nullptr;
}

CFrontPageLogic::CFrontPageLogic(int32_t model, IUserPrompt& prompt)
    : m_model(model)
    , m_prompt(prompt)
{
    InitFrontSetData(Front, model);
    m_view.OvcCaption = model == 2048 ? "A-OVC" : "OVC";
    DisplaySettings();
}

int CFrontPageLogic::RangeCount() const
{
    if (LowPowerApplies())
        return 4;
    return HighestRangeIndex(m_model, Front.Cond.HighAccuracy100M != 0) + 1;
}

int CFrontPageLogic::ZeroAdjCount() const
{
    return LowPowerApplies() ? 4 : ZeroAdjustRangeCount(m_model);
}

int CFrontPageLogic::CurrentRange() const
{
    return LowPowerApplies() ? Front.Cond.LoPowerRange : Front.Cond.Range;
}

std::array<int32_t, kZeroAdjSlots>& CFrontPageLogic::ZeroOn()
{
    return LowPowerApplies() ? Front.Cond.LpZeroAdjOn : Front.Cond.ZeroAdjOn;
}

std::array<int32_t, kZeroAdjSlots>& CFrontPageLogic::ZeroValue()
{
    return LowPowerApplies() ? Front.Cond.LpZeroAdjValue : Front.Cond.ZeroAdjValue;
}

void CFrontPageLogic::DisplaySettings()
{
    const MeasCondition& c = Front.Cond;
    m_view.CompChoice = !c.CompOn ? 0 : c.CompMode == 0 ? 1 : 2;
    FillRangeList();
    PushChecks();
    BuildZeroAdjList();
    ShowBinTable();
    ShowComparator();
    ShowNumbers();
    UpdateControlStates();
}

void CFrontPageLogic::FillRangeList()
{
    const RangeContext context = Context();
    const int n = RangeCount();
    m_view.RangeItems.assign(1, "AUTO");
    for (int i = 0; i < n; ++i)
        m_view.RangeItems.push_back(CProcessData::RangeName(context, i) + kOhmSuffix);
    m_view.RangeChoice = Front.Cond.AutoRange ? 0 : std::min(CurrentRange() + 1, n);
    m_view.Checks[kFcContactCheck] = LowPowerApplies() ? Front.Cond.LpContactCheck : Front.Cond.ContactCheck;
}

void CFrontPageLogic::CollectRange()
{
    if (m_model != 0)
        StoreRangeChoice(Front.Cond, LowPowerApplies(), m_view.RangeChoice, m_view.Checks[kFcContactCheck]);
}

void CFrontPageLogic::PushChecks()
{
    for (const int control : kPushedChecks)
        m_view.Checks[control] = *BoundSetting(Front, control);
    for (int i = 0; i < 3; ++i) {
        m_view.Checks[kBeepTones[i]] = *BoundSetting(Front, kBeepTones[i]);
        m_view.Checks[kBeepCounts[i]] = *BoundSetting(Front, kBeepCounts[i]);
    }
}

void CFrontPageLogic::BuildZeroAdjList()
{
    const int count = ZeroAdjCount();
    m_view.Zero.clear();
    if (m_view.RangeChoice != 0) {
        const int entry = m_view.RangeChoice - 1;
        if (entry < count)
            m_view.Zero.push_back({ 0, entry, {}, {}, {} });
    } else {
        for (int i = 0; i < count; ++i)
            m_view.Zero.push_back({ 0, i, {}, {}, {} });
    }
    ShowZeroAdjust();
}

void CFrontPageLogic::ShowZeroAdjust()
{
    ShowZeroAdjRows(m_view.Zero, Context(), ZeroOn(), ZeroValue());
}

void CFrontPageLogic::ShowBinTable()
{
    const RangeContext context = Context();
    const int range = CurrentRange();
    const std::string unit = CProcessData::UnitLabel(context, range);
    for (size_t i = 0; i < kBinBits; ++i) {
        const BinBitSet& bit = Front.BinBit[i];
        FrontPageView::BinRow& row = m_view.Bin[i];
        row.On = bit.On;
        row.Mode = bit.Mode == 0 ? "ABS" : "REF%";
        row.Upper = CountToText(context, range, bit.Upper);
        row.UpperUnit = unit;
        row.Lower = bit.Mode != 0 ? PercentToText(bit.Lower) : CountToText(context, range, bit.Lower);
        row.LowerUnit = bit.Mode != 0 ? "%" : unit;
        m_shownUpper[i] = row.Upper;
        m_shownLower[i] = row.Lower;
    }
}

void CFrontPageLogic::ShowComparator()
{
    const RangeContext context = Context();
    const MeasCondition& c = Front.Cond;
    const int range = ShownRange();
    m_shownCompUpper = CountToText(context, range, c.CompUpper);
    m_shownCompLower = c.CompMode != 0 ? PercentToText(c.CompLower) : CountToText(context, range, c.CompLower);
    m_view.Texts[kFcCompUpper] = m_shownCompUpper;
    m_view.Texts[kFcCompLower] = m_shownCompLower;
    const std::string unit = CProcessData::UnitLabel(context, range);
    m_view.Texts[kFcUpperUnit] = unit;
    m_view.Texts[kFcLowerUnit] = m_view.CompChoice == 2 || c.CompMode != 0 ? "%" : unit;
}

void CFrontPageLogic::ShowNumbers()
{
    ShowConditionNumbers(Front.Cond, m_view.Texts);
}

// The enable rules of a condition's controls that both pages share.
void ConditionControlStates(int32_t model, const MeasCondition& c, std::map<int, bool>& on)
{
    if (model == 2048) {
        on[kFcLowPower] = false;
    } else {
        for (const int control : { kFcOvc, kFcHighAccuracy, kFcContactImprove })
            on[control] = c.LowPower == 0;
    }
    if (StandardModel(model)) {
        on[kFcOverRangeError] = false;
        on[kFcPureResistance] = false;
    }
    on[kFcAvgCount] = c.AvgOn != 0;
    on[kFcDelayTime] = c.DelayOn != 0;
    for (const int control : { kFcDtT1, kFcDtR1, kFcDtK })
        on[control] = c.DeltaTOn != 0;
    on[kFcTcT0] = on[kFcTcAlpha] = c.TcOn != 0;
    for (const int control : { kFcScalingA, kFcScalingB, kFcUnitKind })
        on[control] = c.ScalingOn != 0;
    on[kFcUnitText] = c.ScalingOn != 0 && c.ScalingUnitKind == 2;
}

void CFrontPageLogic::UpdateControlStates()
{
    const MeasCondition& c = Front.Cond;
    auto& on = m_view.Enabled;
    for (const int control : kPushedChecks)
        on[control] = true;
    for (const int control : { kFcRange, kFcContactCheck, kFcComparator, kFcBeepTone0, kFcBeepTone1, kFcBeepTone2 })
        on[control] = true;
    ConditionControlStates(m_model, c, on);
    const bool compValues = m_view.RangeChoice != 0 && !c.DeltaTOn && !Front.BinOn && m_view.CompChoice != 0;
    on[kFcCompUpper] = on[kFcCompLower] = compValues;
    on[kFcBinList] = Front.BinOn != 0;
    on[kFcZeroList] = true;
    for (int i = 0; i < 3; ++i)
        on[kBeepCounts[i]] = Front.Beep[static_cast<size_t>(i)].Tone != 0;
    on[kFcRange] = m_view.CompChoice == 0 && !Front.BinOn;
}

void CFrontPageLogic::Fail(int control, int row, int column, const std::string& text)
{
    ErrorControl = control;
    ErrorRow = row;
    ErrorColumn = column;
    ErrorText = text;
}
