#pragma once

// The front-terminal setting commands that carry several values or lines.

#include "commands/communicate_vx.h"

// Declares a command class whose two operations are written out in front_value_commands.cpp.
#define VX_FRONT_VALUE_COMMAND(Name)                                                                                    \
    class Name final : public CCommunicateVx {                                                                         \
    public:                                                                                                            \
        using CCommunicateVx::CCommunicateVx;                                                                          \
        [[nodiscard]] bool SendSetting() override;                                                                     \
        [[nodiscard]] bool ReadSetting() override;                                                                     \
    }

// Averaging on/off and count.
VX_FRONT_VALUE_COMMAND(CCommunicateAverage);
// User trigger delay on/off and time.
VX_FRONT_VALUE_COMMAND(CCommunicateDelay);
// Temperature correction on/off, t0 and alpha.
VX_FRONT_VALUE_COMMAND(CCommunicateTc);
// Temperature-rise conversion on/off, R1, t1 and k.
VX_FRONT_VALUE_COMMAND(CCommunicateDeltaT);
// Scaling on/off, A, B and the unit.
VX_FRONT_VALUE_COMMAND(CCommunicateScale);
// Zero-adjust values of the front ranges; the read always succeeds.
VX_FRONT_VALUE_COMMAND(CCommunicate0Adj);
// Comparator state, mode and limits.
VX_FRONT_VALUE_COMMAND(CCommunicateComparator);
// Beeper tone and count for the five judgement events.
VX_FRONT_VALUE_COMMAND(CCommunicateBeepHiInLo);
// BIN function state, enable mask and the ten entries.
VX_FRONT_VALUE_COMMAND(CCommunicateBin);

#undef VX_FRONT_VALUE_COMMAND
