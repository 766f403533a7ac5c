#include "ui/mux_set_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/atc_set_dlg.h"
#include "ui/list_ctrl_ex.h"
#include "ui/lump_set_dlg.h"
#include "ui/ui_common.h"

namespace {

constexpr int kStepGroupBox = 1111;
const QStringList kTones { "OFF", "TYPE1", "TYPE2", "TYPE3" };
const QStringList kCounts { "CONT.", "1", "2", "3", "4", "5" };

} // namespace

CMuxSetDlg::CMuxSetDlg(int32_t model, IUserPrompt& prompt, QWidget* parent)
    : QWidget(parent)
    , m_prompt(prompt)
    , m_ownRunner(std::make_unique<CQtDialogRunner>())
    , m_logic(model, prompt)
    , m_controls(this, RefreshingHandlers(m_logic, [this] { Refresh(); }))
{
    m_runner = m_ownRunner.get();
    m_controls.SetChooseHandler([this](int id, int index) { OnChoose(id, index); });
    Build();
    SetChildFonts(this, UiFont(8));
    DisplaySettings();
}

// Closing the window moves the focus and ends an entry after the logic is gone: nothing may reach it.
CMuxSetDlg::~CMuxSetDlg()
{
    DisconnectChildren(this);
}

void CMuxSetDlg::Build()
{
    auto* layout = new QGridLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(BuildScanGroup());
    top->addWidget(BuildBeepGroup());
    auto* buttons = new QVBoxLayout;
    const std::pair<int, const char*> actions[]
        = { { kMcCopy, "Copy Meas. Conditions" }, { kMcPaste, "Paste Meas. Conditions" },
              { kMcPasteAll, "Paste Meas. Condition to All Channels" }, { kMcBatchSet, "Batch Set" } };
    for (const auto& [id, caption] : actions) {
        auto* button = new QPushButton(UiText(caption), this);
        button->setObjectName(ControlName(id));
        buttons->addWidget(button);
        if (id == kMcCopy || id == kMcBatchSet)
            connect(button, &QPushButton::clicked, this, [this, id] {
                if (id == kMcCopy) {
                    OnCopy();
                } else { // never shown: it offers the item choice and takes nothing from it
                    CLumpSetDlg items(m_logic.Model(), this);
                    (void)m_runner->Run(items);
                }
            });
        else
            connect(button, &QPushButton::clicked, this, [this, id] {
                CommitOpenEditors();
                if (id == kMcPaste)
                    m_logic.Paste();
                else
                    m_logic.PasteToAll();
                Refresh();
            });
    }
    findChild<QWidget*>(ControlName(kMcBatchSet))->hide();
    buttons->addStretch();
    top->addLayout(buttons);
    top->addStretch();
    layout->addLayout(top, 0, 0);
    BuildLists();
    layout->addWidget(m_stepList, 1, 0);
    layout->addWidget(BuildConditionGroup(), 2, 0);
    layout->setRowStretch(3, 1);
}

QWidget* CMuxSetDlg::BuildScanGroup()
{
    auto* group = new QGroupBox(this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(m_controls.AddCheck(kMcScan, UiText("Scan")), 0, 0, 1, 2);
    grid->addWidget(m_controls.AddLabel(1051, UiText("Scan TRG Type : ")), 1, 0);
    grid->addWidget(m_controls.AddCombo(kMcScanMethod, { "STEP", "AUTO" }), 1, 1);
    grid->addWidget(m_controls.AddLabel(1050, UiText("Meas. Method : ")), 2, 0);
    grid->addWidget(m_controls.AddCombo(kMcMethod, { "4wire", "2wire" }), 2, 1);
    grid->addWidget(m_controls.AddCheck(kMcFailStop, UiText("Fail Stop")), 3, 0, 1, 2);
    grid->addWidget(m_controls.AddCheck(kMcSelfCalb, UiText("Auto Self Calibration")), 4, 0, 1, 2);
    grid->addWidget(m_controls.AddCheck(kMcOverRangeError, UiText("Over Range Error Output")), 5, 0, 1, 2);
    grid->addWidget(m_controls.AddLabel(1170, UiText("Current Error Mode :")), 6, 0);
    grid->addWidget(m_controls.AddCombo(kMcCurrentErrorMode, { "CurErr", "OvrRng" }), 6, 1);
    m_controls.AddCheck(kMcAutoHold, UiText("Auto Hold"))->hide(); // part of the template, never shown
    return group;
}

QWidget* CMuxSetDlg::BuildBeepGroup()
{
    auto* group = new QGroupBox(UiText("Beep"), this);
    group->setObjectName(ControlName(1054));
    auto* grid = new QGridLayout(group);
    const char* rows[kBeepEvents] = { "Hi : ", "IN : ", "Lo : ", "PASS : ", "FAIL : " };
    for (int i = 0; i < kBeepEvents; ++i) {
        grid->addWidget(m_controls.AddLabel(0, UiText(rows[i])), i, 0);
        grid->addWidget(m_controls.AddCombo(kMcBeepTone0 + 2 * i, kTones), i, 1);
        grid->addWidget(m_controls.AddCombo(kMcBeepTone0 + 2 * i + 1, kCounts), i, 2);
    }
    return group;
}

QWidget* CMuxSetDlg::BuildConditionGroup()
{
    auto* outer = new QGroupBox(UiText("Measurement Conditions"), this);
    outer->setObjectName(ControlName(kStepGroupBox));
    auto* outerLayout = new QVBoxLayout(outer);
    m_stepGroup = new QGroupBox(outer);
    m_stepGroup->setObjectName(ControlName(kMcStepGroup));
    auto* row = new QHBoxLayout(m_stepGroup);
    row->addLayout(BuildConditionChecks());
    row->addLayout(BuildTemperatureAndScaling());
    auto* zeroGroup = new QGroupBox(UiText("0ADJ"), m_stepGroup);
    zeroGroup->setObjectName(ControlName(1065));
    auto* zeroLayout = new QVBoxLayout(zeroGroup);
    zeroLayout->addWidget(m_zeroList);
    zeroLayout->addStretch();
    row->addWidget(zeroGroup);
    row->addStretch();
    outerLayout->addWidget(m_stepGroup);
    // Measurement digits: part of the page's template, never shown and bound to nothing.
    m_controls.AddLabel(1129, UiText("Meas. Digit : "))->hide();
    m_controls.AddCombo(1127, { "5", "6", "7" })->hide();
    return outer;
}

QGridLayout* CMuxSetDlg::BuildConditionChecks()
{
    auto* grid = new QGridLayout;
    int row = 0;
    const std::pair<int, const char*> checks[]
        = { { kFcHighAccuracy, "100M\u03A9 Precision" }, { kFcContactCheck, "Contact Check" },
              { kFcMeasCurrLow, "Meas. Current Low" }, { kFcOvc, "OVC" }, { kFcLowPower, "Low Power" },
              { kFcPureResistance, "Pure Resistance" }, { kFcContactImprove, "Contact Improve" } };
    for (const auto& [id, caption] : checks)
        grid->addWidget(m_controls.AddCheck(id, UiText(caption)), row++, 0, 1, 2);
    grid->addWidget(m_controls.AddCheck(kFcAverage, UiText("Average")), row++, 0, 1, 2);
    grid->addWidget(m_controls.AddLabel(1075, UiText("Times : ")), row, 0);
    grid->addWidget(m_controls.AddEdit(kFcAvgCount, false), row++, 1);
    grid->addWidget(m_controls.AddCheck(kFcDelay, UiText("Delay(Off:Preset)")), row++, 0, 1, 2);
    grid->addWidget(m_controls.AddLabel(1078, UiText("Time : ")), row, 0);
    grid->addWidget(m_controls.AddEdit(kFcDelayTime, true), row++, 1);
    grid->setRowStretch(row, 1);
    return grid;
}

QGridLayout* CMuxSetDlg::BuildTemperatureAndScaling()
{
    auto* grid = new QGridLayout;
    grid->addWidget(m_controls.AddCheck(kFcTc, UiText("TC")), 0, 0);
    grid->addWidget(m_controls.AddLabel(0, UiText("t0 (\u00B0C)")), 0, 1);
    grid->addWidget(m_controls.AddEdit(kFcTcT0, true), 0, 2);
    grid->addWidget(m_controls.AddLabel(0, UiText("\u03B1 (ppm/\u00B0C)")), 0, 3);
    grid->addWidget(m_controls.AddEdit(kFcTcAlpha, true), 0, 4);
    grid->addWidget(m_controls.AddCheck(kFcDeltaT, UiText("Delta T")), 1, 0);
    grid->addWidget(m_controls.AddLabel(0, UiText("t1 (\u00B0C)")), 1, 1);
    grid->addWidget(m_controls.AddEdit(kFcDtT1, true), 1, 2);
    grid->addWidget(m_controls.AddLabel(0, UiText("R1 (\u03A9)")), 1, 3);
    grid->addWidget(m_controls.AddEdit(kFcDtR1, true), 1, 4);
    grid->addWidget(m_controls.AddLabel(0, UiText("k")), 2, 3);
    grid->addWidget(m_controls.AddEdit(kFcDtK, true), 2, 4);
    grid->addWidget(m_controls.AddCheck(kMcAtc, UiText("A-TC")), 3, 0);
    auto* settings = new QPushButton(UiText("Settings"), this);
    settings->setObjectName(ControlName(kMcAtcSettings));
    connect(settings, &QPushButton::clicked, this, [this] { OnAtcSettings(); });
    grid->addWidget(settings, 3, 1, 1, 2);
    grid->addWidget(m_controls.AddCheck(kFcScaling, UiText("Scaling")), 4, 0);
    grid->addWidget(m_controls.AddLabel(0, UiText("A")), 4, 1);
    grid->addWidget(m_controls.AddEdit(kFcScalingA, true), 4, 2);
    grid->addWidget(m_controls.AddLabel(0, UiText("B")), 4, 3);
    grid->addWidget(m_controls.AddEdit(kFcScalingB, true), 4, 4);
    grid->addWidget(m_controls.AddLabel(1109, UiText("Unit : ")), 5, 1);
    grid->addWidget(m_controls.AddCombo(kFcUnitKind, { "\u03A9", "None", "User" }), 5, 2);
    QLineEdit* unit = m_controls.AddEdit(kFcUnitText, false);
    unit->setMaxLength(static_cast<int>(kMaxUnitText));
    grid->addWidget(unit, 5, 4);
    grid->setRowStretch(6, 1);
    return grid;
}

void CMuxSetDlg::OnChoose(int id, int index)
{
    if (id == kMcMethod) {
        CommitOpenEditors();
        if (!m_logic.ChangeMethod(index)) {
            Refresh(); // the method list returns to the method kept
            ReportSettingsError();
            return;
        }
    } else {
        m_logic.Choose(id, index);
    }
    Refresh();
}

void CMuxSetDlg::OnCopy()
{
    (void)CollectSettings(); // stores the step; a channel's error is reported when the dialog checks
    CLumpSetDlg items(m_logic.Model(), this);
    if (m_runner->Run(items) == QDialog::Accepted)
        m_logic.Copy(items.Items());
    Refresh();
}

void CMuxSetDlg::OnAtcSettings()
{
    CommitOpenEditors();
    CAtcSetDlg atc(m_logic.Model(), m_logic.ConditionForAtc(), m_prompt, this);
    if (m_runner->Run(atc) == QDialog::Accepted)
        m_logic.ApplyAtc(atc.Condition());
    Refresh();
}

void CMuxSetDlg::Refresh()
{
    const MuxPageView& view = m_logic.View();
    m_controls.Checks.at(kFcOvc)->setText(QString::fromStdString(view.OvcCaption));
    m_stepGroup->setTitle(QString::fromStdString(view.StepCaption));
    m_controls.Push(view.Checks, view.Texts, view.Enabled);
    RefreshStepList();
    FillZeroAdjList(this, m_zeroList, view.Zero, [this](int row, bool on) {
        m_logic.CheckZeroRow(row, on);
        m_logic.EndZeroEdit();
        Refresh();
    });
}

void CMuxSetDlg::DisplaySettings()
{
    m_logic.DisplaySettings();
    Refresh();
}

void CMuxSetDlg::UpdateControlStates()
{
    m_logic.UpdateControlStates();
    Refresh();
}

void CMuxSetDlg::CommitOpenEditors()
{
    if (m_stepList != nullptr)
        m_stepList->EndEdit();
    if (m_zeroList != nullptr)
        m_zeroList->EndEdit();
}

bool CMuxSetDlg::CollectSettings()
{
    CommitOpenEditors(); // an open in-place edit is taken first
    const bool ok = m_logic.CollectSettings();
    Refresh();
    return ok;
}
