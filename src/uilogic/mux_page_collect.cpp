#include "uilogic/mux_page_logic.h"

#include <algorithm>

#include "settings/model_info.h"
#include "settings/numeric_locale.h"

bool CMuxPageLogic::ReadTexts()
{
    return ReadConditionTexts(
        m_view.Texts, m_cond, [this](int control, const std::string& text) { Fail(control, 0, 0, text); });
}

void CMuxPageLogic::CollectRange()
{
    if (m_model != 0)
        StoreRangeChoice(m_cond, LowPowerApplies(m_cond), m_view.RangeChoice, m_view.Checks[kFcContactCheck]);
}

// The comparator from its choice and the two limit cells of the current row; a cell the operator
// left alone keeps its count (a clipped display must not be read back as the limit).
bool CMuxPageLogic::CollectComparator()
{
    MeasCondition& c = m_cond;
    const int choice = m_view.CompChoice;
    c.CompOn = choice != 0 ? 1 : 0;
    if (choice != 0) {
        c.CompMode = choice >= 2 ? 1 : 0;
        c.CompRefCh1 = choice == 3 ? 1 : 0;
    }
    const RangeContext context = Context(c);
    const int range = ShownRange();
    const bool ref = c.CompMode != 0;
    const auto& cells = m_view.Steps[static_cast<size_t>(m_step)].Cells;
    int64_t upper = c.CompUpper;
    if (cells[kScUpper] != m_shownUpper && !TextToCount(context, range, cells[kScUpper], upper)) {
        Fail(kMcStepList, m_step, kScUpper, JoinMessage("Comparator-Upp/Ref", ref ? kRangeRef : kRangeAbs));
        return false;
    }
    c.CompUpper = upper;
    int64_t lower = c.CompLower;
    if (cells[kScLower] != m_shownLower) {
        const bool read
            = ref ? TextToPercent(cells[kScLower], lower) : TextToCount(context, range, cells[kScLower], lower);
        if (!read) {
            Fail(kMcStepList, m_step, kScLower,
                ref ? "Comparator-% " + FloatRangeText(0, 99.999) : JoinMessage("Comparator-Low", kRangeAbs));
            return false;
        }
    }
    c.CompLower = lower;
    return true;
}

bool CMuxPageLogic::CollectZeroAdjust()
{
    int row = 0;
    if (CollectZeroAdjRows(m_view.Zero, Context(m_cond), LowPowerApplies(m_cond), ZeroOn(), ZeroValue(), row))
        return true;
    Fail(kFcZeroList, row, 2, kZeroAdjustRange);
    return false;
}

// Takes everything the operator entered for the current step into the working copies; the step
// is stored only when this succeeds.
bool CMuxPageLogic::ExchangeStep()
{
    Fail(0, 0, 0, {});
    ErrorStep = kMuxChannels;
    if (!ReadTexts())
        return false;
    const std::string& unit = m_view.Texts[kFcUnitText];
    if (unit.size() > kMaxUnitText) {
        Fail(kFcUnitText, 0, 0, FormatC(kUnitLength, static_cast<int>(kMaxUnitText)));
        return false;
    }
    m_cond.ScalingUnitText = unit;
    CollectRange();
    return CollectComparator() && CollectZeroAdjust();
}

bool CMuxPageLogic::CollectSettings()
{
    if (!ExchangeStep())
        return false;
    Mux.MuxScan = m_scanShown;
    SelectStep(m_step, true);
    bool ok = true;
    for (const int32_t method : { 0, 1 }) {
        auto& channels = Mux.Channels(method);
        for (int k = 0; k < kMuxChannels; ++k)
            ok = CheckChannel(channels[static_cast<size_t>(k)], k) && ok;
    }
    m_cond = Mux.Channels(Method())[static_cast<size_t>(m_step)]; // a REF% reference may have been raised
    return ok;
}

bool CMuxPageLogic::CheckChannel(MeasCondition& c, int channel)
{
    bool ok = true;
    const auto fail = [&](int control, int row, int column, const std::string& text) {
        Fail(control, row, column, text);
        ErrorStep = channel;
        ok = false;
    };
    for (int i = 0; i < ZeroAdjustRangeCount(m_model); ++i) {
        const int32_t value = c.ZeroAdjValue[static_cast<size_t>(i)];
        if (value < -50000000 || value > 50000000)
            fail(kFcZeroList, i, 2, kZeroAdjustRange);
    }
    for (int i = 0; m_model != 2048 && i < 4; ++i) {
        const int32_t value = c.LpZeroAdjValue[static_cast<size_t>(i)];
        if (value < -5000000 || value > 5000000)
            fail(kFcZeroList, i, 2, kZeroAdjustRange);
    }
    const auto item = [&](int control, const std::string& text) { fail(control, 0, 0, text); };
    (void)CheckConditionNumbers(c, item); // failures are recorded through item
    if (m_model == 2048)
        (void)CheckAtcNumbers(m_model, c, [&](int, const std::string& text) { item(kMcAtcSettings, text); });
    const bool ref = c.CompMode != 0;
    if (ref)
        c.CompUpper = std::max<int64_t>(c.CompUpper, 100);
    if (!CheckCompUpper(c.CompMode, c.CompUpper))
        fail(kMcStepList, channel, kScUpper, JoinMessage("Comparator-Upp/Ref", ref ? kRangeRef : kRangeAbs));
    if (!CheckCompLower(c.CompMode, c.CompLower)) {
        fail(kMcStepList, channel, kScLower,
            ref ? "Comparator-% " + FloatRangeText(0, 99.999) : JoinMessage("Comparator-Low", kRangeAbs));
    } else if (!ref && c.CompLower > c.CompUpper) {
        fail(kMcStepList, channel, kScLower, JoinMessage("Comparator", kUpperLower));
    }
    return ok;
}
