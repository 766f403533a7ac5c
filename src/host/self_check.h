#pragma once

#include <functional>
#include <string>

#include "settings/meas_set_data.h"
#include "settings/user_prompt.h"

class CInstrumentLink;
class CMeasController;

// The text shown for the reply to "*TST?" ("replied" false: no reply came). A reply that is not a
// whole decimal integer tells nothing about the instrument and reads as no reply.
std::string SelfCheckResultText(const std::string& reply, bool replied);

// What a window does around the instrument's self-test: Busy runs once the connection is checked,
// before "*TST?" is sent (busy state, wait cursor, "Self checking..."); Done runs after the last
// exchange, before the link is closed and the result is shown.
struct SelfCheckHooks {
    std::function<void()> Busy;
    std::function<void()> Done;
};

// The self-check: asks "Execute self-check?", checks the connection, runs "*TST?" (15 s) and,
// with the MUX in use, checks that the MUX still answers; shows the result. False when the
// operator declined or the connection check failed (its message shown).
bool RunSelfCheck(CMeasController& controller, CInstrumentLink& link, const MeasSetData& data, IUserPrompt& prompt,
    const SelfCheckHooks& hooks = {});
