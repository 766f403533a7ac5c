#include "ui/atc_set_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "settings/user_prompt.h"
#include "ui/ui_common.h"

namespace {

constexpr int kEdits[] = { kAtcT0, kAtcAlpha, kAtcT1, kAtcR1, kAtcTcr, kAtcDelayTime, kAtcAvgCount };
constexpr int kChecks[]
    = { kAtcOvc, kAtcPureResistance, kAtcMeasCurrLow, kAtcContactCheck, kAtcContactImprove, kAtcDelay, kAtcAverage };

} // namespace

CAtcSetDlg::CAtcSetDlg(int32_t model, const MeasCondition& condition, IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent)
    , m_prompt(prompt)
    , m_logic(model, condition)
    , m_controls(this,
          { [this](int id, bool on) {
               m_logic.SetCheck(id, on);
               Refresh();
           },
              [this](int id, int index) {
                  m_logic.Choose(id, index);
                  Refresh();
              },
              [this](int id, const std::string& text) { m_logic.Texts[id] = text; },
              [this](int) {
                  m_logic.LeaveEdit();
                  Refresh();
              } })
{
    setWindowTitle(UiText("A-TC Settings"));
    Build();
    SetChildFonts(this, UiFont(8));
    m_controls.SetItems(kAtcRange, m_logic.RangeItems(), m_logic.RangeChoice);
    Refresh();
}

CAtcSetDlg::~CAtcSetDlg()
{
    DisconnectChildren(this);
}

void CAtcSetDlg::Build()
{
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_controls.AddLabel(1062, UiText("Speed : ")), 0, 0);
    grid->addWidget(m_controls.AddCombo(kAtcSpeed, { "SLOW2", "SLOW1", "MED", "FAST" }), 0, 1);
    grid->addWidget(m_controls.AddLabel(1061, UiText("Range : ")), 1, 0);
    grid->addWidget(m_controls.AddCombo(kAtcRange, {}), 1, 1);
    const std::pair<int, const char*> checks[]
        = { { kAtcOvc, "A-OVC" }, { kAtcPureResistance, "Pure Resistance" }, { kAtcMeasCurrLow, "Meas. Current Low" },
              { kAtcContactCheck, "Contact Check" }, { kAtcContactImprove, "Contact Improve" } };
    int row = 2;
    for (const auto& [id, caption] : checks)
        grid->addWidget(m_controls.AddCheck(id, UiText(caption)), row++, 0, 1, 2);
    grid->addWidget(m_controls.AddCheck(kAtcDelay, UiText("Delay(Off:Preset)")), row, 0);
    grid->addWidget(m_controls.AddLabel(1078, UiText("Time : ")), row, 1);
    grid->addWidget(m_controls.AddEdit(kAtcDelayTime, true), row++, 2);
    grid->addWidget(m_controls.AddCheck(kAtcAverage, UiText("Average")), row, 0);
    grid->addWidget(m_controls.AddLabel(1075, UiText("Times : ")), row, 1);
    grid->addWidget(m_controls.AddEdit(kAtcAvgCount, true), row++, 2);

    auto* tc = new QGroupBox(UiText("TC"), this);
    tc->setObjectName(ControlName(1090));
    auto* tcGrid = new QGridLayout(tc);
    tcGrid->addWidget(new QLabel(UiText("t0 (\u00B0C)"), tc), 0, 0);
    tcGrid->addWidget(m_controls.AddEdit(kAtcT0, true), 0, 1);
    tcGrid->addWidget(new QLabel(UiText("\u03B1 (ppm/\u00B0C)"), tc), 1, 0);
    tcGrid->addWidget(m_controls.AddEdit(kAtcAlpha, true), 1, 1);
    grid->addWidget(tc, 0, 3, 3, 2);
    auto* dt = new QGroupBox(UiText("Delta T"), this);
    dt->setObjectName(ControlName(1089));
    auto* dtGrid = new QGridLayout(dt);
    dtGrid->addWidget(new QLabel(UiText("t1 (\u00B0C)"), dt), 0, 0);
    dtGrid->addWidget(m_controls.AddEdit(kAtcT1, true), 0, 1);
    dtGrid->addWidget(new QLabel(UiText("R1 (\u03A9)"), dt), 1, 0);
    dtGrid->addWidget(m_controls.AddEdit(kAtcR1, true), 1, 1);
    dtGrid->addWidget(new QLabel(UiText("TCR (ppm/\u00B0C)"), dt), 2, 0);
    dtGrid->addWidget(m_controls.AddEdit(kAtcTcr, true), 2, 1);
    grid->addWidget(dt, 3, 3, 3, 2);
    auto* terminal = new QGroupBox(UiText("Terminal"), this);
    terminal->setObjectName(ControlName(1179));
    auto* termGrid = new QGridLayout(terminal);
    QStringList terminals;
    for (int t = 1; t <= kTerminals4Wire; ++t)
        terminals << QString::number(t);
    termGrid->addWidget(m_controls.AddLabel(1180, UiText("Unit")), 0, 0);
    termGrid->addWidget(m_controls.AddCombo(kAtcUnit, { "UNIT1", "UNIT2" }), 0, 1);
    termGrid->addWidget(new QLabel(UiText("A : "), terminal), 1, 0);
    termGrid->addWidget(m_controls.AddCombo(kAtcTermA, terminals), 1, 1);
    termGrid->addWidget(new QLabel(UiText("B : "), terminal), 2, 0);
    termGrid->addWidget(m_controls.AddCombo(kAtcTermB, terminals), 2, 1);
    grid->addWidget(terminal, 6, 3, 3, 2);
    grid->addWidget(AddOkCancel(this, true), 9, 0, 1, 5);
}

void CAtcSetDlg::Refresh()
{
    const MeasCondition& c = m_logic.Cond;
    std::map<int, int> checks { { kAtcSpeed, c.AtcSpeed }, { kAtcUnit, c.AtcUnit }, { kAtcTermA, c.AtcTermA - 1 },
        { kAtcTermB, c.AtcTermB - 1 }, { kAtcRange, m_logic.RangeChoice } };
    const int32_t* values[] = { &c.AtcOvc, &c.AtcPureResistance, &c.AtcMeasCurrLow, &c.AtcContactCheck,
        &c.AtcContactImprove, &c.AtcDelayOn, &c.AtcAvgOn };
    for (size_t i = 0; i < std::size(kChecks); ++i)
        checks[kChecks[i]] = *values[i];
    std::map<int, bool> enabled;
    for (const int id : kEdits)
        enabled[id] = m_logic.Enabled(id);
    m_controls.Push(checks, m_logic.Texts, enabled);
}

void CAtcSetDlg::accept()
{
    if (m_logic.Collect()) {
        QDialog::accept();
        return;
    }
    m_prompt.ShowMessage(m_logic.ErrorText);
    if (auto* edit = findChild<QLineEdit*>(ControlName(m_logic.ErrorControl))) {
        edit->setFocus();
        edit->selectAll();
    }
}
