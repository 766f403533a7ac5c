#include "uilogic/mux_page_logic.h"

#include <cstdlib>

#include "settings/model_info.h"
#include "settings/numeric_locale.h"
#include "uilogic/field_exchange.h"

namespace {

constexpr int kNumericEdits[] = { kFcAvgCount, kFcDelayTime, kFcDtT1, kFcDtR1, kFcDtK, kFcTcT0, kFcTcAlpha, kFcScalingA,
    kFcScalingB, kFcUnitText };

} // namespace

void CMuxPageLogic::Refresh()
{
    ShowDetails();
}

bool CMuxPageLogic::ConfirmZeroAdjustClear()
{
    (void)CollectZeroAdjust(); // a refused cell keeps its stored value; the question is about the stored ones
    const int n0 = ZeroAdjustRangeCount(m_model);
    if (!AnyZeroAdjOn(ZeroOn(), n0))
        return true;
    if (!m_prompt.AskYesNo(kZeroAdjustClear)) {
        m_prompt.ShowMessage(kChangeInvalid);
        return false;
    }
    ClearZeroAdj(ZeroOn(), ZeroValue(), n0);
    return true;
}

// Delta T, TC and A-TC exclude each other; Delta T also turns the comparator off.
void CMuxPageLogic::TurnTemperatureCorrection(int control, bool on)
{
    MeasCondition& c = m_cond;
    const int32_t value = on ? 1 : 0;
    const bool atc = m_model == 2048;
    if (control == kFcDeltaT) {
        c.DeltaTOn = value;
        if (on) {
            m_view.CompChoice = 0;
            c.CompOn = 0;
            c.TcOn = 0;
            c.AtcOn = atc ? 0 : c.AtcOn;
        }
    } else if (control == kFcTc) {
        c.TcOn = value;
        if (on) {
            c.DeltaTOn = 0;
            c.AtcOn = atc ? 0 : c.AtcOn;
        }
    } else {
        c.AtcOn = atc ? value : 0;
        if (on && atc) {
            c.DeltaTOn = 0;
            c.TcOn = 0;
        }
    }
}

void CMuxPageLogic::SetCheck(int control, bool on)
{
    const std::map<int, std::string> typed = m_view.Texts;
    const bool textsRead = ReadTexts();
    MeasCondition& c = m_cond;
    const int32_t value = on ? 1 : 0;
    const bool atc = m_model == 2048;
    switch (control) {
    case kFcDeltaT:
    case kFcTc:
    case kMcAtc:
        TurnTemperatureCorrection(control, on);
        break;
    case kFcPureResistance:
        if (on && LowPowerApplies(c)) {
            CollectRange(); // keep the operator's low-power range before leaving low power
            c.LowPower = 0;
        }
        c.PureResistance = value;
        break;
    case kFcLowPower:
        if (atc)
            break;
        CollectRange();
        c.LowPower = value;
        c.PureResistance = 0;
        break;
    case kFcOvc:
    case kFcMeasCurrLow:
        if (!ConfirmZeroAdjustClear())
            break; // declined: the setting keeps its previous state
        (control == kFcOvc ? c.Ovc : c.MeasCurrLow) = value;
        if (control == kFcOvc && on && atc)
            c.AvgOn = 1;
        break;
    case kFcContactCheck:
        m_view.Checks[kFcContactCheck] = value;
        CollectRange();
        break;
    default:
        if (int32_t* setting = Bound(control))
            *setting = value;
        break;
    }
    RedisplayAfter(textsRead, typed);
}

// Every handler first reads the edits, so that a number typed but not yet left is neither lost
// nor overwritten by the redisplay; a text that does not read stays as typed.
void CMuxPageLogic::RedisplayAfter(bool textsRead, const std::map<int, std::string>& typed)
{
    Refresh();
    if (!textsRead) {
        for (const int edit : kNumericEdits)
            m_view.Texts[edit] = typed.at(edit);
    }
}

void CMuxPageLogic::Choose(int control, int index)
{
    if (control == kMcMethod) {
        (void)ChangeMethod(index); // a refusal is recorded for the page to report
        return;
    }
    const std::map<int, std::string> typed = m_view.Texts;
    const bool textsRead = ReadTexts();
    if (int32_t* setting = Bound(control))
        *setting = index;
    RedisplayAfter(textsRead, typed);
}

void CMuxPageLogic::EditText(int control, const std::string& text)
{
    m_view.Texts[control] = text;
    if (control != kFcUnitText)
        return;
    if (!ValidUnitCharacters(text)) {
        m_view.Texts[control].clear();
        m_prompt.ShowMessage(kUnitCharacters);
    } else if (text.size() <= kMaxUnitText) {
        m_cond.ScalingUnitText = text;
    }
}

void CMuxPageLogic::LeaveEdit(int control)
{
    (void)control;
    if (!ReadTexts()) {
        m_prompt.ShowMessage(ErrorText);
        return;
    }
    ShowNumbers();
    ShowComparator();
}

bool CMuxPageLogic::ChangeRow(int row)
{
    if (row == m_step || row < 0 || row >= kMuxChannels)
        return true;
    // The step's entries must be taken before another step is loaded over them.
    if (!ExchangeStep())
        return false;
    Mux.MuxScan = m_scanShown;
    SelectStep(m_step, true);
    m_step = row;
    SelectStep(row, false);
    m_scanShown = Mux.MuxScan;
    Refresh();
    return true;
}

bool CMuxPageLogic::ChangeMethod(int method)
{
    if (method == Method() || method < 0 || method > 1)
        return true;
    if (!ExchangeStep())
        return false;
    SelectStep(m_step, true);
    bool ok = true;
    auto& channels = Mux.Channels(Method());
    for (int k = 0; k < kMuxChannels; ++k)
        ok = CheckChannel(channels[static_cast<size_t>(k)], k) && ok;
    if (!ok) {
        m_view.Checks[kMcMethod] = Method();
        return false;
    }
    Mux.MuxMeasMethod = method;
    m_canPaste = false;
    SelectStep(m_step, false);
    Refresh();
    return true;
}

void CMuxPageLogic::CheckStepRow(int row, bool on)
{
    if (row < 0 || row >= kMuxChannels)
        return;
    Mux.Pins(Method())[static_cast<size_t>(row)].Enable = on ? 1 : 0;
    if (row == m_step)
        m_pins.Enable = on ? 1 : 0;
    FillStepRow(row);
}

void CMuxPageLogic::CollectPinCell(int column, const std::string& text)
{
    MuxPinSet& p = m_pins;
    switch (column) {
    case kScName:
        if (!ValidUnitCharacters(text)) {
            m_prompt.ShowMessage(kUnitCharacters);
            p.Name = FormatC("CH%d", m_step + 1);
        } else {
            p.Name = text.substr(0, kMaxChannelName);
        }
        break;
    case kScUnit:
        p.Unit = text == "UNIT1" ? 0 : 1;
        break;
    case kScTermA:
        p.TermA = std::atoi(text.c_str());
        break;
    case kScTermB:
        p.TermB = std::atoi(text.c_str());
        break;
    case kScInst:
        p.Inst = text == "VX6207" || text == "VX6207A" || text == "VX6208" ? 0 : 1;
        break;
    case kScZeroAll:
        p.ZeroAll = text == "ON" ? 1 : 0;
        break;
    default:
        break;
    }
    Mux.Pins(Method())[static_cast<size_t>(m_step)] = m_pins;
}

void CMuxPageLogic::EditRangeCell(int index)
{
    int choice = index == 0 ? 0 : index + RangeShift(m_cond);
    if (m_view.CompChoice != 0) {
        m_prompt.ShowMessage(kRangeLocked);
        choice = StoredRange(m_cond) + 1;
    }
    m_view.RangeChoice = choice;
    CollectRange();
}

void CMuxPageLogic::EditCompCell(int index)
{
    int choice = index;
    if (index != 0 && (m_view.RangeChoice == 0 || m_cond.DeltaTOn != 0)) {
        choice = 0;
        m_prompt.ShowMessage(kMuxComparatorRefused);
    } else if (index == 3 && m_step == 0) {
        choice = 1;
        m_prompt.ShowMessage(kCh1Refused);
    }
    m_view.CompChoice = choice;
}

void CMuxPageLogic::EndStepEdit(int row, int column, const std::string& text, int index)
{
    if (row < 0 || row >= kMuxChannels || column < 0 || column >= kStepColumns)
        return;
    auto& cells = m_view.Steps[static_cast<size_t>(row)].Cells;
    if (row != m_step) {
        m_prompt.ShowMessage(kOtherRowEdited);
        FillStepRow(row);
        return;
    }
    if (column >= kScName && column <= kScZeroAll) {
        CollectPinCell(column, text);
        FillStepRow(row);
        return;
    }
    if (column == kScSpeed) {
        m_cond.Speed = index;
    } else if (column == kScRange) {
        EditRangeCell(index);
    } else if (column == kScComp) {
        EditCompCell(index);
    } else if (column == kScUpper || column == kScLower) {
        cells[static_cast<size_t>(column)] = text;
    } else if (column == kScPass) {
        m_cond.PassCondition = index;
    } else {
        return;
    }
    const std::string typed = text;
    const bool read = CollectComparator();
    Mux.Channels(Method())[static_cast<size_t>(m_step)] = m_cond;
    Refresh();
    if (!read) // a limit that does not read stays as typed for the page check to report
        m_view.Steps[static_cast<size_t>(row)].Cells[static_cast<size_t>(column)] = typed;
}

void CMuxPageLogic::EditZeroCell(int row, const std::string& text)
{
    if (row < 0 || static_cast<size_t>(row) >= m_view.Zero.size())
        return;
    m_view.Zero[static_cast<size_t>(row)].Value = text;
}

void CMuxPageLogic::CheckZeroRow(int row, bool on)
{
    if (row < 0 || static_cast<size_t>(row) >= m_view.Zero.size())
        return;
    m_view.Zero[static_cast<size_t>(row)].On = on ? 1 : 0;
}

void CMuxPageLogic::EndZeroEdit()
{
    const std::vector<FrontPageView::ZeroRow> before = m_view.Zero;
    const bool ok = CollectZeroAdjust();
    ShowZeroAdjust();
    if (!ok)
        m_view.Zero = before;
}

void CMuxPageLogic::Copy(const std::array<bool, kPasteItems>& items)
{
    m_clip.Items = items;
    m_clip.Pins = m_pins;
    m_clip.Cond = m_cond;
    m_canPaste = false;
    for (const bool item : items)
        m_canPaste = m_canPaste || item;
    UpdateControlStates();
}

void CMuxPageLogic::Paste()
{
    if (!m_canPaste)
        return;
    (void)CollectSettings(); // stores the step; a channel's error is reported when the dialog checks
    const std::string refused = PasteInto(m_model, m_clip, m_pins, m_cond, m_step);
    SelectStep(m_step, true);
    Refresh();
    if (!refused.empty())
        m_prompt.ShowMessage(std::string(kNotPasted) + "\n " + refused);
}

void CMuxPageLogic::PasteToAll()
{
    if (!m_canPaste)
        return;
    (void)CollectSettings(); // stores the step; a channel's error is reported when the dialog checks
    std::string message = kNotPasted;
    bool anyRefused = false;
    for (int k = 0; k < kMuxChannels; ++k) {
        const auto i = static_cast<size_t>(k);
        const std::string refused = PasteInto(m_model, m_clip, Mux.Pins(Method())[i], Mux.Channels(Method())[i], k);
        if (!refused.empty()) {
            message += FormatC("\nCH%d : ", k + 1) + refused;
            anyRefused = true;
        }
    }
    SelectStep(m_step, false);
    Refresh();
    if (anyRefused)
        m_prompt.ShowMessage(message);
}

MeasCondition CMuxPageLogic::ConditionForAtc()
{
    (void)ExchangeStep(); // an entry that does not read stays as typed for the page check to report
    return m_cond;
}

void CMuxPageLogic::ApplyAtc(const MeasCondition& condition)
{
    m_cond = condition;
    Mux.Channels(Method())[static_cast<size_t>(m_step)] = m_cond;
    Refresh();
}
