#include "uilogic/front_page_logic.h"

#include "settings/model_info.h"
#include "settings/numeric_locale.h"
#include "uilogic/field_exchange.h"

ExclusionState CFrontPageLogic::Exclusions() const
{
    ExclusionState state;
    state.AutoRange = m_view.RangeChoice == 0;
    state.CompChoice = m_view.CompChoice;
    state.DeltaTOn = Front.Cond.DeltaTOn != 0;
    state.TcOn = Front.Cond.TcOn != 0;
    state.Statistics = Front.Statistics != 0;
    state.BinOn = Front.BinOn != 0;
    return state;
}

void CFrontPageLogic::ApplyExclusion(const std::string& refusal, const ExclusionState& state)
{
    if (state.CompChoice == 0)
        Front.Cond.CompOn = 0; // the mode is kept for the next time the comparator is turned on
    m_view.CompChoice = state.CompChoice;
    Front.Cond.DeltaTOn = state.DeltaTOn ? 1 : 0;
    Front.Cond.TcOn = state.TcOn ? 1 : 0;
    Front.Statistics = state.Statistics ? 1 : 0;
    Front.BinOn = state.BinOn ? 1 : 0;
    if (!refusal.empty())
        m_prompt.ShowMessage(refusal);
}

bool CFrontPageLogic::ConfirmZeroAdjustClear()
{
    (void)CollectZeroAdjust(); // a refused cell keeps its stored value; the question is about the stored ones
    const int n0 = ZeroAdjustRangeCount(m_model);
    if (!AnyZeroAdjOn(ZeroOn(), n0))
        return true;
    if (!m_prompt.AskYesNo(kZeroAdjustClear))
        return false;
    ClearZeroAdj(ZeroOn(), ZeroValue(), n0);
    return true;
}

// Every handler first reads the edits, so that a number typed but not yet left is neither lost
// nor overwritten by the redisplay; a text that does not read as a number stays as typed.
void CFrontPageLogic::RedisplayAfter(bool textsRead, const std::map<int, std::string>& typed)
{
    DisplaySettings();
    if (textsRead)
        return;
    for (const int control : { kFcAvgCount, kFcDelayTime, kFcDtT1, kFcDtR1, kFcDtK, kFcTcT0, kFcTcAlpha, kFcScalingA,
             kFcScalingB, kFcUnitText })
        m_view.Texts[control] = typed.at(control);
}

void CFrontPageLogic::SetCheck(int control, bool on)
{
    const std::map<int, std::string> typed = m_view.Texts;
    const bool textsRead = ReadTexts();
    ExclusionState state = Exclusions();
    MeasCondition& c = Front.Cond;
    const int32_t value = on ? 1 : 0;
    switch (control) {
    case kFcDeltaT:
        ApplyExclusion(TurnDeltaT(state, on), state);
        break;
    case kFcTc:
        ApplyExclusion(TurnTc(state, on), state);
        break;
    case kFcStatistics:
        ApplyExclusion(TurnStatistics(state, on), state);
        break;
    case kFcBin:
        ApplyExclusion(TurnBin(state, on), state);
        break;
    case kFcPureResistance:
        if (on && LowPowerApplies()) {
            CollectRange(); // keep the operator's low-power range before leaving low power
            c.LowPower = 0;
        }
        c.PureResistance = value;
        break;
    case kFcLowPower:
        if (m_model == 2048)
            break;
        CollectRange();
        c.LowPower = value;
        c.PureResistance = 0;
        break;
    case kFcOvc:
    case kFcMeasCurrLow: {
        int32_t& setting = control == kFcOvc ? c.Ovc : c.MeasCurrLow;
        if (!ConfirmZeroAdjustClear())
            break; // declined: the setting keeps its previous state
        setting = value;
        if (control == kFcOvc && on && m_model == 2048)
            c.AvgOn = 1;
        break;
    }
    case kFcContactCheck:
        m_view.Checks[kFcContactCheck] = value;
        CollectRange();
        break;
    default:
        if (int32_t* setting = BoundSetting(Front, control))
            *setting = value;
        break;
    }
    RedisplayAfter(textsRead, typed);
}

void CFrontPageLogic::Choose(int control, int index)
{
    const std::map<int, std::string> typed = m_view.Texts;
    const bool textsRead = ReadTexts();
    ExclusionState state = Exclusions();
    if (control == kFcRange) {
        if (index == 0) {
            const std::string refusal = ChooseAutoRange(state);
            if (!refusal.empty())
                m_prompt.ShowMessage(refusal);
            else
                m_view.RangeChoice = 0;
        } else {
            m_view.RangeChoice = index;
        }
        if (m_view.RangeChoice == index)
            CollectRange();
    } else if (control == kFcComparator) {
        const std::string refusal = ChooseComparator(state, index);
        ApplyExclusion(refusal, state);
        if (refusal.empty() && index != 0) {
            Front.Cond.CompOn = 1;
            Front.Cond.CompMode = index == 2 ? 1 : 0;
        }
    } else if (int32_t* setting = BoundSetting(Front, control)) {
        *setting = index;
    }
    RedisplayAfter(textsRead, typed);
}

void CFrontPageLogic::EditText(int control, const std::string& text)
{
    m_view.Texts[control] = text;
    MeasCondition& c = Front.Cond;
    if (control == kFcScalingA) {
        double value = 0.0;
        std::string message;
        if (!ExchangeDouble(text, value, message))
            return; // not yet a number (a lone sign, "2e"): wait for the next keystroke
        c.ScalingA = value;
    } else if (control == kFcUnitText) {
        if (!ValidUnitCharacters(text)) {
            m_view.Texts[control].clear();
            m_prompt.ShowMessage(kUnitCharacters);
            return;
        }
        if (text.size() <= kMaxUnitText)
            c.ScalingUnitText = text;
        else
            Fail(kFcUnitText, 0, 0, FormatC(kUnitLength, static_cast<int>(kMaxUnitText)));
    } else {
        return;
    }
    ShowBinTable();
    ShowComparator();
}

void CFrontPageLogic::LeaveEdit(int control)
{
    (void)control;
    if (!ReadTexts()) {
        m_prompt.ShowMessage(ErrorText);
        return;
    }
    if (CollectComparator())
        ShowComparator(); // a refused limit stays as typed for the page check to report
    ShowNumbers();
}

void CFrontPageLogic::EditBinCell(int row, int column, const std::string& text)
{
    FrontPageView::BinRow& cell = m_view.Bin[static_cast<size_t>(row)];
    if (column == 2)
        cell.Mode = text;
    else if (column == 3)
        cell.Upper = text;
    else if (column == 5)
        cell.Lower = text;
}

void CFrontPageLogic::CheckBinRow(int row, bool on)
{
    m_view.Bin[static_cast<size_t>(row)].On = on ? 1 : 0;
}

void CFrontPageLogic::EditZeroCell(int row, const std::string& text)
{
    m_view.Zero[static_cast<size_t>(row)].Value = text;
}

void CFrontPageLogic::CheckZeroRow(int row, bool on)
{
    m_view.Zero[static_cast<size_t>(row)].On = on ? 1 : 0;
}

void CFrontPageLogic::EndBinEdit()
{
    EndListEdit(true);
}
void CFrontPageLogic::EndZeroEdit()
{
    EndListEdit(false);
}

void CFrontPageLogic::EndListEdit(bool bin)
{
    // A refused cell keeps the operator's text so that the page check reports it.
    const FrontPageView before = m_view;
    if (bin) {
        const bool ok = CollectBinTable();
        ShowBinTable();
        for (size_t i = 0; !ok && i < kBinBits; ++i) {
            if (m_binFailed[i])
                m_view.Bin[i] = before.Bin[i];
        }
    } else {
        const bool ok = CollectZeroAdjust();
        ShowZeroAdjust();
        if (!ok)
            m_view.Zero = before.Zero;
    }
}
