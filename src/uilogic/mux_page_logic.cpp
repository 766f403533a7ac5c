#include "uilogic/mux_page_logic.h"

#include <algorithm>

#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

constexpr const char* kSpeeds[] = { "SLOW2", "SLOW1", "MED", "FAST" };
constexpr const char* kComps[] = { "OFF", "ABS", "REF%", "CH1" };
constexpr const char* kPasses[] = { "OFF", "Hi", "IN", "Lo", "Hi-Lo", "ALL" };
constexpr int kConditionChecks[] = { kFcOvc, kFcHighAccuracy, kFcLowPower, kFcPureResistance, kFcContactImprove,
    kFcMeasCurrLow, kFcAverage, kFcDelay, kFcTc, kFcDeltaT, kFcScaling, kFcUnitKind, kMcAtc };
constexpr int kGlobalChecks[]
    = { kMcScanMethod, kMcFailStop, kMcSelfCalb, kMcOverRangeError, kMcCurrentErrorMode, kMcAutoHold };

const char* Pick(const char* const* texts, size_t count, int index)
{
    return index >= 0 && static_cast<size_t>(index) < count ? texts[index] : "";
}

// The n-th item of a choice list "A;B;C;".
std::string ChoiceAt(const std::string& list, int index)
{
    size_t start = 0;
    for (int i = 0; start < list.size(); ++i) {
        const size_t end = list.find(';', start);
        if (i == index)
            return list.substr(start, end - start);
        start = end + 1;
    }
    return {};
}

} // namespace

CMuxPageLogic::CMuxPageLogic(int32_t model, IUserPrompt& prompt)
    : m_model(model)
    , m_prompt(prompt)
{
    InitMeasSetData(Mux, model);
    m_view.OvcCaption = model == 2048 ? "A-OVC" : "OVC";
    DisplaySettings();
}

int32_t* CMuxPageLogic::Bound(int control)
{
    // The beep lists come first: 1011 and 1012 (the front's range and speed) are the PASS beep here.
    if (control >= kMcBeepTone0 && control <= kMcBeepCount4) {
        BeepSetting& beep = Mux.MuxBeep[static_cast<size_t>((control - kMcBeepTone0) / 2)];
        return (control - kMcBeepTone0) % 2 == 0 ? &beep.Tone : &beep.Count;
    }
    if (int32_t* setting = BoundConditionSetting(m_cond, control))
        return setting;
    switch (control) {
    case kMcAtc:
        return &m_cond.AtcOn;
    case kMcScanMethod:
        return &Mux.MuxScanMethod;
    case kMcFailStop:
        return &Mux.MuxFailStop;
    case kMcSelfCalb:
        return &Mux.MuxSelfCalb;
    case kMcOverRangeError:
        return &Mux.MuxOverRangeError;
    case kMcCurrentErrorMode:
        return &Mux.MuxCurrentErrorMode;
    case kMcAutoHold:
        return &Mux.MuxAutoHold;
    case kMcScan:
        return &m_scanShown;
    default:
        return nullptr;
    }
}

int CMuxPageLogic::RangeShift(const MeasCondition& c) const
{
    if (Method() == 0)
        return 0;
    if (m_model == 2048)
        return 5;
    if (LowPowerApplies(c))
        return 2;
    return ExtendedRangeModel(m_model) ? 5 : 4;
}

std::string CMuxPageLogic::RangeChoicesOf(const MeasCondition& c) const
{
    const RangeContext context = Context(c);
    const int first = RangeShift(c);
    const int last = LowPowerApplies(c) ? 3 : HighestRangeIndex(m_model, c.HighAccuracy100M != 0);
    std::string list = "AUTO;";
    for (int i = first; i <= last; ++i)
        list += CProcessData::RangeName(context, i) + ";";
    return list;
}

int CMuxPageLogic::ZeroAdjCount() const
{
    return LowPowerApplies(m_cond) ? 4 : ZeroAdjustRangeCount(m_model);
}

// In 2-wire the ranges below 100 Ω cannot be measured, so their zero-adjust entries are not shown.
int CMuxPageLogic::LowestZeroEntry() const
{
    if (Method() == 0)
        return 0;
    return LowPowerApplies(m_cond) ? 2 : LowestTwoWireRange(m_model);
}

std::array<int32_t, kZeroAdjSlots>& CMuxPageLogic::ZeroOn()
{
    return LowPowerApplies(m_cond) ? m_cond.LpZeroAdjOn : m_cond.ZeroAdjOn;
}

std::array<int32_t, kZeroAdjSlots>& CMuxPageLogic::ZeroValue()
{
    return LowPowerApplies(m_cond) ? m_cond.LpZeroAdjValue : m_cond.ZeroAdjValue;
}

void CMuxPageLogic::SelectStep(int step, bool store)
{
    const auto k = static_cast<size_t>(step);
    if (store) {
        Mux.Pins(Method())[k] = m_pins;
        Mux.Channels(Method())[k] = m_cond;
    } else {
        m_pins = Mux.Pins(Method())[k];
        m_cond = Mux.Channels(Method())[k];
    }
    m_view.StepCaption = FormatC("CH%d %s", step + 1, "settings");
}

void CMuxPageLogic::DisplaySettings()
{
    SelectStep(m_step, false);
    m_scanShown = Mux.MuxScan;
    ShowDetails();
}

// Everything shown for the current step, and the list around it.
void CMuxPageLogic::ShowDetails()
{
    const MeasCondition& c = m_cond;
    m_view.CompChoice = !c.CompOn ? 0 : c.CompRefCh1 != 0 ? 3 : c.CompMode == 0 ? 1 : 2;
    m_view.TermChoices.clear();
    const int terminals = Method() == 0 ? kTerminals4Wire : kTerminals2Wire;
    for (int t = 1; t <= terminals; ++t)
        m_view.TermChoices += FormatC("%d;", t);
    m_view.InstChoices = m_model == 2048 ? "VX6208;EXT;" : "VX6207;EXT;";
    FillRangeCell();
    PushChecks();
    BuildZeroAdjList();
    ShowNumbers();
    UpdateControlStates();
    FillStepList();
}

void CMuxPageLogic::FillRangeCell()
{
    const int n = LowPowerApplies(m_cond) ? 4 : HighestRangeIndex(m_model, m_cond.HighAccuracy100M != 0) + 1;
    m_view.RangeChoice = m_cond.AutoRange ? 0 : std::min(StoredRange(m_cond) + 1, n);
    m_view.Checks[kFcContactCheck] = LowPowerApplies(m_cond) ? m_cond.LpContactCheck : m_cond.ContactCheck;
}

void CMuxPageLogic::PushChecks()
{
    for (const int control : kConditionChecks)
        m_view.Checks[control] = *Bound(control);
    for (const int control : kGlobalChecks)
        m_view.Checks[control] = *Bound(control);
    for (int control = kMcBeepTone0; control <= kMcBeepCount4; ++control)
        m_view.Checks[control] = *Bound(control);
    m_view.Checks[kMcScan] = m_scanShown;
    m_view.Checks[kMcMethod] = Method();
}

void CMuxPageLogic::FillStepList()
{
    for (int row = 0; row < kMuxChannels; ++row)
        FillStepRow(row);
}

void CMuxPageLogic::FillStepRow(int row)
{
    const auto k = static_cast<size_t>(row);
    const bool current = row == m_step;
    const MuxPinSet& pins = current ? m_pins : Mux.Pins(Method())[k];
    const MeasCondition& c = current ? m_cond : Mux.Channels(Method())[k];
    MuxPageView::StepRow& shown = m_view.Steps[k];
    shown.Enable = pins.Enable;
    shown.RangeChoices = RangeChoicesOf(c);
    auto& cells = shown.Cells;
    cells[kScChannel] = FormatC("%d", row + 1);
    cells[kScName] = pins.Name;
    cells[kScUnit] = pins.Unit == 0 ? "UNIT1" : "UNIT2";
    cells[kScTermA] = FormatC("%d", pins.TermA);
    cells[kScTermB] = FormatC("%d", pins.TermB);
    cells[kScInst] = pins.Inst != 0 ? "EXT" : m_model == 2048 ? "VX6208" : "VX6207";
    cells[kScZeroAll] = pins.ZeroAll != 0 ? "ON" : "OFF";
    cells[kScSpeed] = Pick(kSpeeds, 4, c.Speed);
    const int rangeChoice = current ? m_view.RangeChoice : c.AutoRange ? 0 : StoredRange(c) + 1;
    cells[kScRange] = ChoiceAt(shown.RangeChoices, rangeChoice == 0 ? 0 : rangeChoice - RangeShift(c));
    const int comp = current ? m_view.CompChoice : !c.CompOn ? 0 : c.CompRefCh1 != 0 ? 3 : c.CompMode == 0 ? 1 : 2;
    cells[kScComp] = Pick(kComps, 4, comp);
    const RangeContext context = Context(c);
    const int range = current ? ShownRange() : StoredRange(c);
    const bool ref = c.CompMode != 0;
    cells[kScUpper] = CountToText(context, range, c.CompUpper);
    cells[kScUpperUnit] = CProcessData::UnitLabel(context, range);
    cells[kScLower] = ref ? PercentToText(c.CompLower) : CountToText(context, range, c.CompLower);
    cells[kScLowerUnit] = ref || (current && comp >= 2) ? "%" : cells[kScUpperUnit];
    cells[kScPass] = Pick(kPasses, 6, c.PassCondition);
    if (current) {
        m_shownUpper = cells[kScUpper];
        m_shownLower = cells[kScLower];
    }
}

void CMuxPageLogic::BuildZeroAdjList()
{
    const int count = ZeroAdjCount();
    m_view.Zero.clear();
    if (m_view.RangeChoice != 0) {
        const int entry = m_view.RangeChoice - 1;
        if (entry < count)
            m_view.Zero.push_back({ 0, entry, {}, {}, {} });
    } else {
        for (int i = LowestZeroEntry(); i < count; ++i)
            m_view.Zero.push_back({ 0, i, {}, {}, {} });
    }
    ShowZeroAdjust();
}

void CMuxPageLogic::ShowZeroAdjust()
{
    ShowZeroAdjRows(m_view.Zero, Context(m_cond), ZeroOn(), ZeroValue());
}

void CMuxPageLogic::ShowComparator()
{
    FillStepRow(m_step);
}

void CMuxPageLogic::ShowNumbers()
{
    ShowConditionNumbers(m_cond, m_view.Texts);
}

void CMuxPageLogic::UpdateControlStates()
{
    const MeasCondition& c = m_cond;
    auto& on = m_view.Enabled;
    for (const int control : kConditionChecks)
        on[control] = true;
    for (const int control : kGlobalChecks)
        on[control] = true;
    for (int control = kMcBeepTone0; control <= kMcBeepCount4; control += 2)
        on[control] = true;
    for (const int control : { int(kMcScan), int(kMcMethod), int(kMcStepList), int(kFcZeroList), int(kMcCopy) })
        on[control] = true;
    on[kMcScanMethod] = m_scanShown != 0;
    ConditionControlStates(m_model, c, on);
    if (m_view.RangeChoice == 0 || c.DeltaTOn != 0) {
        m_view.CompChoice = 0;
        m_cond.CompOn = 0;
    }
    on[kMcAtc] = m_model == 2048;
    on[kMcAtcSettings] = m_model == 2048 && c.AtcOn != 0;
    for (int i = 0; i < kBeepEvents; ++i)
        on[kMcBeepTone0 + 2 * i + 1] = Mux.MuxBeep[static_cast<size_t>(i)].Tone != 0;
    on[kMcPaste] = on[kMcPasteAll] = m_canPaste;
    on[kFcContactCheck] = Method() == 0;
}

void CMuxPageLogic::Fail(int control, int row, int column, const std::string& text)
{
    ErrorControl = control;
    ErrorRow = row;
    ErrorColumn = column;
    ErrorText = text;
}

void CMuxPageLogic::SelectErrorStep()
{
    if (ErrorStep < 0 || ErrorStep >= kMuxChannels)
        return;
    m_step = ErrorStep;
    SelectStep(m_step, false);
    ShowDetails();
}
