// The MUX page's rules without widgets: range cells in both methods, zero-adjust rows, names,
// the comparator and range refusals, row and method changes, copy and paste, the A-TC settings,
// and a whole page written to the simulator and read back.
#include <gtest/gtest.h>

#include "commands/command_rig.h"
#include "commands/test_records.h"
#include "settings/model_info.h"
#include "uilogic/atc_set_logic.h"
#include "uilogic/mux_page_logic.h"

namespace {

std::array<bool, kPasteItems> Items(std::initializer_list<int> chosen)
{
    std::array<bool, kPasteItems> items {};
    for (const int item : chosen)
        items[static_cast<size_t>(item)] = true;
    return items;
}

// A channel on a fixed range with its comparator on.
MeasCondition ComparatorChannel(int32_t model)
{
    MeasCondition c;
    InitMeasCondition(c, model);
    c.AutoRange = 0;
    c.Range = 6;
    c.CompOn = 1;
    c.CompUpper = 5000;
    c.CompLower = 1000;
    return c;
}

} // namespace

TEST(MuxPaste, ItemsAndRestrictions)
{
    struct Case {
        const char* Name;
        int32_t Model;
        std::array<bool, kPasteItems> Chosen;
        std::function<void(MeasCondition& from, MeasCondition& to)> Setup;
        int Channel;
        const char* Refused;
        std::function<bool(const MeasCondition& to)> Expect;
    };
    const Case cases[] = {
        { "AUTO range refused under an active comparator copies nothing of the range", 10, Items({ kPiRange }),
            [](MeasCondition& from, MeasCondition& to) {
                from.Range = 3;
                from.HighAccuracy100M = 1;
                to = ComparatorChannel(10);
            },
            5, "Range",
            [](const MeasCondition& to) { return to.AutoRange == 0 && to.Range == 6 && to.HighAccuracy100M == 0; } },
        { "range and comparator together are both pasted", 10, Items({ kPiRange, kPiComparator }),
            [](MeasCondition&, MeasCondition& to) { to = ComparatorChannel(10); }, 5, "",
            [](const MeasCondition& to) { return to.AutoRange == 1 && to.CompOn == 0; } },
        { "comparator refused over AUTO copies no limits", 10, Items({ kPiComparator }),
            [](MeasCondition& from, MeasCondition&) { from = ComparatorChannel(10); }, 5, "Comparator",
            [](const MeasCondition& to) { return to.CompOn == 0 && to.CompUpper == 0 && to.PassCondition == 2; } },
        { "comparator refused over Delta T", 10, Items({ kPiComparator }),
            [](MeasCondition& from, MeasCondition& to) {
                from = ComparatorChannel(10);
                to.AutoRange = 0;
                to.DeltaTOn = 1;
            },
            5, "Comparator", [](const MeasCondition& to) { return to.CompOn == 0 && to.CompUpper == 0; } },
        { "CH1 reference into channel 1 takes the limits only", 10, Items({ kPiComparator }),
            [](MeasCondition& from, MeasCondition& to) {
                from = ComparatorChannel(10);
                from.CompMode = 1;
                from.CompRefCh1 = 1;
                from.CompLower = 5000;
                to.AutoRange = 0;
            },
            0, "",
            [](const MeasCondition& to) {
                return to.CompOn == 0 && to.CompMode == 0 && to.CompRefCh1 == 0 && to.CompUpper == 5000;
            } },
        { "OVC alone clears the changed channel's zero-adjust values", 10, Items({ kPiOvc }),
            [](MeasCondition& from, MeasCondition& to) {
                from.Ovc = 1;
                to.ZeroAdjOn[2] = 1;
                to.ZeroAdjValue[2] = 77;
            },
            3, "",
            [](const MeasCondition& to) { return to.Ovc == 1 && to.ZeroAdjOn[2] == 0 && to.ZeroAdjValue[2] == 0; } },
        { "OVC with 0ADJ keeps the values just pasted", 10, Items({ kPiOvc, kPiZeroAdj }),
            [](MeasCondition& from, MeasCondition& to) {
                from.Ovc = 1;
                from.ZeroAdjOn[2] = 1;
                from.ZeroAdjValue[2] = 55;
                to.ZeroAdjValue[2] = 77;
            },
            3, "", [](const MeasCondition& to) { return to.ZeroAdjOn[2] == 1 && to.ZeroAdjValue[2] == 55; } },
        { "Delta T clears TC, the comparator and A-TC of a VX6208", 2048, Items({ kPiDeltaT }),
            [](MeasCondition& from, MeasCondition& to) {
                from.DeltaTOn = 1;
                to = ComparatorChannel(2048);
                to.TcOn = 1;
                to.AtcOn = 1;
            },
            3, "",
            [](const MeasCondition& to) {
                return to.DeltaTOn == 1 && to.TcOn == 0 && to.CompOn == 0 && to.AtcOn == 0;
            } },
        { "A-TC clears Delta T and TC", 2048, Items({ kPiAtc }),
            [](MeasCondition& from, MeasCondition& to) {
                from.AtcOn = 1;
                from.AtcT0 = 25;
                to.DeltaTOn = 1;
            },
            3, "", [](const MeasCondition& to) { return to.AtcOn == 1 && to.AtcT0 == 25 && to.DeltaTOn == 0; } },
        { "the VX6208 range item leaves low power alone", 2048, Items({ kPiRange }),
            [](MeasCondition& from, MeasCondition&) {
                from.LowPower = 1;
                from.LoPowerRange = 1;
            },
            3, "", [](const MeasCondition& to) { return to.LowPower == 0 && to.LoPowerRange == 3; } },
    };
    for (const Case& c : cases) {
        MuxClip clip;
        clip.Items = c.Chosen;
        MeasCondition target;
        InitMeasCondition(clip.Cond, c.Model);
        InitMeasCondition(target, c.Model);
        c.Setup(clip.Cond, target);
        MuxPinSet pins;
        EXPECT_EQ(PasteInto(c.Model, clip, pins, target, c.Channel), c.Refused) << c.Name;
        EXPECT_TRUE(c.Expect(target)) << c.Name;
    }
}

TEST(MuxPage, PasteReportsEachRefusingChannelOnItsOwnLine)
{
    CRecordingPrompt prompt;
    CMuxPageLogic page(10, prompt);
    page.Mux.Channels4Wire[2] = ComparatorChannel(10);
    page.Mux.Channels4Wire[4] = ComparatorChannel(10);
    page.DisplaySettings();
    page.Copy(Items({ kPiRange, kPiSpeed }));
    ASSERT_TRUE(page.CanPaste());
    page.PasteToAll();
    EXPECT_EQ(prompt.Texts, std::vector<std::string> { std::string(kNotPasted) + "\nCH3 : Range\nCH5 : Range" });
    ASSERT_TRUE(page.ChangeRow(2));
    prompt.Texts.clear();
    page.Paste();
    EXPECT_EQ(prompt.Texts, std::vector<std::string> { std::string(kNotPasted) + "\n Range" });
    EXPECT_EQ(page.StepCond().Range, 6);
}

TEST(MuxPage, RangeCellsFollowModelMethodAndState)
{
    struct Case {
        int32_t Model;
        int32_t Method;
        bool LowPower;
        int Index; // chosen in the Range cell
        int Stored; // the range index (low-power index under low power)
        const char* Choices;
    };
    const Case cases[] = {
        { 10, 0, false, 2, 1, "AUTO;10m;100m;1000m;10;100;1000;10k;100k;1000k;10M;100M;1000M;" },
        { 10, 1, false, 1, 4, "AUTO;100;1000;10k;100k;1000k;10M;100M;1000M;" },
        { 160, 1, false, 1, 5, "AUTO;100;1000;10k;100k;1000k;10M;100M;1000M;" },
        { 2048, 1, false, 2, 6, "AUTO;100;1000;10k;100k;1000k;10M;100M;1000M;" },
        { 2048, 0, false, 1, 0, "AUTO;1000u;10m;100m;1000m;10;100;1000;10k;100k;1000k;10M;100M;1000M;" },
        { 12, 1, true, 1, 2, "AUTO;100;1000;" },
        { 160, 0, true, 4, 3, "AUTO;1000m;10;100;1000;" },
    };
    for (const Case& c : cases) {
        CRecordingPrompt prompt;
        CMuxPageLogic page(c.Model, prompt);
        ASSERT_TRUE(page.ChangeMethod(c.Method));
        if (c.LowPower)
            page.SetCheck(kFcLowPower, true);
        EXPECT_EQ(page.View().Steps[0].RangeChoices, c.Choices) << c.Model;
        page.EndStepEdit(0, kScRange, "", c.Index);
        const MeasCondition& cond = page.StepCond();
        EXPECT_EQ(c.LowPower ? cond.LoPowerRange : cond.Range, c.Stored) << c.Model << " " << c.Method;
        // Away and back: the stored range is shown as the same choice.
        ASSERT_TRUE(page.ChangeRow(1));
        ASSERT_TRUE(page.ChangeRow(0));
        std::string item = c.Choices;
        for (int i = 0; i < c.Index; ++i)
            item.erase(0, item.find(';') + 1);
        EXPECT_EQ(page.View().Steps[0].Cells[kScRange], item.substr(0, item.find(';'))) << c.Model;
        EXPECT_EQ(page.View().RangeChoice, c.Stored + 1);
        EXPECT_TRUE(prompt.Texts.empty()) << prompt.Texts.front();
    }
}

TEST(MuxPage, ZeroAdjustRowsLeaveOutTheRangesAMethodCannotUse)
{
    struct Case {
        int32_t Model;
        int32_t Method;
        bool LowPower;
        int First;
        size_t Rows;
    };
    const Case cases[] = { { 10, 0, false, 0, 10 }, { 10, 1, false, 4, 6 }, { 160, 1, false, 5, 6 },
        { 2048, 1, false, 5, 6 }, { 10, 0, true, 0, 4 }, { 12, 1, true, 2, 2 } };
    for (const Case& c : cases) {
        CRecordingPrompt prompt;
        CMuxPageLogic page(c.Model, prompt);
        ASSERT_TRUE(page.ChangeMethod(c.Method));
        if (c.LowPower)
            page.SetCheck(kFcLowPower, true);
        const auto& rows = page.View().Zero;
        ASSERT_EQ(rows.size(), c.Rows) << c.Model << " " << c.Method;
        EXPECT_EQ(rows.front().Entry, c.First) << c.Model << " " << c.Method;
        // A value typed into the first row lands in that range's entry.
        page.EditZeroCell(0, "0.5");
        page.EndZeroEdit();
        const MeasCondition& cond = page.StepCond();
        const auto& values = c.LowPower ? cond.LpZeroAdjValue : cond.ZeroAdjValue;
        EXPECT_NE(values[static_cast<size_t>(c.First)], 0) << c.Model << " " << c.Method;
    }
}

TEST(MuxPage, ChannelNamesKeepToTheirCharactersAndLength)
{
    const struct {
        const char* Typed;
        const char* Stored;
        bool Refused;
    } cases[] = { { "Pump 1", "CH3", true }, { "ABCDEFGHIJKL", "ABCDEFGHIJ", false }, { "ok_1", "ok_1", false } };
    for (const auto& c : cases) {
        CRecordingPrompt prompt;
        CMuxPageLogic page(10, prompt);
        ASSERT_TRUE(page.ChangeRow(2));
        page.EndStepEdit(2, kScName, c.Typed, 0);
        EXPECT_EQ(page.Mux.Pins4Wire[2].Name, c.Stored);
        EXPECT_EQ(page.View().Steps[2].Cells[kScName], c.Stored);
        EXPECT_EQ(prompt.Texts.size(), c.Refused ? 1U : 0U) << c.Typed;
    }
}

TEST(MuxPage, ComparatorAndRangeCellsRefuseWhatTheInstrumentRejects)
{
    CRecordingPrompt prompt;
    CMuxPageLogic page(10, prompt);
    page.EndStepEdit(0, kScComp, "ABS", 1); // AUTO range
    EXPECT_EQ(page.StepCond().CompOn, 0);
    page.EndStepEdit(0, kScRange, "10", 4);
    page.EndStepEdit(0, kScComp, "CH1", 3); // channel 1 cannot refer to itself
    EXPECT_EQ(page.View().Steps[0].Cells[kScComp], "ABS");
    page.EndStepEdit(0, kScRange, "AUTO", 0);
    EXPECT_EQ(page.StepCond().AutoRange, 0);
    EXPECT_EQ(page.StepCond().Range, 3);
    page.EndStepEdit(1, kScSpeed, "FAST", 3); // not the current row
    EXPECT_EQ(page.Mux.Channels4Wire[1].Speed, 0);
    EXPECT_EQ(
        prompt.Texts, (std::vector<std::string> { kMuxComparatorRefused, kCh1Refused, kRangeLocked, kOtherRowEdited }));
    EXPECT_EQ(page.Mux.Channels4Wire[0].CompOn, 1);
}

TEST(MuxPage, ARowChangeKeepsTheRowWhenTheStepsEntriesDoNotRead)
{
    CRecordingPrompt prompt;
    CMuxPageLogic page(10, prompt);
    page.SetCheck(kFcDelay, true);
    page.EditText(kFcDelayTime, "250");
    page.EditText(kFcAvgCount, "2x");
    EXPECT_FALSE(page.ChangeRow(3));
    EXPECT_EQ(page.CurrentStep(), 0);
    EXPECT_EQ(page.ErrorControl, kFcAvgCount);
    page.EditText(kFcAvgCount, "20");
    ASSERT_TRUE(page.ChangeRow(3));
    EXPECT_EQ(page.Mux.Channels4Wire[0].DelayTime, 250);
    EXPECT_EQ(page.Mux.Channels4Wire[0].AvgCount, 20);
}

TEST(MuxPage, AMethodChangeIsRefusedWhileAChannelOfTheOldMethodIsInvalid)
{
    CRecordingPrompt prompt;
    CMuxPageLogic page(12, prompt);
    page.Mux.Channels4Wire[6].AvgCount = 1;
    page.DisplaySettings();
    page.Copy(Items({ kPiSpeed }));
    EXPECT_FALSE(page.ChangeMethod(1));
    EXPECT_EQ(page.Method(), 0);
    EXPECT_EQ(page.View().Checks.at(kMcMethod), 0);
    EXPECT_EQ(page.ErrorStep, 6);
    EXPECT_EQ(page.ErrorText.rfind("Average ", 0), 0U) << page.ErrorText;
    page.SelectErrorStep();
    EXPECT_EQ(page.CurrentStep(), 6);
    page.EditText(kFcAvgCount, "10");
    ASSERT_TRUE(page.ChangeMethod(1));
    EXPECT_FALSE(page.CanPaste());
    EXPECT_EQ(page.View().TermChoices.substr(page.View().TermChoices.size() - 3), "21;");
    EXPECT_FALSE(page.View().Enabled.at(kFcContactCheck));
}

TEST(MuxPage, GlobalChoicesAreShownAndTypedNumbersSurviveThem)
{
    CRecordingPrompt prompt;
    CMuxPageLogic page(10, prompt);
    page.SetCheck(kFcAverage, true);
    page.EditText(kFcAvgCount, "4x"); // not left yet, and not a number
    page.Choose(kMcBeepTone0 + 6, 2); // PASS tone
    page.Choose(kMcBeepTone0 + 7, 4); // PASS count
    page.Choose(kMcScanMethod, 0);
    const MuxPageView& view = page.View();
    EXPECT_EQ(view.Checks.at(kMcBeepTone0 + 6), 2);
    EXPECT_TRUE(view.Enabled.at(kMcBeepTone0 + 7));
    EXPECT_EQ(page.Mux.MuxBeep[3].Tone, 2);
    EXPECT_EQ(view.Checks.at(kMcScanMethod), 0);
    EXPECT_EQ(view.Texts.at(kFcAvgCount), "4x");
    page.SetCheck(kMcScan, false);
    EXPECT_FALSE(page.View().Enabled.at(kMcScanMethod));
    EXPECT_EQ(page.Mux.MuxBeep[3].Count, 4);
    EXPECT_EQ(page.StepCond().Speed, 0); // 1012 is the PASS count here, not the speed
}

TEST(MuxPage, EveryModelStartsWithAPageThatCollects)
{
    for (const int32_t model : kModelCodes) {
        CRecordingPrompt prompt;
        CMuxPageLogic page(model, prompt);
        EXPECT_TRUE(page.CollectSettings()) << model << " " << page.ErrorText;
        ASSERT_TRUE(page.ChangeMethod(1)) << model;
        EXPECT_TRUE(page.CollectSettings()) << model << " " << page.ErrorText;
        EXPECT_EQ(page.View().Steps[41].Cells[kScChannel], "42");
    }
}

TEST(MuxPage, CollectingChecksEveryChannelOfBothMethodsIncludingATc)
{
    CRecordingPrompt prompt;
    CMuxPageLogic page(2048, prompt);
    ASSERT_TRUE(page.CollectSettings());
    page.Mux.Channels2Wire[40].AtcAvgCount = 1;
    page.Mux.Channels4Wire[9].CompMode = 1;
    page.Mux.Channels4Wire[9].CompLower = 100000; // above 99.999 %
    EXPECT_FALSE(page.CollectSettings());
    EXPECT_EQ(page.ErrorStep, 40); // the last failure is the one recorded
    EXPECT_EQ(page.ErrorControl, kMcAtcSettings);
    EXPECT_EQ(page.Mux.Channels4Wire[9].CompUpper, 100); // a REF% reference is at least 100
}

TEST(AtcSettings, OkWritesTheRangeBackAndChecksEveryValue)
{
    MeasCondition c;
    InitMeasCondition(c, 2048);
    c.AtcT1 = 0;
    CAtcSetLogic atc(2048, c);
    EXPECT_EQ(atc.Texts.at(kAtcT1), "000.0");
    EXPECT_EQ(atc.Texts.at(kAtcTcr), "03930");
    EXPECT_EQ(atc.RangeItems().size(), 14U);
    atc.SetCheck(kAtcAverage, false);
    atc.SetCheck(kAtcOvc, true);
    EXPECT_TRUE(atc.Enabled(kAtcAvgCount));
    atc.Choose(kAtcRange, 3);
    atc.Choose(kAtcTermB, 9);
    ASSERT_TRUE(atc.Collect());
    EXPECT_EQ(atc.Cond.AtcAutoRange, 0);
    EXPECT_EQ(atc.Cond.AtcRange, 2);
    EXPECT_EQ(atc.Cond.AtcTermB, 10);

    const struct {
        int Control;
        const char* Typed;
        const char* Message;
    } refused[] = { { kAtcDelayTime, "40000", "A-TC-Delay " }, { kAtcT0, "150", "A-TC-t0 " },
        { kAtcAvgCount, "1", "A-TC-Average " }, { kAtcR1, "0", "A-TC-R1 " } };
    for (const auto& r : refused) {
        CAtcSetLogic edited(2048, c);
        edited.Texts[r.Control] = r.Typed;
        EXPECT_FALSE(edited.Collect()) << r.Typed;
        EXPECT_EQ(edited.ErrorControl, r.Control);
        EXPECT_EQ(edited.ErrorText.rfind(r.Message, 0), 0U) << edited.ErrorText;
    }
}

TEST(LumpSet, AllOnTakesATcOnlyForTheVx6208)
{
    for (const int32_t model : { 8, 160, 2048 }) {
        CLumpSetLogic lump(model);
        lump.AllOn();
        EXPECT_EQ(lump.Items[kPiAtc], model == 2048) << model;
        EXPECT_TRUE(lump.Items[kPiZeroAdj]);
        lump.AllOff();
        EXPECT_FALSE(lump.AnyChosen());
    }
    EXPECT_EQ(PasteItemCaption(kPiOvc, 2048), "A-OVC");
}

// The page collected, written to the simulator, read back into a fresh page: the same 42 rows.
TEST(MuxPage, ACollectedPageSurvivesTheInstrument)
{
    for (const int32_t method : { 0, 1 }) {
        SSimRig rig("VX6208");
        ASSERT_TRUE(rig.Started);
        CRecordingPrompt prompt;
        CMuxPageLogic page(2048, prompt);
        page.Mux = MakeMuxRecord(2048, method);
        page.DisplaySettings();
        page.EndStepEdit(0, kScName, "Heater_1", 0);
        page.EndStepEdit(0, kScSpeed, "MED", 2);
        ASSERT_TRUE(page.ChangeRow(41));
        page.SetCheck(kFcAverage, true);
        page.EditText(kFcAvgCount, "33");
        ASSERT_TRUE(page.CollectSettings()) << page.ErrorText;
        MeasSetData sent = page.Mux;
        sent.ModelCode = 2048;
        sent.MuxOn = 1;
        CCommunicateMeasData transfer(rig.Prompt, rig.Link);
        ASSERT_TRUE(transfer.WriteAll(sent));
        MeasSetData read = DefaultRecord(2048);
        ASSERT_TRUE(transfer.ReadAll(read));
        for (const int32_t table : { 0, 1 }) { // names live in settings files, not in the instrument
            for (size_t k = 0; k < kMuxChannels; ++k)
                read.Pins(table)[k].Name = sent.Pins(table)[k].Name;
        }
        CMuxPageLogic shown(2048, prompt);
        shown.Mux = read;
        shown.DisplaySettings();
        ASSERT_TRUE(shown.ChangeRow(41));
        for (size_t row = 0; row < kMuxChannels; ++row) {
            EXPECT_EQ(shown.View().Steps[row].Cells, page.View().Steps[row].Cells) << "row " << row;
            EXPECT_EQ(shown.View().Steps[row].Enable, page.View().Steps[row].Enable) << "row " << row;
        }
        EXPECT_EQ(shown.View().Texts.at(kFcAvgCount), "33");
        EXPECT_EQ(shown.View().Steps[0].Cells[kScName], "Heater_1");
        EXPECT_TRUE(prompt.Texts.empty());
    }
}
