#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalBlocker>

#include "ui/list_ctrl_ex.h"
#include "ui/normal_set_dlg.h"
#include "ui/ui_common.h"

namespace {

constexpr int kListRowHeight = 19;
constexpr int kBinRows = 10;

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

struct Column {
    const char* Heading;
    int Width;
    uint8_t Kind;
};

CListCtrlEx* MakeList(QWidget* page, int id, std::initializer_list<Column> columns, int rows)
{
    auto* list = new CListCtrlEx(page);
    list->setObjectName(ControlName(id));
    list->Init(page, id);
    int index = 0;
    int width = 2;
    for (const Column& column : columns) {
        list->InsertColumn(
            index++, CNormalSetDlg::tr(column.Heading), CListCtrlEx::kFormatLeft, column.Width, -1, column.Kind);
        width += column.Width;
    }
    list->setShowGrid(true);
    list->verticalHeader()->setDefaultSectionSize(kListRowHeight);
    list->setFixedWidth(width + 2);
    list->setFixedHeight(list->horizontalHeader()->sizeHint().height() + rows * kListRowHeight + 2);
    return list;
}

// The row's check box in its "Enable" cell; created once per row.
QCheckBox* RowCheck(CListCtrlEx* list, int row)
{
    if (auto* check = qobject_cast<QCheckBox*>(list->cellWidget(row, 0)))
        return check;
    auto* check = new QCheckBox(list);
    check->setObjectName(QStringLiteral("%1_row%2").arg(list->objectName()).arg(row));
    list->setCellWidget(row, 0, check);
    return check;
}

} // namespace

void CNormalSetDlg::BuildLists()
{
    m_binList = MakeList(this, kFcBinList,
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
    m_zeroList = MakeList(this, kFcZeroList,
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
    const std::vector<FrontPageView::ZeroRow>& rows = m_logic.View().Zero;
    const int count = static_cast<int>(rows.size());
    if (m_zeroList->rowCount() != count) {
        m_zeroList->EndEdit();
        m_zeroList->SetRowCount(count);
        m_zeroList->ResetColours();
        for (int row = 0; row < count; ++row) {
            connect(RowCheck(m_zeroList, row), &QCheckBox::clicked, this,
                [this, row](bool on) { OnRowChecked(kFcZeroList, row, on); });
        }
    }
    for (int row = 0; row < count; ++row) {
        const FrontPageView::ZeroRow& zero = rows[static_cast<size_t>(row)];
        QCheckBox* check = RowCheck(m_zeroList, row);
        const QSignalBlocker blocker(check);
        check->setChecked(zero.On != 0);
        m_zeroList->SetCellText(row, 1, Q(zero.Range));
        m_zeroList->SetCellText(row, 2, Q(zero.Value));
        m_zeroList->SetCellText(row, 3, Q(zero.Unit));
    }
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
    const int id = m_logic.ErrorControl;
    QWidget* control = id != 0 ? findChild<QWidget*>(ControlName(id)) : nullptr;
    const bool enabled = control != nullptr && control->isEnabled();
    if (enabled)
        control->setFocus();
    auto* list = qobject_cast<CListCtrlEx*>(control);
    if (list != nullptr) {
        list->Logic().CurRow = m_logic.ErrorRow;
        list->Logic().CurCol = m_logic.ErrorColumn;
        list->selectRow(m_logic.ErrorRow);
        list->scrollTo(list->model()->index(m_logic.ErrorRow, m_logic.ErrorColumn));
        m_prompt.ShowMessage(m_logic.ErrorText);
        return;
    }
    m_prompt.ShowMessage(m_logic.ErrorText);
    if (auto* edit = qobject_cast<QLineEdit*>(control); edit != nullptr && enabled)
        edit->selectAll(); // leaves the caret at the end, in view
}
