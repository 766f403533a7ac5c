#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "settings/meas_set_data.h"

class CInstrumentLink;
class CMessDlg;
class CMuxSetDlg;
class CNormalSetDlg;
class CZeroAdjustRun;
class IDialogRunner;
class IUserPrompt;
class QPushButton;
class QRadioButton;
class QTimer;

// "Measurement Settings": the complete conditions of one model, edited on the front page or the
// MUX page (one shown, chosen by FRONT/MUX). The buttons on the right move them to and from the
// instrument, a settings file and a panel, and run the zero adjustment. The dialog works on its
// own copy; the application's conditions change by Close, "Transfer settings and close" and the
// sends (which apply first), and Cancel keeps whatever was applied already.
class CMeasSetDlg final : public QDialog {
    Q_OBJECT

public:
    // `app` is the application's record (may be null: then nothing can be applied).
    CMeasSetDlg(int32_t model, MeasSetData* app, CInstrumentLink& link, IUserPrompt& prompt, IDialogRunner& dialogs,
        QWidget* parent = nullptr);
    ~CMeasSetDlg() override;

    CNormalSetDlg& FrontPage() { return *m_frontPage; }
    CMuxSetDlg& MuxPage() { return *m_muxPage; }
    int32_t MuxSelected() const { return m_muxSelected; }
    // Whether the MUX page is the one shown.
    bool MuxShown() const;
    // The record of the pages as it would be applied, sent or saved now.
    MeasSetData SettingsBlock() const;
    bool ZeroAdjustRunning() const { return m_zeroRun != nullptr; }
    // The progress window of the zero adjustment while it runs.
    CMessDlg* ZeroAdjustWindow() const;
    // A control by its number (tests).
    QWidget* Control(int id) const;

    // Cancel and the close box; during a zero adjustment the close box stops it first.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class EApply { Applied, PageError, Invalid };

    void Build();
    QWidget* BuildButtons();
    void PushRadio();
    void ReadRadio();
    void SwitchPage();
    [[nodiscard]] bool CollectPages();
    void ReportShownPageError();
    void ShowPage(bool mux);
    void TakeRecord(const MeasSetData& record);
    void CommitEditors();
    void EnableAllControls(bool on);

    [[nodiscard]] bool ApplyToApplication();
    [[nodiscard]] bool SendSettings(bool withApply);
    [[nodiscard]] bool CheckModel();
    void LoadFromInstrument();
    void OnSend();
    void OnTransferAndClose();
    void OnClose();
    void OnSaveToPanel();
    void OnSaveToFile();
    void OnLoadFromFile();

    void OnZeroAdjust();
    void OnZeroAdjustTick();
    void StopZeroAdjust(bool abort);
    void LoadZeroAdjustValues(CZeroAdjustRun& run);

    int32_t m_model;
    MeasSetData* m_app;
    CInstrumentLink& m_link;
    IUserPrompt& m_prompt;
    IDialogRunner& m_dialogs;
    int32_t m_muxSelected = 0;
    CMuxSetDlg* m_muxPage = nullptr;
    CNormalSetDlg* m_frontPage = nullptr;
    QRadioButton* m_front = nullptr;
    QRadioButton* m_mux = nullptr;
    std::array<QWidget*, 12> m_own {};
    QTimer* m_zeroTimer = nullptr;
    std::unique_ptr<CZeroAdjustRun> m_zeroRun;
    QPointer<CMessDlg> m_zeroWindow;
    bool m_stopRequested = false;
    bool m_transferring = false; // a synchronous transfer runs: the dialog cannot end
};

// The main window's "Measurement Set.": the dialog over the application's record, run by the
// runner; true when it ended with the conditions applied.
[[nodiscard]] std::function<bool(QWidget* parent, int32_t model)> MeasSetOpener(
    MeasSetData& app, CInstrumentLink& link, IUserPrompt& prompt, IDialogRunner& dialogs);
