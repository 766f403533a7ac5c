#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "settings/meas_set_data.h"

// The table behind the settings-file items: one row per key, naming its item class, the shape of
// its lines and the fields its values go to. Internal to the settings-file items.
namespace file_items {

// How a value is written after the key; reading converts leniently (text that is no number is 0).
enum class Kind { Flag, Int, Int16, Int64, DoubleF, DoubleE, Text10, Text3, FileVer };
using FieldRef = std::variant<int32_t*, int16_t*, int64_t*, double*, std::string*>;
using Refs = std::vector<FieldRef>;

// Array keys: how many lines a write produces and what an index outside the range means.
enum class Index { None, IgnoreOutside, ErrorOutside };

struct Where {
    MeasSetData& Data;
    int Table;
    int Channel;
    int Element;
};

struct ItemRow {
    const char* Key;
    const char* ClassName;
    bool Channel;
    Index IndexRule;
    std::function<int(int32_t model)> WriteCount; // lines of an array key
    std::function<int(int32_t model)> IndexLimit; // valid element indexes 0..limit-1 on reading
    std::vector<Kind> Kinds;
    std::function<Refs(const Where&)> Bind;
};

// The 39 general keys and the 36 channel keys, each in file order.
const std::vector<ItemRow>& GeneralRows();
const std::vector<ItemRow>& ChannelRows();

} // namespace file_items
