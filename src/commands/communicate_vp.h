#pragma once

#include <array>
#include <cstdint>

#include "commands/communicate_vx.h"

inline constexpr int kPanelVariableCount = 82;

// The MUX panel variables, the scan-wide settings, as one list of 82 numbers. Writing reads the
// instrument's list first and sends it back with this record's items replaced, so the positions
// the record does not carry keep the instrument's values.
class CCommunicateVp final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override;
    [[nodiscard]] bool ReadSetting() override;

    // Position 1 to 82 of the list last read.
    int64_t Panel(int position) const { return m_panel[static_cast<size_t>(position - 1)]; }

private:
    [[nodiscard]] bool ReadPanel();
    void ReplaceItems();
    void TakeItems();

    std::array<int64_t, kPanelVariableCount> m_panel {};
};
