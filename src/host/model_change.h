#pragma once

#include <cstdint>

#include "settings/meas_set_data.h"
#include "settings/setting_data.h"
#include "settings/user_prompt.h"

inline constexpr const char* kInitializeSettings = "Initialize the measurement settings.";

// The change of the configured model to newCode. Within a family the conditions are kept (the
// MUX is dropped for a model without one); across families the operator is told and the
// conditions are reset to the new model's defaults. False when the model stays the same.
bool ChangeModel(int32_t newCode, CSettingData& config, MeasSetData& data, IUserPrompt& prompt);
