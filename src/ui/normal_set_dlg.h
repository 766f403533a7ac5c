#pragma once

#include <QWidget>
#include <map>

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

private:
    void Build();
    QGridLayout* BuildConditions();
    QWidget* BuildComparatorGroup();
    QWidget* BuildBeepGroup();
    QWidget* BuildTemperatureAndScaling();
    void BuildLists();
    QCheckBox* AddCheck(int id, const QString& caption);
    QComboBox* AddCombo(int id, const QStringList& items);
    QLineEdit* AddEdit(int id, bool leaveNormalises);
    QLabel* AddLabel(int id, const QString& caption);
    void Refresh();
    void RefreshBinList();
    void RefreshZeroList();
    void OnCellChanged(int controlId, int row, int column);
    void OnRowChecked(int controlId, int row, bool on);

    IUserPrompt& m_prompt;
    CFrontPageLogic m_logic;
    std::map<int, QCheckBox*> m_checks;
    std::map<int, QComboBox*> m_combos;
    std::map<int, QLineEdit*> m_edits;
    std::map<int, QLabel*> m_labels;
    CListCtrlEx* m_binList = nullptr;
    CListCtrlEx* m_zeroList = nullptr;
};
