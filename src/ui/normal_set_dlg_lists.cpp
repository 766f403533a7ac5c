#include <QCheckBox>
#include <QSignalBlocker>

#include "ui/list_ctrl_ex.h"
#include "ui/normal_set_dlg.h"
#include "ui/ui_common.h"

namespace {

constexpr int kBinRows = 10;

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

void CNormalSetDlg::BuildLists()
{
    m_binList = MakePageList(this, kFcBinList,
        { { "Enable", 50, kEditNone }, { "No.", 35, kEditNone }, { "Mode", 53, kEditDropDown },
            { "Upp/Ref", 58, kEditBox }, { "Unit", 44, kEditNone }, { "Low/%", 58, kEditBox },
            { "Unit", 44, kEditNone } },
        kBinRows);
    m_binList->SetRowCount(kBinRows);
    for (int row = 0; row < kBinRows; ++row) {
        (void)m_binList->AddComboItems(row, 2, "ABS;REF%;");
        connect(RowCheck(m_binList, row), &QCheckBox::clicked, this,
            [this, row](bool on) { OnRowChecked(kFcBinList, row, on); });
    }
    m_binList->ResetColours();
    m_zeroList = MakePageList(this, kFcZeroList,
        { { "Enable", 50, kEditNone }, { "Range", 50, kEditNone }, { "Value", 65, kEditBox },
            { "Unit", 44, kEditNone } },
        kZeroAdjSlots);
    for (CListCtrlEx* list : { m_binList, m_zeroList }) {
        connect(list, &CListCtrlEx::ListExCellChanged, this,
            [this](int controlId, int row, int column, int) { OnCellChanged(controlId, row, column); });
    }
}

void CNormalSetDlg::RefreshBinList()
{
    const FrontPageView& view = m_logic.View();
    for (int row = 0; row < kBinRows; ++row) {
        const FrontPageView::BinRow& bin = view.Bin[static_cast<size_t>(row)];
        QCheckBox* check = RowCheck(m_binList, row);
        const QSignalBlocker blocker(check);
        check->setChecked(bin.On != 0);
        const QString cells[]
            = { {}, QString::number(row), Q(bin.Mode), Q(bin.Upper), Q(bin.UpperUnit), Q(bin.Lower), Q(bin.LowerUnit) };
        for (int column = 1; column < 7; ++column)
            m_binList->SetCellText(row, column, cells[column]);
    }
    CListCtrlLogic& cursor = m_binList->Logic();
    if (!view.Enabled.at(kFcBinList)) {
        cursor.CurRow = -1;
        cursor.CurCol = -1;
    } else if (cursor.CurRow < 0) {
        cursor.CurRow = 0;
        cursor.CurCol = 0;
    }
}

void CNormalSetDlg::RefreshZeroList()
{
    FillZeroAdjList(
        this, m_zeroList, m_logic.View().Zero, [this](int row, bool on) { OnRowChecked(kFcZeroList, row, on); });
}

void CNormalSetDlg::OnCellChanged(int controlId, int row, int column)
{
    if (controlId == kFcBinList) {
        m_logic.EditBinCell(row, column, m_binList->CellText(row, column).toStdString());
        m_logic.EndBinEdit();
    } else {
        m_logic.EditZeroCell(row, m_zeroList->CellText(row, column).toStdString());
        m_logic.EndZeroEdit();
    }
    Refresh();
}

void CNormalSetDlg::OnRowChecked(int controlId, int row, bool on)
{
    if (controlId == kFcBinList) {
        m_logic.CheckBinRow(row, on);
        m_logic.EndBinEdit();
    } else {
        m_logic.CheckZeroRow(row, on);
        m_logic.EndZeroEdit();
    }
    Refresh();
}

void CNormalSetDlg::ReportSettingsError()
{
    ShowPageError(this, m_prompt, m_logic.ErrorControl, m_logic.ErrorRow, m_logic.ErrorColumn, m_logic.ErrorText);
}
