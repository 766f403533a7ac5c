#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/host_interfaces.h"
#include "host/meas_controller.h"
#include "settings/meas_set_data.h"
#include "settings/setting_data.h"
#include "ui/qt_host_adapters.h"
#include "ui/ui_common.h"
#include "uilogic/main_window_state.h"

class CInstrumentLink;
class CListCtrlEx;
class CLiveView;
class IPortSource;
class QAction;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QRadioButton;

// What the main window is opened with besides the link, the configuration and the conditions.
struct MainWindowOptions {
    std::vector<std::string> Arguments; // the settings file named on the command line, if any
    // The link was set up for this run only (the simulator): the configured communication
    // settings are neither handed to it nor taken back from it.
    bool KeepLinkSettings = false;
    // The model of this run when it is not the configured one (the simulated model); the
    // configured model is kept at exit. 0: the configured model.
    int32_t ModelForRun = 0;
};

// "VX6207App": the model and serial number, the latest value and judgements, the channel list,
// the capture method and the result file, Start, Capture and Stop. The acquisition itself is the
// host controller's; this window shows what it reports and forwards the operator's actions.
// Everything here runs on the GUI thread; worker messages reach it through the notify window.
class CVxSampleDlg final : public QDialog, public IDisplaySink {
    Q_OBJECT

public:
    CVxSampleDlg(CSettingData config, MeasSetData& data, CInstrumentLink& link, IUserPrompt& prompt,
        IDialogRunner& dialogs, QWidget* parent = nullptr);
    ~CVxSampleDlg() override;

    // The opening: configuration, result path, ports, start-up settings, channel list. The port
    // source stays in use (the communication dialog lists ports again) for the window's life.
    void Open(const MainWindowOptions& options, IPortSource& ports);

    // Opens the measurement settings dialog with the configured model; true on OK. Until one is
    // set, "Measurement Set." stays disabled.
    using MeasSetOpener = std::function<bool(QWidget* parent, int32_t model)>;
    void SetMeasSetOpener(MeasSetOpener opener);
    // The end: stops, keeps the configuration, the window's keys and the conditions.
    void Teardown();

    CMeasController& Controller() { return *m_controller; }
    CSettingData& Config() { return m_config; }
    MainWindowState State() const { return m_state; }
    CListCtrlEx& StepList() { return *m_stepList; }
    CQtNotifyWindow& NotifyWindow() { return *m_notify; }
    QAction* MenuAction(int command) const { return m_menu[static_cast<size_t>(command)]; }
    int RowsShown() const { return m_rowsRecorded; }
    // A control by its number (tests and the enable rules).
    QWidget* Control(int id) const;
    CLiveView& LiveView() { return *m_liveView; }
    QAction* LiveViewAction() const { return m_liveViewAction; }

    // IDisplaySink
    void ShowValueTitle(const std::string& title) override;
    void ShowValue(const std::string& value) override;
    void ShowComp(const std::string& judge, int32_t colour) override;
    void ShowTotal(const std::string& judge, int32_t colour) override;
    void ShowCurrentChannel(const std::string& name) override;
    void ShowSerial(const std::string& serial) override;
    void BuildStepList(bool muxOn, const StepTexts& names) override;
    void SetStepRow(int row, const std::string& value, const std::string& comp, const std::string& judge,
        uint8_t judgeColour) override;
    void ScrollToStepRow(int row) override;
    void SetIdle(bool idle, bool lock) override;
    void EnableCapture(bool enabled) override;
    void RowRecorded(int number, const StepArrays& steps, int stepCount, const std::string& total,
        const std::string& temperature) override;

    void ShowModel(int32_t code);
    void SetModelState(int32_t code);

    // Escape never closes the window.
    void reject() override { }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Layout (vx_sample_dlg_layout.cpp).
    void BuildControls();
    QWidget* BuildResultsGroup();
    QWidget* BuildMethodGroup();
    QWidget* BuildSaveGroup();
    void BuildMenu();
    void BuildLiveView();
    void ShowLiveView(bool shown);
    QLabel* AddLabel(int id, const char* caption, QWidget* parent);
    QPushButton* AddButton(int id, const char* caption, QWidget* parent);
    QRadioButton* AddRadio(int id, const char* caption, QWidget* parent);
    QLineEdit* AddEdit(int id, QWidget* parent);

    // Actions (vx_sample_dlg.cpp).
    void OnStart();
    void OnStop();
    void OnCapture();
    void OnBrowse();
    void OnModelSet();
    void OnCaptureSet();
    void OnCommunicationSet();
    void OnMeasurementSet();
    void OnSelfCheck();
    void OnAbout();
    void TakeLinkPort();
    [[nodiscard]] bool ReadControls();
    void ShowMembers();
    void ApplyEnables();
    void ApplyStartupSettings(const MainWindowOptions& options);

    CSettingData m_config;
    MeasSetData& m_data;
    CInstrumentLink& m_link;
    IUserPrompt& m_prompt;
    IDialogRunner& m_dialogs;
    IPortSource* m_ports = nullptr;
    MeasSetOpener m_measSetOpener;
    CQtNotifyWindow* m_notify;
    CQtTimerService* m_timers;
    std::unique_ptr<CMeasController> m_controller;
    MainWindowState m_state = MainWindowState::NoModel;
    bool m_keepLinkSettings = false;
    int32_t m_configuredModel = -1; // set when the run uses another model than the configured one
    int32_t m_runModel = 0;
    bool m_tornDown = false;
    int m_rowsRecorded = 0;

    std::map<int, QWidget*> m_controls;
    CListCtrlEx* m_stepList = nullptr;
    QLineEdit* m_interval = nullptr;
    QLineEdit* m_count = nullptr;
    QLineEdit* m_channel = nullptr;
    QLineEdit* m_filePath = nullptr;
    QButtonGroup* m_methods = nullptr;
    QButtonGroup* m_targets = nullptr;
    QMenuBar* m_menuBar = nullptr;
    std::array<QAction*, kMenuCommandCount> m_menu {};
    CLiveView* m_liveView = nullptr;
    QAction* m_liveViewAction = nullptr;
};

inline constexpr const char* kNotDuringMeasurement = "Not available during measurement";
