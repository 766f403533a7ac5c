#include "host/model_change.h"

#include "settings/model_info.h"

bool ChangeModel(int32_t newCode, CSettingData& config, MeasSetData& data, IUserPrompt& prompt)
{
    const int32_t oldCode = config.ModelCode;
    if (newCode == oldCode)
        return false;
    config.ModelCode = newCode;
    if (newCode == kModelUnset)
        return true;
    // With the model unset the conditions still belong to the model they were made for, so going
    // back to it (or to its family) keeps them.
    const int32_t conditionsModel = oldCode == kModelUnset ? data.ModelCode : oldCode;
    const bool sameFamily = conditionsModel == newCode || SameModelFamily(conditionsModel, newCode);
    data.ModelCode = newCode;
    if (sameFamily) {
        if (!IsMuxModel(newCode))
            data.MuxOn = 0;
        return true;
    }
    prompt.ShowMessage(kInitializeSettings);
    InitMeasSetData(data, newCode);
    data.ModelCode = newCode;
    data.MuxOn = 0;
    return true;
}
