#include "ui/page_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "settings/user_prompt.h"
#include "ui/list_ctrl_ex.h"
#include "ui/ui_common.h"

namespace {

constexpr int kListRowHeight = 19;

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

CPageControls::CPageControls(QWidget* page, Handlers handlers)
    : m_page(page)
    , m_handlers(std::move(handlers))
{
}

QCheckBox* CPageControls::AddCheck(int id, const QString& caption)
{
    auto* check = new QCheckBox(caption, m_page);
    check->setObjectName(ControlName(id));
    QObject::connect(check, &QCheckBox::clicked, m_page, [this, id](bool on) { m_handlers.Check(id, on); });
    Checks[id] = check;
    return check;
}

QComboBox* CPageControls::AddCombo(int id, const QStringList& items)
{
    auto* combo = new QComboBox(m_page);
    combo->setObjectName(ControlName(id));
    combo->addItems(items);
    QObject::connect(combo, &QComboBox::activated, m_page, [this, id](int index) { m_handlers.Choose(id, index); });
    Combos[id] = combo;
    return combo;
}

QLineEdit* CPageControls::AddEdit(int id, bool leaveNormalises)
{
    auto* edit = new QLineEdit(m_page);
    edit->setObjectName(ControlName(id));
    edit->setAttribute(Qt::WA_InputMethodEnabled, false); // direct character input only
    QObject::connect(edit, &QLineEdit::textEdited, m_page,
        [this, id](const QString& text) { m_handlers.Edit(id, text.toStdString()); });
    if (leaveNormalises)
        QObject::connect(edit, &QLineEdit::editingFinished, m_page, [this, id] { m_handlers.Leave(id); });
    Edits[id] = edit;
    return edit;
}

QLabel* CPageControls::AddLabel(int id, const QString& caption)
{
    auto* label = new QLabel(caption, m_page);
    if (id != 0) {
        label->setObjectName(ControlName(id));
        Labels[id] = label;
    }
    return label;
}

void CPageControls::Push(
    const std::map<int, int>& checks, const std::map<int, std::string>& texts, const std::map<int, bool>& enabled) const
{
    for (const auto& [id, value] : checks) {
        if (auto check = Checks.find(id); check != Checks.end()) {
            const QSignalBlocker blocker(check->second);
            check->second->setChecked(value != 0);
        } else if (auto combo = Combos.find(id); combo != Combos.end()) {
            const QSignalBlocker blocker(combo->second);
            combo->second->setCurrentIndex(value);
        }
    }
    for (const auto& [id, text] : texts) {
        if (auto edit = Edits.find(id); edit != Edits.end()) {
            const QSignalBlocker blocker(edit->second);
            if (edit->second->text() != Q(text))
                edit->second->setText(Q(text));
        } else if (auto label = Labels.find(id); label != Labels.end()) {
            label->second->setText(Q(text));
        }
    }
    for (const auto& [id, on] : enabled) {
        if (QWidget* widget = m_page->findChild<QWidget*>(ControlName(id)))
            widget->setEnabled(on);
    }
}

void CPageControls::SetItems(int id, const std::vector<std::string>& items, int current) const
{
    QComboBox* combo = Combos.at(id);
    const QSignalBlocker blocker(combo);
    QStringList wanted;
    for (const std::string& item : items)
        wanted << Q(item);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    if (shown != wanted) {
        combo->clear();
        combo->addItems(wanted);
    }
    combo->setCurrentIndex(current);
}

CListCtrlEx* MakePageList(QWidget* page, int id, std::initializer_list<PageListColumn> columns, int rows)
{
    auto* list = new CListCtrlEx(page);
    list->setObjectName(ControlName(id));
    list->Init(page, id);
    int index = 0;
    int width = 2;
    for (const PageListColumn& column : columns) {
        list->InsertColumn(index++, UiText(column.Heading), CListCtrlEx::kFormatLeft, column.Width, -1, column.Kind);
        width += column.Width;
    }
    list->setShowGrid(true);
    list->verticalHeader()->setDefaultSectionSize(kListRowHeight);
    list->setFixedWidth(width + 2);
    list->setFixedHeight(list->horizontalHeader()->sizeHint().height() + rows * kListRowHeight + 2);
    return list;
}

QCheckBox* RowCheck(CListCtrlEx* list, int row)
{
    if (auto* check = qobject_cast<QCheckBox*>(list->cellWidget(row, 0)))
        return check;
    auto* check = new QCheckBox(list);
    check->setObjectName(QStringLiteral("%1_row%2").arg(list->objectName()).arg(row));
    list->setCellWidget(row, 0, check);
    return check;
}

void FillZeroAdjList(QWidget* page, CListCtrlEx* list, const std::vector<ZeroAdjRow>& rows,
    const std::function<void(int row, bool on)>& onCheck)
{
    const int count = static_cast<int>(rows.size());
    if (list->rowCount() != count) {
        list->EndEdit();
        list->SetRowCount(count);
        list->ResetColours();
        for (int row = 0; row < count; ++row)
            QObject::connect(
                RowCheck(list, row), &QCheckBox::clicked, page, [onCheck, row](bool on) { onCheck(row, on); });
    }
    for (int row = 0; row < count; ++row) {
        const ZeroAdjRow& zero = rows[static_cast<size_t>(row)];
        QCheckBox* check = RowCheck(list, row);
        const QSignalBlocker blocker(check);
        check->setChecked(zero.On != 0);
        list->SetCellText(row, 1, Q(zero.Range));
        list->SetCellText(row, 2, Q(zero.Value));
        list->SetCellText(row, 3, Q(zero.Unit));
    }
}

void ReportListError(CListCtrlEx* list, int row, int column)
{
    list->Logic().CurRow = row;
    list->Logic().CurCol = column;
    list->selectRow(row);
    list->scrollTo(list->model()->index(row, column));
}

void DisconnectChildren(QObject* owner)
{
    for (QObject* child : owner->findChildren<QObject*>())
        child->disconnect(owner);
}

void ShowPageError(QWidget* page, IUserPrompt& prompt, int control, int row, int column, const std::string& text)
{
    QWidget* widget = control != 0 ? page->findChild<QWidget*>(ControlName(control)) : nullptr;
    const bool enabled = widget != nullptr && widget->isEnabled();
    if (enabled)
        widget->setFocus();
    if (auto* list = qobject_cast<CListCtrlEx*>(widget))
        ReportListError(list, row, column);
    prompt.ShowMessage(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget); edit != nullptr && enabled)
        edit->selectAll(); // leaves the caret at the end, in view
}
