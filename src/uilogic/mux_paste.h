#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "settings/meas_set_data.h"

// Copying the conditions of one MUX channel and pasting them, item by item, into another: the 19
// items, the restrictions between them and the list of what was refused.

inline constexpr int kPasteItems = 19;
enum PasteItem : int {
    kPiEnable,
    kPiName,
    kPiUnit,
    kPiInst,
    kPiZeroAll,
    kPiRange,
    kPiSpeed,
    kPiMeasCurrLow,
    kPiOvc,
    kPiContactCheck,
    kPiContactImprove,
    kPiAverage,
    kPiDelay,
    kPiComparator,
    kPiDeltaT,
    kPiTc,
    kPiAtc,
    kPiScaling,
    kPiZeroAdj,
};

inline constexpr const char* kNotPasted = "For a prohibition of the setting, the following item was not pasted.";

// The item names as the refusal list and the item dialog show them ("OVC" reads "A-OVC" in the
// dialog of the VX6208).
const char* PasteItemName(int item);
std::string PasteItemCaption(int item, int32_t model);

struct MuxClip {
    std::array<bool, kPasteItems> Items {};
    MuxPinSet Pins;
    MeasCondition Cond;
};

// Pastes the chosen items into channel `channel` (0-based). An item refused by a restriction is
// not copied at all; the refused items' names are returned joined by "," (empty when everything
// was pasted).
std::string PasteInto(int32_t model, const MuxClip& clip, MuxPinSet& pins, MeasCondition& cond, int channel);

// The choice of the batch-paste item dialog: 19 flags, "A-TC" only for the VX6208.
class CLumpSetLogic {
public:
    explicit CLumpSetLogic(int32_t model)
        : m_model(model)
    {
    }
    bool ItemEnabled(int item) const { return item != kPiAtc || m_model == 2048; }
    void AllOn() { SetAll(true); }
    void AllOff() { SetAll(false); }
    bool AnyChosen() const;

    std::array<bool, kPasteItems> Items {};

private:
    void SetAll(bool on);
    int32_t m_model;
};
