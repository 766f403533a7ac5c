#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "settings/meas_set_data.h"
#include "settings/user_prompt.h"
#include "uilogic/condition_logic.h"

// Control numbers of the front settings page.
enum FrontControl : int {
    kFcRange = 1011,
    kFcSpeed = 1012,
    kFcOvc = 1015,
    kFcHighAccuracy = 1016,
    kFcLowPower = 1017,
    kFcContactCheck = 1018,
    kFcAutoHold = 1019,
    kFcContactImprove = 1020,
    kFcAverage = 1021,
    kFcComparator = 1023,
    kFcDelay = 1024,
    kFcDeltaT = 1025,
    kFcTc = 1026,
    kFcScaling = 1027,
    kFcUnitKind = 1028,
    kFcStatistics = 1029,
    kFcBin = 1030,
    kFcSelfCalb = 1031,
    kFcMeasCurrLow = 1032,
    kFcAvgCount = 1076,
    kFcDelayTime = 1079,
    kFcCompUpper = 1083,
    kFcUpperUnit = 1084,
    kFcLowerUnit = 1087,
    kFcDtT1 = 1093,
    kFcDtK = 1099,
    kFcTcT0 = 1101,
    kFcTcAlpha = 1104,
    kFcScalingA = 1106,
    kFcScalingB = 1108,
    kFcUnitText = 1110,
    kFcBinList = 1113,
    kFcZeroList = 1115,
    kFcDtR1 = 1128,
    kFcCompLower = 1131,
    kFcOverRangeError = 1166,
    kFcPureResistance = 1167,
    kFcCurrentErrorMode = 1171,
    kFcBeepTone0 = 1005,
    kFcBeepCount0 = 1006,
    kFcBeepTone1 = 1007,
    kFcBeepCount1 = 1008,
    kFcBeepTone2 = 1009,
    kFcBeepCount2 = 1010,
};

// Everything the page's controls show, filled by the logic and pushed to the widgets at once.
struct FrontPageView {
    struct BinRow {
        int On = 0;
        std::string Mode, Upper, UpperUnit, Lower, LowerUnit;
    };
    using ZeroRow = ZeroAdjRow;
    std::vector<std::string> RangeItems;
    int RangeChoice = 0;
    int CompChoice = 0;
    std::string OvcCaption = "OVC";
    std::map<int, int> Checks; // check boxes and drop lists by control number
    std::map<int, std::string> Texts; // edits and unit labels by control number
    std::map<int, bool> Enabled;
    std::array<BinRow, kBinBits> Bin {};
    std::vector<ZeroRow> Zero;
};

// The front page without widgets: it holds the edited conditions, decides what every control
// shows and which may be used, applies each edit by the page's rules and checks the whole page.
class CFrontPageLogic {
public:
    CFrontPageLogic(int32_t model, IUserPrompt& prompt);

    int32_t Model() const { return m_model; }
    FrontSetData Front;
    const FrontPageView& View() const { return m_view; }

    void DisplaySettings();
    void UpdateControlStates();
    [[nodiscard]] bool CollectSettings();

    // One operator edit each; the view is refreshed afterwards.
    void SetCheck(int control, bool on);
    void Choose(int control, int index);
    void EditText(int control, const std::string& text); // a keystroke
    void LeaveEdit(int control); // focus left an edit
    void EditBinCell(int row, int column, const std::string& text);
    void CheckBinRow(int row, bool on);
    void EndBinEdit();
    void EditZeroCell(int row, const std::string& text);
    void CheckZeroRow(int row, bool on);
    void EndZeroEdit();

    int ErrorControl = 0;
    int ErrorRow = 0;
    int ErrorColumn = 0;
    std::string ErrorText;

    // The rules the widgets and tests need.
    int RangeCount() const;
    int ZeroAdjCount() const;
    bool LowPowerApplies() const { return Front.Cond.LowPower != 0 && m_model != 2048; }
    int CurrentRange() const;

private:
    RangeContext Context() const { return CProcessData::ContextOf(Front.Cond, m_model); }
    int ShownRange() const { return m_view.RangeChoice > 0 ? m_view.RangeChoice - 1 : CurrentRange(); }
    std::array<int32_t, kZeroAdjSlots>& ZeroOn();
    std::array<int32_t, kZeroAdjSlots>& ZeroValue();
    void FillRangeList();
    void CollectRange();
    void BuildZeroAdjList();
    void ShowZeroAdjust();
    void ShowBinTable();
    void ShowComparator();
    void ShowNumbers();
    void PushChecks();
    [[nodiscard]] bool ReadTexts();
    [[nodiscard]] bool CheckNumbers();
    [[nodiscard]] bool CollectBinTable();
    [[nodiscard]] bool CollectComparator();
    [[nodiscard]] bool CollectZeroAdjust();
    [[nodiscard]] bool ConfirmZeroAdjustClear();
    void ApplyExclusion(const std::string& refusal, const ExclusionState& state);
    ExclusionState Exclusions() const;
    void Fail(int control, int row, int column, const std::string& text);
    void EndListEdit(bool bin);
    void RedisplayAfter(bool textsRead, const std::map<int, std::string>& typed);

    int32_t m_model;
    IUserPrompt& m_prompt;
    FrontPageView m_view;
    // The texts last shown in the limit cells: a text the operator left alone keeps its count
    // (a clipped display such as 99999.9 must not be read back as the limit).
    std::array<std::string, kBinBits> m_shownUpper, m_shownLower;
    std::string m_shownCompUpper, m_shownCompLower;
    std::array<bool, kBinBits> m_binFailed {};
};

// The setting a check box or drop list of the page is bound to; null for any other control.
int32_t* BoundSetting(FrontSetData& front, int control);
// The enable rules of a condition's controls that both pages share (model, low power, average,
// delay, Delta T, TC, scaling).
void ConditionControlStates(int32_t model, const MeasCondition& c, std::map<int, bool>& on);
// The same for the controls of one measurement condition, which the MUX page shares.
int32_t* BoundConditionSetting(MeasCondition& c, int control);

// "%s : %s" of a message head and its range text.
std::string JoinMessage(const std::string& head, const std::string& text);
