#include "settings/model_info.h"

namespace {

struct ModelEntry {
    int32_t Code;
    const char* Name;
    bool Extended;
    bool Mux;
    bool InChoiceList;
};

constexpr ModelEntry kModels[] = {
    { 0, "Unset", false, false, true },
    { 8, "VX6207", false, false, true },
    { 9, "VX6207-01", false, false, true },
    { 10, "VX6207-02", false, true, true },
    { 12, "VX6207-03", false, true, false },
    { 144, "VX6207A-1", true, false, true },
    { 160, "VX6207A-2", true, true, true },
    { 2048, "VX6208", true, true, true },
};

const ModelEntry* Find(int32_t code)
{
    for (const ModelEntry& entry : kModels) {
        if (entry.Code == code)
            return &entry;
    }
    return nullptr;
}

} // namespace

std::string ModelNameOfCode(int32_t code)
{
    const ModelEntry* entry = Find(code);
    return entry != nullptr ? entry->Name : "";
}

int32_t ModelCodeOfName(const std::string& name)
{
    for (const ModelEntry& entry : kModels) {
        if (entry.Code != 0 && name == entry.Name)
            return entry.Code;
    }
    return 0;
}

bool InModelChoiceList(int32_t code)
{
    const ModelEntry* entry = Find(code);
    return entry != nullptr && entry->InChoiceList;
}

bool ExtendedRangeModel(int32_t code)
{
    const ModelEntry* entry = Find(code);
    return entry != nullptr && entry->Extended;
}

bool IsMuxModel(int32_t code)
{
    const ModelEntry* entry = Find(code);
    return entry != nullptr && entry->Mux;
}

int ZeroAdjustRangeCount(int32_t code) { return ExtendedRangeModel(code) ? 11 : 10; }

int HighestRangeIndex(int32_t code, bool highAccuracy100M)
{
    return (ExtendedRangeModel(code) ? 12 : 11) - (highAccuracy100M ? 1 : 0);
}

int LowestTwoWireRange(int32_t code) { return ExtendedRangeModel(code) ? 5 : 4; }

int DefaultRangeIndex(int32_t code) { return ExtendedRangeModel(code) ? 11 : 10; }

bool SameModelFamily(int32_t first, int32_t second)
{
    if ((first & 8) != 0 && (second & 8) != 0 && first != 2048 && second != 2048)
        return true;
    const auto pairA = [](int32_t code) { return code == 144 || code == 160; };
    if (pairA(first) && pairA(second))
        return true;
    return first == 2048 && second == 2048;
}

std::string ModelFamilyName(int32_t code)
{
    if (code == kModelVx6208)
        return "VX6208";
    if (code == kModelVx6207A_1 || code == kModelVx6207A_2)
        return "VX6207A";
    return "VX6207";
}
