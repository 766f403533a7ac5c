#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "settings/meas_set_data.h"
#include "uilogic/condition_logic.h"

// The A-TC settings of one MUX channel without widgets: the sensor channel's terminals,
// measurement conditions and constants, shown with the page's formats and checked on OK like
// every other condition.
class CAtcSetLogic {
public:
    CAtcSetLogic(int32_t model, const MeasCondition& condition);

    MeasCondition Cond;
    int RangeChoice = 0; // 0 "AUTO", n the range index n - 1
    std::map<int, std::string> Texts; // the edits by control number

    // "AUTO" and the range names followed by " Ω".
    std::vector<std::string> RangeItems() const;
    void ShowNumbers();
    void SetCheck(int control, bool on);
    void Choose(int control, int index);
    // Leaving an edit re-shows the numbers when they read.
    void LeaveEdit();
    bool Enabled(int control) const;
    // OK: reads every edit and the range choice into Cond and checks them; false with the error.
    [[nodiscard]] bool Collect();

    int ErrorControl = 0;
    std::string ErrorText;

private:
    [[nodiscard]] bool ReadTexts();
    int32_t* Bound(int control);
    int32_t m_model;
};
