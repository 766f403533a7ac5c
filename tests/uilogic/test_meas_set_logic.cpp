// The settings dialog's rules without windows: the captions of each model family, the panel
// numbers, and the values the two pages share.
#include <gtest/gtest.h>

#include "host/panel_names.h"
#include "host/startup_settings.h"
#include "host/zero_adjust_run.h"
#include "settings/model_info.h"
#include "uilogic/meas_set_logic.h"

namespace {

struct SFamilyCase {
    int32_t Model;
    const char* Family;
};

const SFamilyCase kFamilies[] = {
    { kModelVx6207, "VX6207" },
    { kModelVx6207_01, "VX6207" },
    { kModelVx6207_02, "VX6207" },
    { kModelVx6207_03, "VX6207" },
    { kModelVx6207A_1, "VX6207A" },
    { kModelVx6207A_2, "VX6207A" },
    { kModelVx6208, "VX6208" },
};

TEST(MeasSetLogic, EveryCaptionAndTextNamesTheModelFamily)
{
    for (const SFamilyCase& test : kFamilies) {
        const std::string family = test.Family;
        EXPECT_EQ(LoadButtonCaption(test.Model), "Load from " + family) << test.Model;
        EXPECT_EQ(SendButtonCaption(test.Model), "Send to " + family) << test.Model;
        EXPECT_EQ(TransferTextOf(test.Model), "Transferring settings to " + family + "....") << test.Model;
        EXPECT_EQ(CapturingTextOf(test.Model), "Capturing settings from " + family + "....") << test.Model;
        EXPECT_EQ(MirrorQuestionOf(test.Model), "Mirror measurement conditions to " + family + "?") << test.Model;
    }
}

TEST(MeasSetLogic, PanelNumbersRunFromOneForFrontAndFromThirtyOneForMux)
{
    struct SCase {
        int Index;
        bool Mux;
        int Number;
    };
    for (const SCase& test :
        { SCase { 0, false, 1 }, SCase { 29, false, 30 }, SCase { 0, true, 31 }, SCase { kMuxPanels - 1, true, 38 } })
        EXPECT_EQ(PanelNumber(test.Index, test.Mux), test.Number) << test.Index << " mux " << test.Mux;
}

// Each model's record with the two shared values set apart in the two portions.
TEST(MeasSetLogic, ThePageShownDecidesTheSharedValuesOfTheBlock)
{
    for (const int32_t model : kModelCodes) {
        for (const int32_t muxSelected : { 0, 1 }) {
            MeasSetData mux;
            InitMeasSetData(mux, model);
            mux.MuxOverRangeError = 1;
            mux.MuxCurrentErrorMode = 0;
            mux.MuxScan = 0; // a MUX-only value that must survive
            FrontSetData front;
            InitFrontSetData(front, model);
            front.OverRangeError = 0;
            front.CurrentErrorMode = 1;
            front.AutoHold = 1; // a front-only value that must survive

            const MeasSetData block = BuildSettingsBlock(model, muxSelected, mux, front);
            const int32_t overRange = muxSelected != 0 ? 1 : 0;
            const int32_t currentError = muxSelected != 0 ? 0 : 1;
            EXPECT_EQ(block.ModelCode, model);
            EXPECT_EQ(block.MuxOn, muxSelected);
            EXPECT_EQ(block.MuxOverRangeError, overRange) << model << "/" << muxSelected;
            EXPECT_EQ(block.Front.OverRangeError, overRange) << model << "/" << muxSelected;
            EXPECT_EQ(block.MuxCurrentErrorMode, currentError) << model << "/" << muxSelected;
            EXPECT_EQ(block.Front.CurrentErrorMode, currentError) << model << "/" << muxSelected;
            EXPECT_EQ(block.MuxScan, 0);
            EXPECT_EQ(block.Front.AutoHold, 1);

            // A change of page carries the values of the page left into the page shown.
            const bool toMux = muxSelected != 0;
            CarrySharedValues(toMux, mux, front);
            EXPECT_EQ(mux.MuxOverRangeError, front.OverRangeError);
            EXPECT_EQ(mux.MuxCurrentErrorMode, front.CurrentErrorMode);
            EXPECT_EQ(front.OverRangeError, toMux ? 0 : 1) << "the page left decides";
        }
    }
}

} // namespace
