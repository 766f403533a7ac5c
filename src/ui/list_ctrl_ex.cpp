#include "ui/list_ctrl_ex.h"
#include "ui/ui_common.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

constexpr int kRowHeight = 18;
constexpr int kDropDownExtraHeight = 200;

QColor ColourOf(const Rgb& rgb) { return QColor(rgb.R, rgb.G, rgb.B); }

// Paints every cell from the list's colour codes; the system selection highlight never shows.
class CColourDelegate final : public QStyledItemDelegate {
public:
    explicit CColourDelegate(CListCtrlEx* list)
        : QStyledItemDelegate(list)
        , m_list(list)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const CListCtrlLogic& logic = m_list->Logic();
        CellPaintState state;
        state.ReadOnly = logic.ReadOnly != 0;
        state.RowSelected = m_list->selectionModel() != nullptr
            && m_list->selectionModel()->isRowSelected(index.row(), index.parent());
        state.Focused = m_list->hasFocus() || (m_list->Editor() != nullptr && m_list->Editor()->hasFocus());
        const CellPaint paint = CListCtrlLogic::PaintsCellByCell(state)
            ? logic.PaintCell(index.row(), index.column(), state)
            : logic.PaintWholeRow(index.row());
        QColor background = paint.UseWindowColour ? option.palette.color(QPalette::Base) : ColourOf(paint.Background);
        if (state.RowSelected && paint.UseWindowColour)
            background = ColourOf(CListCtrlLogic::kSelectedRow);
        painter->fillRect(option.rect, background);
        painter->setPen(ColourOf(paint.Text));
        const QVariant alignment = index.data(Qt::TextAlignmentRole);
        const int flags = (alignment.isValid() ? alignment.toInt() : int(Qt::AlignLeft)) | int(Qt::AlignVCenter);
        painter->drawText(option.rect.adjusted(3, 0, -3, 0), flags, index.data(Qt::DisplayRole).toString());
    }

private:
    CListCtrlEx* m_list;
};

} // namespace

CListCtrlEx::CListCtrlEx(QWidget* parent)
    : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers); // editors are the list's own
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new CColourDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->viewport()->installEventFilter(this);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!m_editorClosed)
            EndEditAndPost();
    });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { OnUserScroll(); });
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this] { OnUserScroll(); });
}

CListCtrlEx::~CListCtrlEx() = default;

void CListCtrlEx::Init(QObject* notifyWindow, int controlId)
{
    m_parentWnd = notifyWindow;
    m_logic.Init(controlId);
}

int CListCtrlEx::InsertColumn(int index, const QString& heading, int format, int width, int subItem, uint8_t editKind)
{
    (void)subItem; // columns and sub-items are one and the same in this list
    index = std::clamp(index, 0, columnCount());
    insertColumn(index);
    auto* header = new QTableWidgetItem(heading);
    const Qt::Alignment alignment = format == kFormatRight ? Qt::AlignRight
        : format == kFormatCenter                          ? Qt::AlignHCenter
                                                           : Qt::AlignLeft;
    header->setTextAlignment(alignment | Qt::AlignVCenter);
    setHorizontalHeaderItem(index, header);
    setColumnWidth(index, width);
    m_logic.AppendColumnKind(editKind);
    return index;
}

void CListCtrlEx::ClearColumns()
{
    m_logic.ClearCombos();
    setColumnCount(0);
}

bool CListCtrlEx::AddComboItems(int row, int column, const QString& listText)
{
    return m_logic.AddComboItems(row, column, listText.toStdString());
}

bool CListCtrlEx::RemoveComboItems(int row, int column) { return m_logic.RemoveComboItems(row, column); }

void CListCtrlEx::SetRowCount(int rows)
{
    setRowCount(rows);
    m_logic.RowCount = rows;
}

bool CListCtrlEx::SetCellText(int row, int column, const QString& text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return false;
    QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) {
        cell = new QTableWidgetItem(text);
        const QTableWidgetItem* header = horizontalHeaderItem(column);
        if (header != nullptr)
            cell->setTextAlignment(Qt::Alignment(header->textAlignment()));
        setItem(row, column, cell);
    } else if (cell->text() != text) {
        cell->setText(text);
    }
    return true;
}

QString CListCtrlEx::CellText(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell != nullptr ? cell->text() : QString();
}

void CListCtrlEx::ResetColours()
{
    m_logic.ResetColours();
    viewport()->update();
}

bool CListCtrlEx::SetBackColour(int row, int column, uint8_t code)
{
    const bool done = m_logic.SetBackColour(row, column, code);
    viewport()->update();
    return done;
}

bool CListCtrlEx::SetTextColour(int row, int column, uint8_t code)
{
    const bool done = m_logic.SetTextColour(row, column, code);
    viewport()->update();
    return done;
}

void CListCtrlEx::DestroyEditor()
{
    if (m_editor != nullptr) {
        m_editor->removeEventFilter(this);
        m_editor->hide();
        m_editor->deleteLater();
    }
    m_editor = nullptr;
    m_editorKind = 0;
}

void CListCtrlEx::BeginEdit(int row, int column)
{
    if (row < 0 || m_logic.ReadOnly != 0)
        return;
    const QString text = CellText(row, column);
    if (m_editorKind != kEditDropDown)
        EndEdit();
    DestroyEditor();
    m_editorKind = m_logic.ColumnKind(column);
    const QRect rect = visualRect(model()->index(row, column));
    QWidget* editor = nullptr;
    switch (m_editorKind) {
    case kEditBox: {
        auto* edit = new QLineEdit(viewport());
        edit->setObjectName("listExEdit");
        edit->setGeometry(rect);
        edit->setText(text);
        edit->selectAll();
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        editor = edit;
        break;
    }
    case kEditDropDown: {
        const stComboBoxData* choices = m_logic.ComboFor(row, column);
        if (choices == nullptr)
            break;
        auto* combo = new QComboBox(viewport());
        combo->setObjectName("listExCombo");
        combo->setGeometry(rect);
        for (const std::string& choice : choices->Items)
            combo->addItem(QString::fromStdString(choice));
        combo->setCurrentIndex(std::max(combo->findText(text, Qt::MatchFixedString), 0));
        combo->setMaxVisibleItems(std::max(1, (rect.height() + kDropDownExtraHeight) / kRowHeight));
        connect(combo, &QComboBox::activated, this, [this] { EndEdit(); });
        editor = combo;
        break;
    }
    case kEditButton: {
        auto* button = new QPushButton(UiText("Edit"), viewport());
        button->setObjectName("listExButton");
        button->setGeometry(rect.adjusted(rect.width() / 2, 0, 0, 0));
        connect(button, &QPushButton::clicked, this, [this] { PostButton(); });
        editor = button;
        break;
    }
    case kEditCheck: {
        auto* check = new QCheckBox(UiText("ON"), viewport());
        check->setObjectName("listExCheck");
        check->setGeometry(rect);
        check->setChecked(false);
        check->setAutoFillBackground(true);
        editor = check;
        break;
    }
    default:
        break;
    }
    if (editor == nullptr) {
        m_editorKind = 0;
        return;
    }
    editor->setFont(font());
    editor->installEventFilter(this);
    editor->show();
    m_editor = editor;
    m_editorClosed = false;
}

void CListCtrlEx::EndEdit()
{
    if (m_editorClosed)
        return;
    QString value;
    int index = 0;
    bool hasValue = true;
    if (auto* edit = qobject_cast<QLineEdit*>(m_editor.data())) {
        value = edit->text();
    } else if (auto* combo = qobject_cast<QComboBox*>(m_editor.data())) {
        value = combo->currentText();
        index = combo->currentIndex();
    } else if (auto* check = qobject_cast<QCheckBox*>(m_editor.data())) {
        value = check->isChecked() ? "ON" : "OFF";
    } else {
        hasValue = false; // the button editor only closes
    }
    m_editorClosed = true;
    if (m_editor != nullptr)
        m_editor->hide();
    if (!hasValue)
        return;
    SetCellText(m_logic.CurRow, m_logic.CurCol, value);
    emit ListExCellChanged(m_logic.ControlId, m_logic.CurRow, m_logic.CurCol, index);
}

void CListCtrlEx::PostEditEnd()
{
    QMetaObject::invokeMethod(this, [this] { emit ListExEditEnd(); }, Qt::QueuedConnection);
}

void CListCtrlEx::PostButton()
{
    const int row = m_logic.CurRow;
    const int column = m_logic.CurCol;
    QMetaObject::invokeMethod(this, [this, row, column] { emit ListExButton(row, column); }, Qt::QueuedConnection);
}

void CListCtrlEx::EndEditAndPost()
{
    EndEdit();
    PostEditEnd();
}

void CListCtrlEx::OnUserScroll()
{
    EndEditAndPost();
    emit ListExActivity(m_logic.ControlId);
    viewport()->update();
}

bool CListCtrlEx::IsEditorOrList(const QWidget* widget) const
{
    return widget != nullptr && (widget == this || widget == viewport() || widget == m_editor.data());
}

void CListCtrlEx::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return; // outside any cell nothing happens
    const int row = index.row();
    const int column = index.column();
    if (row == m_logic.CurRow && column == m_logic.CurCol) {
        BeginEdit(row, column);
        if (m_editor != nullptr && !m_editorClosed)
            m_editor->setFocus();
    } else {
        EndEditAndPost();
        if (row != m_logic.CurRow)
            emit ListExRowChanged(m_logic.ControlId, row);
    }
    m_logic.CurRow = row;
    m_logic.CurCol = column;
    viewport()->update();
    QTableWidget::mousePressEvent(event);
    if (m_editor != nullptr && !m_editorClosed)
        m_editor->setFocus(); // the default handling focuses the list; the open editor keeps the keys
}

void CListCtrlEx::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    const int row = index.row();
    const int column = index.column();
    if (row != m_logic.CurRow || column != m_logic.CurCol) {
        EndEditAndPost();
        if (row != m_logic.CurRow)
            emit ListExRowChanged(m_logic.ControlId, row);
    }
    scrollTo(index);
    if (column != 0) {
        m_logic.CurRow = row;
        m_logic.CurCol = column;
        BeginEdit(row, column);
        if (m_editor != nullptr && !m_editorClosed)
            m_editor->setFocus();
        viewport()->update();
    }
}

void CListCtrlEx::wheelEvent(QWheelEvent* event)
{
    EndEditAndPost();
    QTableWidget::wheelEvent(event);
    emit ListExActivity(m_logic.ControlId);
    viewport()->update();
}

void CListCtrlEx::MoveToRow(int row)
{
    emit ListExRowChanged(m_logic.ControlId, row);
    m_logic.CurRow = row;
    selectRow(row);
    setFocus();
    scrollTo(model()->index(row, std::max(m_logic.CurCol, 0)));
    viewport()->update();
}

bool CListCtrlEx::HandleEnter()
{
    if (m_editorClosed) {
        scrollTo(model()->index(m_logic.CurRow, std::max(m_logic.CurCol, 0)));
        BeginEdit(m_logic.CurRow, m_logic.CurCol);
        if (m_editor != nullptr && !m_editorClosed)
            m_editor->setFocus();
        return true;
    }
    if (m_editorKind == kEditButton) {
        PostButton();
        return true;
    }
    EndEditAndPost();
    if (m_logic.CurRow < rowCount() - 1)
        MoveToRow(m_logic.CurRow + 1);
    return true;
}

bool CListCtrlEx::HandleVertical(int delta)
{
    if (!m_editorClosed) {
        if (auto* combo = qobject_cast<QComboBox*>(m_editor.data())) {
            combo->setCurrentIndex(std::clamp(combo->currentIndex() + delta, 0, combo->count() - 1));
            return true;
        }
        if (m_editorKind == kEditButton) {
            PostButton();
            return true;
        }
        EndEditAndPost();
    }
    const int row = m_logic.RowAfterVerticalMove(delta, rowCount());
    if (row >= 0)
        MoveToRow(row);
    return true;
}

void CListCtrlEx::HandleHorizontal(int delta)
{
    EndEditAndPost();
    m_logic.CurCol = m_logic.ColumnAfterHorizontalMove(delta);
    viewport()->update();
}

bool CListCtrlEx::HandleTyping(QKeyEvent* event)
{
    if (!m_editorClosed || m_logic.ColumnKind(m_logic.CurCol) != kEditBox || m_logic.ReadOnly != 0)
        return false;
    if (event->key() == Qt::Key_F2) {
        BeginEdit(m_logic.CurRow, m_logic.CurCol);
    } else {
        const QString typed = event->text();
        if (typed.size() != 1 || !typed.at(0).isLetterOrNumber() || typed.at(0).unicode() > 0x7F)
            return false;
        BeginEdit(m_logic.CurRow, m_logic.CurCol);
        auto* edit = qobject_cast<QLineEdit*>(m_editor.data());
        if (edit == nullptr)
            return true;
        edit->setText(typed); // the typed character replaces the text, caret after it
        edit->setCursorPosition(1);
    }
    if (m_editor != nullptr)
        m_editor->setFocus();
    return true;
}

bool CListCtrlEx::HandleKey(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return HandleEnter();
    case Qt::Key_Up:
        return HandleVertical(-1);
    case Qt::Key_Down:
        return HandleVertical(1);
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!m_editorClosed && m_editorKind == kEditBox)
            return false; // the edit box moves its caret
        HandleHorizontal(event->key() == Qt::Key_Left ? -1 : 1);
        return false;
    default:
        return HandleTyping(event);
    }
}

void CListCtrlEx::keyPressEvent(QKeyEvent* event)
{
    if (HandleKey(event))
        return;
    emit ListExActivity(m_logic.ControlId);
    // Left and Right have done their move; the table's own handling would move the selection again.
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)
        return;
    QTableWidget::keyPressEvent(event);
}

void CListCtrlEx::focusInEvent(QFocusEvent* event)
{
    QTableWidget::focusInEvent(event);
    if (!m_editorClosed && m_editor != nullptr)
        m_editor->setFocus();
}

void CListCtrlEx::focusOutEvent(QFocusEvent* event)
{
    QTableWidget::focusOutEvent(event);
    if (!m_editorClosed && !IsEditorOrList(QApplication::focusWidget()))
        EndEditAndPost();
}

bool CListCtrlEx::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonDblClick)
        return true; // no automatic column width
    if (m_editor == nullptr || watched != m_editor.data())
        return QTableWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (HandleKey(key))
            return true;
        emit ListExActivity(m_logic.ControlId);
        return false;
    }
    if (event->type() == QEvent::FocusOut && !m_editorClosed) {
        QWidget* next = QApplication::focusWidget();
        if (next != this && next != viewport() && !(next != nullptr && m_editor->isAncestorOf(next)))
            EndEditAndPost();
    }
    return QTableWidget::eventFilter(watched, event);
}
