#include "uilogic/meas_set_logic.h"

#include "settings/model_info.h"

std::string LoadButtonCaption(int32_t model)
{
    return "Load from " + ModelFamilyName(model);
}

std::string SendButtonCaption(int32_t model)
{
    return "Send to " + ModelFamilyName(model);
}

std::string CapturingTextOf(int32_t model)
{
    return "Capturing settings from " + ModelFamilyName(model) + "....";
}

MeasSetData BuildSettingsBlock(
    int32_t model, int32_t muxSelected, const MeasSetData& muxPortion, const FrontSetData& front)
{
    MeasSetData block = muxPortion;
    block.ModelCode = model;
    block.MuxOn = muxSelected;
    block.Front = front;
    if (muxSelected != 0) {
        block.Front.OverRangeError = block.MuxOverRangeError;
        block.Front.CurrentErrorMode = block.MuxCurrentErrorMode;
    } else {
        block.MuxOverRangeError = block.Front.OverRangeError;
        block.MuxCurrentErrorMode = block.Front.CurrentErrorMode;
    }
    return block;
}

void CarrySharedValues(bool toMux, MeasSetData& muxPortion, FrontSetData& front)
{
    if (toMux) {
        muxPortion.MuxOverRangeError = front.OverRangeError;
        muxPortion.MuxCurrentErrorMode = front.CurrentErrorMode;
    } else {
        front.OverRangeError = muxPortion.MuxOverRangeError;
        front.CurrentErrorMode = muxPortion.MuxCurrentErrorMode;
    }
}
