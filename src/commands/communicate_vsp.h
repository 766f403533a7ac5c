#pragma once

#include "commands/communicate_vx.h"

// The variable lists of the 42 MUX channels of the active tables, one line per channel.
class CCommunicateVsp final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override;
    [[nodiscard]] bool ReadSetting() override;
};

// The zero-adjust values of the 42 MUX channels: a range mask and one value per range, taken
// from the low-power arrays for a channel measuring in low power.
class CCommunicateCh0Adj final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override;
    [[nodiscard]] bool ReadSetting() override;
};
