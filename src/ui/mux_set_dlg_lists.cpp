#include <QCheckBox>
#include <QItemSelectionModel>
#include <QSignalBlocker>

#include "ui/list_ctrl_ex.h"
#include "ui/mux_set_dlg.h"
#include "ui/ui_common.h"

namespace {

constexpr int kVisibleSteps = 12;

// The choices of the step list's drop-down columns that do not depend on the row.
constexpr std::pair<int, const char*> kFixedChoices[] = { { kScUnit, "UNIT1;UNIT2;" }, { kScZeroAll, "OFF;ON;" },
    { kScSpeed, "SLOW2;SLOW1;MED;FAST;" }, { kScComp, "OFF;ABS;REF%;CH1;" }, { kScPass, "OFF;Hi;IN;Lo;Hi-Lo;ALL;" } };

} // namespace

void CMuxSetDlg::BuildLists()
{
    m_stepList = MakePageList(this, kMcStepList,
        { { "Enable", 45, kEditNone }, { "CH", 30, kEditNone }, { "CH Name", 63, kEditBox },
            { "MUX Unit", 62, kEditDropDown }, { "TermA", 47, kEditDropDown }, { "TermB", 47, kEditDropDown },
            { "Inst.", 63, kEditDropDown }, { "0ALL", 40, kEditDropDown }, { "Speed", 60, kEditDropDown },
            { "Range", 55, kEditDropDown }, { "Comp", 48, kEditDropDown }, { "Upp/Ref", 56, kEditBox },
            { "Unit", 44, kEditNone }, { "Low/%", 56, kEditBox }, { "Unit", 44, kEditNone },
            { "Pass Conditions", 62, kEditDropDown } },
        kVisibleSteps);
    m_stepList->setFixedWidth(m_stepList->width() + 20); // room for the scroll bar of 42 rows
    m_stepList->SetRowCount(kMuxChannels);
    const std::string inst = m_logic.Model() == 2048 ? "VX6208;EXT;" : "VX6207;EXT;";
    for (int row = 0; row < kMuxChannels; ++row) {
        for (const auto& [column, choices] : kFixedChoices)
            (void)m_stepList->AddComboItems(row, column, choices); // fixed lists within the limits
        (void)m_stepList->AddComboItems(row, kScInst, QString::fromStdString(inst));
        connect(RowCheck(m_stepList, row), &QCheckBox::clicked, this, [this, row](bool on) {
            m_logic.CheckStepRow(row, on);
            Refresh();
        });
    }
    m_stepList->ResetColours();
    connect(m_stepList, &CListCtrlEx::ListExRowChanged, this, [this](int, int row) { OnRowChanged(row); });
    connect(m_stepList, &CListCtrlEx::ListExCellChanged, this,
        [this](int id, int row, int column, int index) { OnCellChanged(id, row, column, index); });
    m_zeroList = MakePageList(this, kFcZeroList,
        { { "Enable", 50, kEditNone }, { "Range", 50, kEditNone }, { "Value", 65, kEditBox },
            { "Unit", 44, kEditNone } },
        kZeroAdjSlots);
    connect(m_zeroList, &CListCtrlEx::ListExCellChanged, this,
        [this](int id, int row, int column, int index) { OnCellChanged(id, row, column, index); });
    for (CListCtrlEx* list : { m_stepList, m_zeroList })
        connect(list, &CListCtrlEx::ListExActivity, this, [list](int) { list->setFocus(); });
}

void CMuxSetDlg::RefreshStepList()
{
    const MuxPageView& view = m_logic.View();
    if (view.TermChoices != m_termList) {
        m_termList = view.TermChoices;
        for (int row = 0; row < kMuxChannels; ++row) {
            (void)m_stepList->AddComboItems(row, kScTermA, QString::fromStdString(m_termList));
            (void)m_stepList->AddComboItems(row, kScTermB, QString::fromStdString(m_termList));
        }
    }
    for (int row = 0; row < kMuxChannels; ++row) {
        const MuxPageView::StepRow& step = view.Steps[static_cast<size_t>(row)];
        // The Range choices follow the channel's low power, precision and the method.
        if (step.RangeChoices != m_rangeLists[static_cast<size_t>(row)]) {
            m_rangeLists[static_cast<size_t>(row)] = step.RangeChoices;
            (void)m_stepList->AddComboItems(row, kScRange, QString::fromStdString(step.RangeChoices));
        }
        QCheckBox* check = RowCheck(m_stepList, row);
        const QSignalBlocker blocker(check);
        check->setChecked(step.Enable != 0);
        for (int column = kScChannel; column < kStepColumns; ++column) {
            const QString text = QString::fromStdString(step.Cells[static_cast<size_t>(column)]);
            if (m_stepList->CellText(row, column) != text)
                m_stepList->SetCellText(row, column, text);
        }
    }
    const int step = m_logic.CurrentStep();
    if (m_stepList->CurRow() != step || !m_stepList->selectionModel()->isRowSelected(step, {})) {
        m_stepList->Logic().CurRow = step;
        m_stepList->selectRow(step);
    }
}

void CMuxSetDlg::OnRowChanged(int row)
{
    if (!m_logic.ChangeRow(row)) {
        Refresh(); // the row of the step kept becomes current again
        ReportSettingsError();
        return;
    }
    Refresh();
}

void CMuxSetDlg::OnCellChanged(int controlId, int row, int column, int index)
{
    if (controlId == kMcStepList) {
        m_logic.EndStepEdit(row, column, m_stepList->CellText(row, column).toStdString(), index);
    } else {
        m_logic.EditZeroCell(row, m_zeroList->CellText(row, column).toStdString());
        m_logic.EndZeroEdit();
    }
    Refresh();
}

void CMuxSetDlg::ReportSettingsError()
{
    if (m_logic.ErrorStep < kMuxChannels) {
        m_logic.SelectErrorStep();
        Refresh();
        ReportListError(m_stepList, m_logic.CurrentStep(), 0);
    }
    ShowPageError(this, m_prompt, m_logic.ErrorControl, m_logic.ErrorRow, m_logic.ErrorColumn, m_logic.ErrorText);
}
