#include "uilogic/atc_set_logic.h"

#include "acquisition/process_data.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"
#include "uilogic/field_exchange.h"

namespace {

constexpr const char* kOhmSuffix = " \xCE\xA9";

} // namespace

CAtcSetLogic::CAtcSetLogic(int32_t model, const MeasCondition& condition)
    : Cond(condition)
    , m_model(model)
{
    RangeChoice = Cond.AtcAutoRange != 0 ? 0 : Cond.AtcRange + 1;
    ShowNumbers();
}

std::vector<std::string> CAtcSetLogic::RangeItems() const
{
    MeasCondition plain;
    const RangeContext context = CProcessData::ContextOf(plain, m_model);
    const int count = ExtendedRangeModel(m_model) ? 13 : 12;
    std::vector<std::string> items { "AUTO" };
    for (int i = 0; i < count; ++i)
        items.push_back(CProcessData::RangeName(context, i) + kOhmSuffix);
    return items;
}

void CAtcSetLogic::ShowNumbers()
{
    Cond.AtcR1 = NormaliseR1(Cond.AtcR1);
    Texts[kAtcT0] = FormatTemperature(Cond.AtcT0);
    Texts[kAtcAlpha] = FormatAlpha(Cond.AtcAlpha);
    Texts[kAtcT1] = FormatTemperature(Cond.AtcT1);
    Texts[kAtcR1] = FormatR1(Cond.AtcR1);
    Texts[kAtcTcr] = FormatAlpha(Cond.AtcTcr);
    Texts[kAtcDelayTime] = FormatDelay(Cond.AtcDelayTime);
    Texts[kAtcAvgCount] = FormatC("%d", Cond.AtcAvgCount);
}

int32_t* CAtcSetLogic::Bound(int control)
{
    switch (control) {
    case kAtcOvc:
        return &Cond.AtcOvc;
    case kAtcPureResistance:
        return &Cond.AtcPureResistance;
    case kAtcMeasCurrLow:
        return &Cond.AtcMeasCurrLow;
    case kAtcContactCheck:
        return &Cond.AtcContactCheck;
    case kAtcContactImprove:
        return &Cond.AtcContactImprove;
    case kAtcDelay:
        return &Cond.AtcDelayOn;
    case kAtcAverage:
        return &Cond.AtcAvgOn;
    case kAtcSpeed:
        return &Cond.AtcSpeed;
    case kAtcUnit:
        return &Cond.AtcUnit;
    default:
        return nullptr;
    }
}

void CAtcSetLogic::SetCheck(int control, bool on)
{
    if (int32_t* setting = Bound(control))
        *setting = on ? 1 : 0;
    if (control == kAtcOvc && on)
        Cond.AtcAvgOn = 1; // the A-OVC measurement averages
}

void CAtcSetLogic::Choose(int control, int index)
{
    if (control == kAtcRange)
        RangeChoice = index;
    else if (control == kAtcTermA)
        Cond.AtcTermA = index + 1;
    else if (control == kAtcTermB)
        Cond.AtcTermB = index + 1;
    else if (int32_t* setting = Bound(control))
        *setting = index;
}

bool CAtcSetLogic::Enabled(int control) const
{
    if (control == kAtcDelayTime)
        return Cond.AtcDelayOn != 0;
    if (control == kAtcAvgCount)
        return Cond.AtcAvgOn != 0;
    return true;
}

bool CAtcSetLogic::ReadTexts()
{
    std::string message;
    const auto fail = [&](int control) {
        ErrorControl = control;
        ErrorText = message;
        return false;
    };
    if (!ExchangeDouble(Texts[kAtcT0], Cond.AtcT0, message))
        return fail(kAtcT0);
    if (!ExchangeInt(Texts[kAtcAlpha], Cond.AtcAlpha, message))
        return fail(kAtcAlpha);
    if (!ExchangeDouble(Texts[kAtcT1], Cond.AtcT1, message))
        return fail(kAtcT1);
    if (!ExchangeDouble(Texts[kAtcR1], Cond.AtcR1, message))
        return fail(kAtcR1);
    if (!ExchangeInt(Texts[kAtcTcr], Cond.AtcTcr, message))
        return fail(kAtcTcr);
    // The delay is a 16-bit setting: its bounds are checked before it is narrowed.
    int32_t delay = Cond.AtcDelayTime;
    if (!ExchangeIntRange(Texts[kAtcDelayTime], 0, 9999, delay, message)) {
        message = "A-TC-Delay " + IntRangeText(0, 9999);
        return fail(kAtcDelayTime);
    }
    Cond.AtcDelayTime = static_cast<int16_t>(delay);
    if (!ExchangeInt(Texts[kAtcAvgCount], Cond.AtcAvgCount, message))
        return fail(kAtcAvgCount);
    return true;
}

void CAtcSetLogic::LeaveEdit()
{
    const MeasCondition before = Cond;
    if (ReadTexts())
        ShowNumbers();
    else
        Cond = before; // the text stays as typed for OK to report
}

bool CAtcSetLogic::Collect()
{
    ErrorControl = 0;
    ErrorText.clear();
    if (!ReadTexts())
        return false;
    Cond.AtcAutoRange = RangeChoice == 0 ? 1 : 0;
    if (RangeChoice > 0)
        Cond.AtcRange = RangeChoice - 1;
    bool first = true;
    return CheckAtcNumbers(m_model, Cond, [&](int control, const std::string& text) {
        if (!first)
            return; // the first failure is the one shown
        first = false;
        ErrorControl = control;
        ErrorText = text;
    });
}
