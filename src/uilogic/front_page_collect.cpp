#include "uilogic/front_page_logic.h"

#include "settings/numeric_locale.h"
#include "uilogic/field_exchange.h"

bool CFrontPageLogic::ReadTexts()
{
    return ReadConditionTexts(
        m_view.Texts, Front.Cond, [this](int control, const std::string& text) { Fail(control, 0, 0, text); });
}

bool CFrontPageLogic::CheckNumbers()
{
    return CheckConditionNumbers(
        Front.Cond, [this](int control, const std::string& text) { Fail(control, 0, 0, text); });
}

bool CFrontPageLogic::CollectBinTable()
{
    const RangeContext context = Context();
    const int range = CurrentRange();
    bool ok = true;
    for (size_t i = 0; i < kBinBits; ++i) {
        BinBitSet& bit = Front.BinBit[i];
        const FrontPageView::BinRow& row = m_view.Bin[i];
        const bool ref = bit.Mode != 0; // checks follow the mode stored before this collection
        bit.On = row.On;
        bit.Mode = row.Mode == "ABS" ? 0 : 1;
        bool rowOk = true;
        const auto fail = [&](int column, const std::string& text) {
            Fail(kFcBinList, static_cast<int>(i), column, text);
            rowOk = false;
        };
        int64_t upper = bit.Upper;
        if (row.Upper != m_shownUpper[i] && !TextToCount(context, range, row.Upper, upper))
            fail(3, JoinMessage("BIN-Upp/Ref", ref ? kRangeRef : kRangeAbs));
        else
            bit.Upper = ref ? std::max<int64_t>(upper, 100) : upper;
        int64_t lower = bit.Lower;
        const bool changed = row.Lower != m_shownLower[i];
        if (ref) {
            if ((changed && !TextToPercent(row.Lower, lower)) || lower < 0 || lower > 99999)
                fail(5, "BIN-% " + FloatRangeText(0, 99.999));
            else
                bit.Lower = lower;
        } else if (changed && !TextToCount(context, range, row.Lower, lower)) {
            fail(5, JoinMessage("BIN-Low", kRangeAbs));
        } else {
            bit.Lower = lower;
        }
        if (rowOk && !ref && bit.Lower > bit.Upper)
            fail(5, JoinMessage("BIN", kUpperLower));
        m_binFailed[i] = !rowOk;
        ok = ok && rowOk;
    }
    if (!ok)
        ErrorControl = kFcBinList;
    return ok;
}

bool CFrontPageLogic::CollectComparator()
{
    MeasCondition& c = Front.Cond;
    const RangeContext context = Context();
    const int range = ShownRange();
    const bool ref = c.CompMode != 0;
    const std::string& upperText = m_view.Texts[kFcCompUpper];
    const std::string& lowerText = m_view.Texts[kFcCompLower];
    int64_t upper = c.CompUpper;
    if (upperText != m_shownCompUpper && !TextToCount(context, range, upperText, upper)) {
        Fail(kFcCompUpper, 0, 0, JoinMessage("Comparator-Upp/Ref", ref ? kRangeRef : kRangeAbs));
        return false;
    }
    c.CompUpper = ref ? std::max<int64_t>(upper, 100) : upper;
    int64_t lower = c.CompLower;
    const bool changed = lowerText != m_shownCompLower;
    if (ref) {
        if ((changed && !TextToPercent(lowerText, lower)) || lower < 0 || lower > 99999) {
            Fail(kFcCompLower, 0, 0, "Comparator-% " + FloatRangeText(0, 99.999));
            return false;
        }
    } else if (changed && !TextToCount(context, range, lowerText, lower)) {
        Fail(kFcCompLower, 0, 0, JoinMessage("Comparator-Low", kRangeAbs));
        return false;
    }
    c.CompLower = lower;
    if (!ref && c.CompLower > c.CompUpper) {
        Fail(kFcCompLower, 0, 0, JoinMessage("Comparator", kUpperLower));
        return false;
    }
    return true;
}

bool CFrontPageLogic::CollectZeroAdjust()
{
    int row = 0;
    if (CollectZeroAdjRows(m_view.Zero, Context(), LowPowerApplies(), ZeroOn(), ZeroValue(), row))
        return true;
    Fail(kFcZeroList, row, 2, kZeroAdjustRange);
    return false;
}

bool CFrontPageLogic::CollectSettings()
{
    Fail(0, 0, 0, {});
    if (!ReadTexts() || !CheckNumbers())
        return false;
    const std::string& unit = m_view.Texts[kFcUnitText];
    if (unit.size() > kMaxUnitText) {
        Fail(kFcUnitText, 0, 0, FormatC(kUnitLength, static_cast<int>(kMaxUnitText)));
        return false;
    }
    Front.Cond.ScalingUnitText = unit;
    CollectRange();
    return CollectBinTable() && CollectComparator() && CollectZeroAdjust();
}
