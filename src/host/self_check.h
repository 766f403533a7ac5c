#pragma once

#include <string>

#include "settings/meas_set_data.h"
#include "settings/user_prompt.h"

class CInstrumentLink;
class CMeasController;

// The text shown for the reply to "*TST?" ("replied" false: no reply came).
std::string SelfCheckResultText(const std::string& reply, bool replied);

// The self-check: asks "Execute self-check?", checks the connection, runs "*TST?" (15 s) and,
// with the MUX in use, checks that the MUX still answers; shows the result. False when the
// operator declined or the connection check failed (its message shown).
bool RunSelfCheck(CMeasController& controller, CInstrumentLink& link, const MeasSetData& data, IUserPrompt& prompt);
