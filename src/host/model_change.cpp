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
    const bool sameFamily = SameModelFamily(oldCode, newCode);
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
