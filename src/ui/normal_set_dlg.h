#pragma once

#include <QWidget>
#include <map>

#include "ui/page_controls.h"
#include "uilogic/front_page_logic.h"

class CListCtrlEx;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

// The front settings page: a child page of the measurement settings dialog. It fills its controls
// from the page logic's view and hands every edit back to it; it has no OK or Cancel of its own.
class CNormalSetDlg final : public QWidget {
    Q_OBJECT

public:
    CNormalSetDlg(int32_t model, IUserPrompt& prompt, QWidget* parent = nullptr);
    ~CNormalSetDlg() override;

    CFrontPageLogic& Logic() { return m_logic; }
    FrontSetData& Front() { return m_logic.Front; }

    [[nodiscard]] bool CollectSettings();
    void ReportSettingsError();
    void DisplaySettings();
    void UpdateControlStates();
    // Ends an open in-place edit of the page's lists, taking the typed text.
    void CommitOpenEditors();

private:
    void Build();
    QGridLayout* BuildConditions();
    QWidget* BuildComparatorGroup();
    QWidget* BuildBeepGroup();
    QWidget* BuildTemperatureAndScaling();
    void BuildLists();
    QCheckBox* AddCheck(int id, const QString& caption) { return m_controls.AddCheck(id, caption); }
    QComboBox* AddCombo(int id, const QStringList& items) { return m_controls.AddCombo(id, items); }
    QLineEdit* AddEdit(int id, bool leaveNormalises) { return m_controls.AddEdit(id, leaveNormalises); }
    QLabel* AddLabel(int id, const QString& caption) { return m_controls.AddLabel(id, caption); }
    void Refresh();
    void RefreshBinList();
    void RefreshZeroList();
    void OnCellChanged(int controlId, int row, int column);
    void OnRowChecked(int controlId, int row, bool on);

    IUserPrompt& m_prompt;
    CFrontPageLogic m_logic;
    CPageControls m_controls;
    CListCtrlEx* m_binList = nullptr;
    CListCtrlEx* m_zeroList = nullptr;
};
