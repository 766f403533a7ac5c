#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "ui/page_controls.h"
#include "uilogic/mux_page_logic.h"

class CListCtrlEx;
class IDialogRunner;
class QGroupBox;
class QGridLayout;
class QPushButton;

// The MUX settings page: a child page of the measurement settings dialog. The step list shows the
// 42 channels of the chosen method and edits their terminals and most used conditions; the
// controls below it edit the rest of the current step. It has no OK or Cancel of its own.
class CMuxSetDlg final : public QWidget {
    Q_OBJECT

public:
    CMuxSetDlg(int32_t model, IUserPrompt& prompt, QWidget* parent = nullptr);
    ~CMuxSetDlg() override;

    CMuxPageLogic& Logic() { return m_logic; }
    // The MUX portion (every field from MuxScan to Channels4Wire) is the page's.
    MeasSetData& Data() { return m_logic.Mux; }
    // The A-TC and copy-item dialogs run through this (the application's runner by default).
    void SetDialogRunner(IDialogRunner& runner) { m_runner = &runner; }

    [[nodiscard]] bool CollectSettings();
    void ReportSettingsError();
    void DisplaySettings();
    void UpdateControlStates();
    // Ends an open in-place edit of the page's lists, taking the typed text.
    void CommitOpenEditors();

    CListCtrlEx* StepList() const { return m_stepList; }

private:
    void Build();
    QWidget* BuildScanGroup();
    QWidget* BuildBeepGroup();
    QWidget* BuildConditionGroup();
    QGridLayout* BuildConditionChecks();
    QGridLayout* BuildTemperatureAndScaling();
    void BuildLists();
    void Refresh();
    void RefreshStepList();
    void OnRowChanged(int row);
    void OnCellChanged(int controlId, int row, int column, int index);
    void OnChoose(int id, int index);
    void OnCopy();
    void OnAtcSettings();

    IUserPrompt& m_prompt;
    IDialogRunner* m_runner;
    std::unique_ptr<IDialogRunner> m_ownRunner;
    CMuxPageLogic m_logic;
    CPageControls m_controls;
    CListCtrlEx* m_stepList = nullptr;
    CListCtrlEx* m_zeroList = nullptr;
    QGroupBox* m_stepGroup = nullptr;
    // The choice lists last given to the step list, so that only changed ones are replaced.
    std::array<std::string, kMuxChannels> m_rangeLists;
    std::string m_termList;
};
