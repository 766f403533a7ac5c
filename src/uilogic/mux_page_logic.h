#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "settings/meas_set_data.h"
#include "settings/user_prompt.h"
#include "uilogic/condition_logic.h"
#include "uilogic/front_page_logic.h"
#include "uilogic/mux_paste.h"

// Control numbers of the MUX settings page. The condition controls share their numbers with the
// front page (kFc*); these are the page's own.
enum MuxControl : int {
    kMcMethod = 1001,
    kMcScanMethod = 1002,
    kMcFailStop = 1003,
    kMcBeepTone0 = 1005, // tone/count pairs 1005/1006 ... 1013/1014 for Hi, IN, Lo, PASS, FAIL
    kMcBeepCount4 = 1014,
    kMcAutoHold = 1019,
    kMcSelfCalb = 1031,
    kMcScan = 1033,
    kMcStepList = 1048,
    kMcCopy = 1058,
    kMcPaste = 1059,
    kMcPasteAll = 1060,
    kMcBatchSet = 1112,
    kMcStepGroup = 1159,
    kMcOverRangeError = 1166,
    kMcCurrentErrorMode = 1171,
    kMcAtc = 1174,
    kMcAtcSettings = 1175,
};

// Columns of the step list.
enum StepColumn : int {
    kScEnable,
    kScChannel,
    kScName,
    kScUnit,
    kScTermA,
    kScTermB,
    kScInst,
    kScZeroAll,
    kScSpeed,
    kScRange,
    kScComp,
    kScUpper,
    kScUpperUnit,
    kScLower,
    kScLowerUnit,
    kScPass,
    kStepColumns
};

inline constexpr const char* kRangeLocked = "Range cannot be changed when Comparator is enabled.";
inline constexpr const char* kMuxComparatorRefused = "Comparator not available when Auto-Range or DeltaT is enabled.";
inline constexpr const char* kCh1Refused = "CH1 not available";
inline constexpr const char* kOtherRowEdited = "?????";
inline constexpr const char* kChangeInvalid = "The setting change becomes invalid";

struct MuxPageView {
    struct StepRow {
        int Enable = 0;
        std::array<std::string, kStepColumns> Cells;
        std::string RangeChoices; // the Range cell's choices, "AUTO;...;"
    };
    std::array<StepRow, kMuxChannels> Steps;
    std::string TermChoices; // the TermA and TermB cells of the method
    std::string InstChoices;
    int RangeChoice = 0;
    int CompChoice = 0; // 0 "OFF", 1 "ABS", 2 "REF%", 3 "CH1"
    std::string OvcCaption = "OVC";
    std::string StepCaption; // "CH%d settings"
    std::map<int, int> Checks;
    std::map<int, std::string> Texts;
    std::map<int, bool> Enabled;
    std::vector<FrontPageView::ZeroRow> Zero;
};

// The MUX page without widgets: the scan settings and beeper, and the 42 channels of the chosen
// method, one of which (the current step) is edited in detail; copy and paste between channels.
class CMuxPageLogic {
public:
    CMuxPageLogic(int32_t model, IUserPrompt& prompt);

    int32_t Model() const { return m_model; }
    // The MUX portion (every field from MuxScan to Channels4Wire) is the page's; the rest is unused.
    MeasSetData Mux;
    const MuxPageView& View() const { return m_view; }
    int CurrentStep() const { return m_step; }
    const MeasCondition& StepCond() const { return m_cond; }
    const MuxPinSet& StepPins() const { return m_pins; }
    bool CanPaste() const { return m_canPaste; }

    void DisplaySettings();
    void UpdateControlStates();
    [[nodiscard]] bool CollectSettings();
    // The channel of the recorded error becomes the current step.
    void SelectErrorStep();

    // Operator edits; the view is refreshed afterwards.
    void SetCheck(int control, bool on);
    void Choose(int control, int index);
    void EditText(int control, const std::string& text);
    void LeaveEdit(int control);
    // False (error recorded, row kept) when the current step's entries cannot be taken.
    [[nodiscard]] bool ChangeRow(int row);
    // False (error recorded, method kept) when a channel of the method being left is invalid.
    [[nodiscard]] bool ChangeMethod(int method);
    void CheckStepRow(int row, bool on);
    void EndStepEdit(int row, int column, const std::string& text, int index);
    void EditZeroCell(int row, const std::string& text);
    void CheckZeroRow(int row, bool on);
    void EndZeroEdit();
    void Copy(const std::array<bool, kPasteItems>& items);
    void Paste();
    void PasteToAll();
    // The A-TC dialog works on a copy of the current step's condition (the entries taken first);
    // its OK replaces the step's condition with it.
    MeasCondition ConditionForAtc();
    void ApplyAtc(const MeasCondition& condition);

    int ErrorControl = 0;
    int ErrorRow = 0;
    int ErrorColumn = 0;
    int ErrorStep = kMuxChannels;
    std::string ErrorText;

    // The rules the widgets and tests need.
    int32_t Method() const { return Mux.MuxMeasMethod; }
    std::string RangeChoicesOf(const MeasCondition& c) const;
    int RangeShift(const MeasCondition& c) const;
    [[nodiscard]] bool CheckChannel(MeasCondition& c, int channel);

private:
    bool LowPowerApplies(const MeasCondition& c) const { return c.LowPower != 0 && m_model != 2048; }
    int StoredRange(const MeasCondition& c) const { return LowPowerApplies(c) ? c.LoPowerRange : c.Range; }
    int ShownRange() const { return m_view.RangeChoice > 0 ? m_view.RangeChoice - 1 : StoredRange(m_cond); }
    int ZeroAdjCount() const;
    int LowestZeroEntry() const;
    RangeContext Context(const MeasCondition& c) const { return CProcessData::ContextOf(c, m_model); }
    std::array<int32_t, kZeroAdjSlots>& ZeroOn();
    std::array<int32_t, kZeroAdjSlots>& ZeroValue();
    void SelectStep(int step, bool store);
    void FillStepList();
    void FillStepRow(int row);
    void FillRangeCell();
    void ShowDetails();
    void PushChecks();
    void ShowComparator();
    void ShowNumbers();
    void BuildZeroAdjList();
    void ShowZeroAdjust();
    void CollectRange();
    [[nodiscard]] bool ExchangeStep();
    [[nodiscard]] bool ReadTexts();
    [[nodiscard]] bool CollectComparator();
    [[nodiscard]] bool CollectZeroAdjust();
    [[nodiscard]] bool ConfirmZeroAdjustClear();
    void CollectPinCell(int column, const std::string& text);
    void TurnTemperatureCorrection(int control, bool on);
    void EditRangeCell(int index);
    void EditCompCell(int index);
    void Refresh();
    void RedisplayAfter(bool textsRead, const std::map<int, std::string>& typed);
    void Fail(int control, int row, int column, const std::string& text);
    int32_t* Bound(int control);

    int32_t m_model;
    IUserPrompt& m_prompt;
    MuxPageView m_view;
    int m_step = 0;
    MuxPinSet m_pins;
    MeasCondition m_cond;
    int m_scanShown = 1;
    MuxClip m_clip;
    bool m_canPaste = false;
    std::string m_shownUpper, m_shownLower;
};
