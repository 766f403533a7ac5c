#include "uilogic/front_page_logic.h"

#include <limits>

#include "settings/numeric_locale.h"
#include "uilogic/field_exchange.h"

namespace {

constexpr const char* kRangeInt = "The set value is out of range. Please set at [%d <= x <= %d].";
constexpr const char* kRangeFloat = "The set value is out of range. Please set at [%f <= x <= %f]";
constexpr const char* kRangeExp = "The set value is out of range. Please set at [%e <= x <= %e]";

std::string IntRange(int low, int high)
{
    return FormatC(kRangeInt, low, high);
}
std::string FloatRange(double low, double high)
{
    return FormatC(kRangeFloat, low, high);
}
std::string ExpRange(double low, double high)
{
    return FormatC(kRangeExp, low, high);
}

} // namespace

bool CFrontPageLogic::ReadTexts()
{
    MeasCondition& c = Front.Cond;
    std::string message;
    auto number = [&](int control, double& value) {
        if (ExchangeDouble(m_view.Texts[control], value, message))
            return true;
        Fail(control, 0, 0, message);
        return false;
    };
    auto integer = [&](int control, int32_t& value) {
        if (ExchangeInt(m_view.Texts[control], value, message))
            return true;
        Fail(control, 0, 0, message);
        return false;
    };
    int32_t delay = c.DelayTime;
    if (!ExchangeIntRange(m_view.Texts[kFcDelayTime], std::numeric_limits<int16_t>::min(),
            std::numeric_limits<int16_t>::max(), delay, message)) {
        Fail(kFcDelayTime, 0, 0, message);
        return false;
    }
    c.DelayTime = static_cast<int16_t>(delay);
    if (!integer(kFcAvgCount, c.AvgCount) || !number(kFcDtT1, c.DtT1) || !number(kFcDtR1, c.DtR1)
        || !number(kFcDtK, c.DtK) || !number(kFcTcT0, c.TcT0) || !integer(kFcTcAlpha, c.TcAlpha)
        || !number(kFcScalingA, c.ScalingA) || !number(kFcScalingB, c.ScalingB))
        return false;
    std::string unit;
    if (!ExchangeText(m_view.Texts[kFcUnitText], kMaxUnitText, unit, message)) {
        Fail(kFcUnitText, 0, 0, message);
        return false;
    }
    return true;
}

bool CFrontPageLogic::CheckNumbers()
{
    const MeasCondition& c = Front.Cond;
    struct Item {
        bool Valid;
        int Control;
        const char* Name;
        std::string Range;
    };
    const Item items[] = {
        { c.AvgCount >= 2 && c.AvgCount <= 100, kFcAvgCount, "Average", IntRange(2, 100) },
        { c.DelayTime >= 0 && c.DelayTime <= 9999, kFcDelayTime, "Delay", IntRange(0, 9999) },
        { c.DtT1 >= -10 && c.DtT1 <= 99.9, kFcDtT1, "DeltaT-t1", FloatRange(-10, 99.9) },
        { c.DtR1 >= 1e-9 && c.DtR1 <= 9e9, kFcDtR1, "DeltaT-R1", ExpRange(1e-9, 9e9) },
        { c.DtK >= -999.9 && c.DtK <= 999.9, kFcDtK, "DeltaT-K", FloatRange(-999.9, 999.9) },
        { c.TcT0 >= -10 && c.TcT0 <= 99.9, kFcTcT0, "TC-T0", FloatRange(-10, 99.9) },
        { c.TcAlpha >= -99999 && c.TcAlpha <= 99999, kFcTcAlpha, "TC-Alpha", IntRange(-99999, 99999) },
        { c.ScalingA >= 2e-4 && c.ScalingA <= 1999.9, kFcScalingA, "Scaling-A", ExpRange(2e-4, 1999.9) },
        { c.ScalingB >= -9e9 && c.ScalingB <= 9e9, kFcScalingB, "Scaling-B", ExpRange(-9e9, 9e9) },
    };
    bool ok = true;
    for (const Item& item : items) {
        if (!item.Valid) {
            Fail(item.Control, 0, 0, std::string(item.Name) + " " + item.Range);
            ok = false;
        }
    }
    return ok;
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
                fail(5, "BIN-% " + FloatRange(0, 99.999));
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
            Fail(kFcCompLower, 0, 0, "Comparator-% " + FloatRange(0, 99.999));
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
    const RangeContext context = Context();
    const bool lowPowerSet = LowPowerApplies();
    bool ok = true;
    for (size_t row = 0; row < m_view.Zero.size(); ++row) {
        const FrontPageView::ZeroRow& shown = m_view.Zero[row];
        const auto i = static_cast<size_t>(shown.Entry);
        ZeroOn()[i] = shown.On;
        int32_t value = 0;
        if (ZeroAdjustTextToValue(context, shown.Entry, lowPowerSet, shown.Value, value)) {
            ZeroValue()[i] = value;
        } else {
            Fail(kFcZeroList, static_cast<int>(row), 2, kZeroAdjustRange);
            ok = false;
        }
    }
    return ok;
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
