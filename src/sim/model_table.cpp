#include "sim/model_table.h"

#include <array>

#include "settings/numeric_locale.h"

namespace {

struct SModelRow {
    const char* Name;
    int Code;
    bool Extended;
    bool Mux;
};

constexpr std::array<SModelRow, 7> kModels { {
    { "VX6207", 8, false, false },
    { "VX6207-01", 9, false, false },
    { "VX6207-02", 10, false, true },
    { "VX6207-03", 12, false, true },
    { "VX6207A-1", 144, true, false },
    { "VX6207A-2", 160, true, true },
    { "VX6208", 2048, true, true },
} };

// Full scales of the extended numbering; the normal numbering starts one range higher.
constexpr std::array<const char*, 13> kExtendedRangeTexts { "1000.0E-6", "10.0E-3", "100.0E-3", "1000.0E-3", "10.0",
    "100.0", "1000.0", "10.0E+3", "100.0E+3", "1000.0E+3", "10.0E+6", "100.0E+6", "1000.0E+6" };
constexpr std::array<const char*, 4> kLowPowerTexts { "1000.0E-3", "10.0", "100.0", "1000.0" };

} // namespace

SimModel ModelByName(const std::string& name)
{
    SimModel model;
    model.Name = name;
    for (const SModelRow& row : kModels) {
        if (name != row.Name)
            continue;
        model.Code = row.Code;
        model.Extended = row.Extended;
        model.Mux = row.Mux;
    }
    model.RangeCount = model.Extended ? 13 : 12;
    model.ZeroAdjustRanges = model.Extended ? 11 : 10;
    model.ChannelFields = model.Is2048() ? 69 : 42;
    return model;
}

std::string RangeText(const SimModel& model, int index)
{
    if (index < 0 || index >= model.RangeCount)
        return {};
    return kExtendedRangeTexts[static_cast<size_t>(index + (model.Extended ? 0 : 1))];
}

double RangeOhms(const SimModel& model, int index)
{
    const std::string text = RangeText(model, index);
    return text.empty() ? 0.0 : StrToDoubleC(text);
}

std::string LowPowerRangeText(int index)
{
    if (index < 0 || index >= kLowPowerRangeCount)
        return {};
    return kLowPowerTexts[static_cast<size_t>(index)];
}

double LowPowerRangeOhms(int index)
{
    const std::string text = LowPowerRangeText(index);
    return text.empty() ? 0.0 : StrToDoubleC(text);
}
