#include "ui/normal_set_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "ui/list_ctrl_ex.h"
#include "ui/ui_common.h"

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

CNormalSetDlg::CNormalSetDlg(int32_t model, IUserPrompt& prompt, QWidget* parent)
    : QWidget(parent)
    , m_prompt(prompt)
    , m_logic(model, prompt)
    , m_controls(this, RefreshingHandlers(m_logic, [this] { Refresh(); }))
{
    Build();
    SetChildFonts(this, UiFont(8));
    DisplaySettings();
}

// Closing the window moves the focus and ends an entry after the logic is gone: nothing may reach it.
CNormalSetDlg::~CNormalSetDlg()
{
    DisconnectChildren(this);
}

void CNormalSetDlg::Build()
{
    auto* layout = new QGridLayout(this);
    layout->addLayout(BuildConditions(), 0, 0, 2, 1);
    auto* middle = new QVBoxLayout;
    middle->addWidget(BuildComparatorGroup());
    middle->addWidget(BuildTemperatureAndScaling());
    middle->addWidget(BuildBeepGroup());
    middle->addStretch();
    layout->addLayout(middle, 0, 1, 2, 1);
    BuildLists();
    auto* right = new QVBoxLayout;
    right->addWidget(AddCheck(kFcBin, tr("BIN")));
    right->addWidget(m_binList);
    auto* zeroGroup = new QGroupBox(tr("0ADJ"), this);
    zeroGroup->setObjectName(ControlName(1065));
    auto* zeroLayout = new QVBoxLayout(zeroGroup);
    zeroLayout->addWidget(m_zeroList);
    right->addWidget(zeroGroup);
    right->addStretch();
    layout->addLayout(right, 0, 2, 2, 1);
    // Measurement digits: part of the page's template, never shown and bound to nothing.
    AddLabel(1129, tr("Meas. Digit : "))->hide();
    AddCombo(1127, { "5", "6", "7" })->hide();
}

QGridLayout* CNormalSetDlg::BuildConditions()
{
    auto* grid = new QGridLayout;
    int row = 0;
    grid->addWidget(AddLabel(1061, tr("Range : ")), row, 0);
    grid->addWidget(AddCombo(kFcRange, {}), row++, 1);
    grid->addWidget(AddLabel(1062, tr("Speed : ")), row, 0);
    grid->addWidget(AddCombo(kFcSpeed, { "SLOW2", "SLOW1", "MED", "FAST" }), row++, 1);
    const std::pair<int, QString> checks[] = { { kFcOvc, tr("OVC") }, { kFcHighAccuracy, tr("100M\u03A9 Precision") },
        { kFcContactCheck, tr("Contact Check") }, { kFcLowPower, tr("Low Power") },
        { kFcPureResistance, tr("Pure Resistance") }, { kFcAutoHold, tr("Auto Hold") },
        { kFcContactImprove, tr("Contact Improve") }, { kFcMeasCurrLow, tr("Meas. Current Low") },
        { kFcSelfCalb, tr("Auto Self Calibration") }, { kFcStatistics, tr("Statistics") },
        { kFcOverRangeError, tr("Over Range Error Output") } };
    for (const auto& [id, caption] : checks)
        grid->addWidget(AddCheck(id, caption), row++, 0, 1, 2);
    grid->addWidget(AddLabel(1170, tr("Current Error Mode :")), row, 0);
    grid->addWidget(AddCombo(kFcCurrentErrorMode, { "CurErr", "OvrRng" }), row++, 1);
    grid->addWidget(AddCheck(kFcAverage, tr("Average")), row++, 0, 1, 2);
    grid->addWidget(AddLabel(1075, tr("Times : ")), row, 0);
    grid->addWidget(AddEdit(kFcAvgCount, false), row++, 1);
    grid->addWidget(AddCheck(kFcDelay, tr("Delay(Off:Preset)")), row++, 0, 1, 2);
    grid->addWidget(AddLabel(1078, tr("Time : ")), row, 0);
    grid->addWidget(AddEdit(kFcDelayTime, true), row++, 1);
    grid->setRowStretch(row, 1);
    return grid;
}

QWidget* CNormalSetDlg::BuildComparatorGroup()
{
    auto* group = new QGroupBox(tr("Comparator"), this);
    group->setObjectName(ControlName(1081));
    auto* grid = new QGridLayout(group);
    grid->addWidget(AddCombo(kFcComparator, { "OFF", "ABS", "REF%" }), 0, 0, 1, 2);
    grid->addWidget(AddEdit(kFcCompUpper, true), 1, 0);
    grid->addWidget(AddLabel(kFcUpperUnit, {}), 1, 1);
    grid->addWidget(AddEdit(kFcCompLower, true), 2, 0);
    grid->addWidget(AddLabel(kFcLowerUnit, {}), 2, 1);
    return group;
}

QWidget* CNormalSetDlg::BuildTemperatureAndScaling()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(AddCheck(kFcTc, tr("TC")), 0, 0);
    grid->addWidget(AddLabel(0, tr("t0 (\u00B0C)")), 0, 1);
    grid->addWidget(AddEdit(kFcTcT0, true), 0, 2);
    grid->addWidget(AddLabel(0, tr("\u03B1 (ppm/\u00B0C)")), 0, 3);
    grid->addWidget(AddEdit(kFcTcAlpha, true), 0, 4);
    grid->addWidget(AddCheck(kFcDeltaT, tr("Delta T")), 1, 0);
    grid->addWidget(AddLabel(0, tr("t1 (\u00B0C)")), 1, 1);
    grid->addWidget(AddEdit(kFcDtT1, true), 1, 2);
    grid->addWidget(AddLabel(0, tr("R1 (\u03A9)")), 1, 3);
    grid->addWidget(AddEdit(kFcDtR1, true), 1, 4);
    grid->addWidget(AddLabel(0, tr("k")), 2, 3);
    grid->addWidget(AddEdit(kFcDtK, true), 2, 4);
    grid->addWidget(AddCheck(kFcScaling, tr("Scaling")), 3, 0);
    grid->addWidget(AddLabel(0, tr("A")), 3, 1);
    grid->addWidget(AddEdit(kFcScalingA, true), 3, 2);
    grid->addWidget(AddLabel(0, tr("B")), 3, 3);
    grid->addWidget(AddEdit(kFcScalingB, true), 3, 4);
    grid->addWidget(AddLabel(1109, tr("Unit : ")), 4, 1);
    grid->addWidget(AddCombo(kFcUnitKind, { "\u03A9", "None", "User" }), 4, 2);
    QLineEdit* unit = AddEdit(kFcUnitText, false);
    unit->setMaxLength(static_cast<int>(kMaxUnitText));
    grid->addWidget(unit, 4, 4);
    return box;
}

QWidget* CNormalSetDlg::BuildBeepGroup()
{
    auto* group = new QGroupBox(tr("Beep"), this);
    group->setObjectName(ControlName(1054));
    auto* grid = new QGridLayout(group);
    const QString rows[3] = { tr("Hi : "), tr("IN : "), tr("Lo : ") };
    const int tones[3] = { kFcBeepTone0, kFcBeepTone1, kFcBeepTone2 };
    const int counts[3] = { kFcBeepCount0, kFcBeepCount1, kFcBeepCount2 };
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(AddLabel(0, rows[i]), i, 0);
        grid->addWidget(AddCombo(tones[i], { "OFF", "TYPE1", "TYPE2", "TYPE3" }), i, 1);
        grid->addWidget(AddCombo(counts[i], { "CONT.", "1", "2", "3", "4", "5" }), i, 2);
    }
    return group;
}

void CNormalSetDlg::Refresh()
{
    const FrontPageView& view = m_logic.View();
    m_controls.Checks.at(kFcOvc)->setText(Q(view.OvcCaption));
    m_controls.SetItems(kFcRange, view.RangeItems, view.RangeChoice);
    m_controls.Push({ { kFcComparator, view.CompChoice } }, {}, {});
    m_controls.Push(view.Checks, view.Texts, view.Enabled);
    RefreshBinList();
    RefreshZeroList();
}

void CNormalSetDlg::DisplaySettings()
{
    m_logic.DisplaySettings();
    Refresh();
}

void CNormalSetDlg::UpdateControlStates()
{
    m_logic.UpdateControlStates();
    Refresh();
}

void CNormalSetDlg::CommitOpenEditors()
{
    if (m_binList != nullptr)
        m_binList->EndEdit();
    if (m_zeroList != nullptr)
        m_zeroList->EndEdit();
}

bool CNormalSetDlg::CollectSettings()
{
    CommitOpenEditors(); // an open in-place edit is taken first
    return m_logic.CollectSettings();
}
