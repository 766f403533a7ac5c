#pragma once

#include <string>

// What the simulated instrument is, derived from the model name it reports in its identity.
struct SimModel {
    std::string Name;
    int Code = 0; // 0 for a name outside the model table
    bool Extended = false; // one more, lower range and one more zero-adjust range
    bool Mux = false; // drives the multiplexer unit
    int RangeCount = 12; // resistance ranges of its numbering
    int ZeroAdjustRanges = 10; // ranges of a zero-adjust list
    int ChannelFields = 42; // fields of one MUX channel variable list
    bool Is2048() const { return Code == 2048; }
};

// The model of a name; any name outside the table gives code 0 with the normal numbering and no MUX.
[[nodiscard]] SimModel ModelByName(const std::string& name);

// The range text the instrument answers for a range index ("10.0E-3"), empty when out of range.
[[nodiscard]] std::string RangeText(const SimModel& model, int index);
// The nominal full scale of a range in ohms (0 when out of range).
[[nodiscard]] double RangeOhms(const SimModel& model, int index);
// The low-power range texts ("1000.0E-3", "10.0", "100.0", "1000.0").
[[nodiscard]] std::string LowPowerRangeText(int index);
[[nodiscard]] double LowPowerRangeOhms(int index);
constexpr int kLowPowerRangeCount = 4;
