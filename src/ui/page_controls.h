#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "uilogic/condition_logic.h"

class CListCtrlEx;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;
class IUserPrompt;
class QObject;

// The controls of a settings page, created by number and filled from the page logic's view: one
// place for the binding both settings pages share. Filling a control never calls its handler back.
class CPageControls {
public:
    struct Handlers {
        std::function<void(int id, bool on)> Check;
        std::function<void(int id, int index)> Choose;
        std::function<void(int id, const std::string& text)> Edit; // a keystroke
        std::function<void(int id)> Leave; // the edit lost the focus or Enter was pressed
    };

    CPageControls(QWidget* page, Handlers handlers);

    QCheckBox* AddCheck(int id, const QString& caption);
    QComboBox* AddCombo(int id, const QStringList& items);
    QLineEdit* AddEdit(int id, bool leaveNormalises);
    QLabel* AddLabel(int id, const QString& caption);
    void SetChooseHandler(std::function<void(int id, int index)> choose) { m_handlers.Choose = std::move(choose); }

    // Check boxes and drop lists by their value, edits and labels by their text, then enabling.
    void Push(const std::map<int, int>& checks, const std::map<int, std::string>& texts,
        const std::map<int, bool>& enabled) const;
    // The drop list's items replaced only when they differ (an open list is not disturbed).
    void SetItems(int id, const std::vector<std::string>& items, int current) const;

    std::map<int, QCheckBox*> Checks;
    std::map<int, QComboBox*> Combos;
    std::map<int, QLineEdit*> Edits;
    std::map<int, QLabel*> Labels;

private:
    QWidget* m_page;
    Handlers m_handlers;
};

// Handlers that hand each edit to a page logic and then refresh the page.
template <typename Logic> CPageControls::Handlers RefreshingHandlers(Logic& logic, std::function<void()> refresh)
{
    return { [&logic, refresh](int id, bool on) {
                logic.SetCheck(id, on);
                refresh();
            },
        [&logic, refresh](int id, int index) {
            logic.Choose(id, index);
            refresh();
        },
        [&logic, refresh](int id, const std::string& text) {
            logic.EditText(id, text);
            refresh();
        },
        [&logic, refresh](int id) {
            logic.LeaveEdit(id);
            refresh();
        } };
}

// Closing a window moves the focus and ends an entry after its logic is gone: nothing may reach it.
void DisconnectChildren(QObject* owner);

// Shows a page's recorded error: the control focused when enabled, a list's offending row
// selected, the message shown, and an edit's whole text selected.
void ShowPageError(QWidget* page, IUserPrompt& prompt, int control, int row, int column, const std::string& text);

// An editable list of a page: its columns, the 19-pixel rows and the height cut to whole rows.
struct PageListColumn {
    const char* Heading;
    int Width;
    uint8_t Kind;
};
CListCtrlEx* MakePageList(QWidget* page, int id, std::initializer_list<PageListColumn> columns, int rows);
// The row's check box in its "Enable" cell; created once per row.
QCheckBox* RowCheck(CListCtrlEx* list, int row);
// Fills a zero-adjust list from its rows; onCheck is connected to each newly created row check.
void FillZeroAdjList(QWidget* page, CListCtrlEx* list, const std::vector<ZeroAdjRow>& rows,
    const std::function<void(int row, bool on)>& onCheck);
// Shows the offending row of a list after a failed check, with the list focused when enabled.
void ReportListError(CListCtrlEx* list, int row, int column);
