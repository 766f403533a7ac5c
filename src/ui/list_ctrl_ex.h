#pragma once

#include <QPointer>
#include <QTableWidget>

#include "uilogic/list_ctrl_logic.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// Report list whose cells are edited in place: an edit box, a drop-down list with per-cell choices,
// an "Edit" button or an "ON" check box, by column. It keeps a current cell, colours cells from
// per-cell colour codes, and tells its owner about edits and row changes through its signals
// (the WM_LISTEX_* notifications: "sent" ones are emitted at once, "posted" ones from the event
// loop). The rules live in CListCtrlLogic; this class lays out the editors and routes input.
class CListCtrlEx : public QTableWidget {
    Q_OBJECT

public:
    enum ColumnFormat { kFormatLeft = 0, kFormatRight = 1, kFormatCenter = 2 };

    explicit CListCtrlEx(QWidget* parent = nullptr);
    ~CListCtrlEx() override;

    void Init(QObject* notifyWindow, int controlId);
    int InsertColumn(int index, const QString& heading, int format, int width, int subItem, uint8_t editKind);
    void ClearColumns();
    [[nodiscard]] bool AddComboItems(int row, int column, const QString& listText);
    [[nodiscard]] bool RemoveComboItems(int row, int column);
    bool SetCellText(int row, int column, const QString& text);
    QString CellText(int row, int column) const;
    void ResetColours();
    void SetRowCount(int rows); // rows of the list and the row count of the colour arrays
    void BeginEdit(int row, int column);
    void EndEdit();

    void SetReadOnly(bool readOnly) { m_logic.ReadOnly = readOnly ? 1 : 0; }
    [[nodiscard]] bool SetBackColour(int row, int column, uint8_t code);
    [[nodiscard]] bool SetTextColour(int row, int column, uint8_t code);

    CListCtrlLogic& Logic() { return m_logic; }
    const CListCtrlLogic& Logic() const { return m_logic; }
    QWidget* Editor() const { return m_editor; }
    int EditorKind() const { return m_editorKind; }
    bool EditorClosed() const { return m_editorClosed; }
    int CurRow() const { return m_logic.CurRow; }
    int CurCol() const { return m_logic.CurCol; }
    QObject* ParentWnd() const { return m_parentWnd; }

signals:
    void ListExButton(int row, int column);                              // WM_LISTEX_BUTTON, posted
    void ListExEditEnd();                                                // WM_LISTEX_EDIT_END, posted
    void ListExActivity(int controlId);                                  // WM_LISTEX_ACTIVITY, sent
    void ListExRowChanged(int controlId, int row);                       // WM_LISTEX_ROW_CHANGED, sent
    void ListExCellChanged(int controlId, int row, int column, int index); // WM_LISTEX_CELL_CHANGED, sent

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool HandleKey(QKeyEvent* event); // true when the key was consumed
    [[nodiscard]] bool HandleEnter();
    [[nodiscard]] bool HandleVertical(int delta);
    void HandleHorizontal(int delta);
    [[nodiscard]] bool HandleTyping(QKeyEvent* event);
    void MoveToRow(int row);
    void EndEditAndPost();
    void PostEditEnd();
    void PostButton();
    void OnUserScroll();
    bool IsEditorOrList(const QWidget* widget) const;
    void DestroyEditor();

    CListCtrlLogic m_logic;
    QPointer<QObject> m_parentWnd;
    QPointer<QWidget> m_editor;
    int m_editorKind = 0;
    bool m_editorClosed = true;
};
