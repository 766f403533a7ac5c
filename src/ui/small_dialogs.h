#pragma once

#include <QDialog>

#include "host/startup_settings.h"
#include "settings/setting_data.h"
#include "uilogic/small_dialog_logic.h"

class CInstrumentLink;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class IUserPrompt;

// The window message the message window's Stop button stands for.
inline constexpr int kMessStopMessage = 0x0400 + 227;

// "VX6207App message": a modeless text window, with a Stop button when the caller asks for one.
// It serves as the progress window of long transfers.
class CMessDlg final : public QDialog, public IProgressWindow {
    Q_OBJECT

public:
    explicit CMessDlg(QWidget* parent = nullptr, bool showStop = false);
    void SetText(const QString& text);
    void ShowProgress(const std::string& text) override;
    void CloseProgress() override { hide(); }

signals:
    // The Stop button (message 1251 to the owner). The window stays open; its owner decides.
    void StopRequested();

private:
    QLabel* m_text;
    QPushButton* m_stop;
};

// "Version Information".
class CAboutDlg final : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

inline constexpr const char* kVersionString = "1.0.0.6";

// "Model Setting": the model the application works with.
class CModelSetDlg final : public QDialog {
    Q_OBJECT

public:
    CModelSetDlg(int32_t modelCode, QWidget* parent = nullptr);
    // The model after OK (the one opened with when the operator chose nothing).
    int32_t ModelCode() const { return m_logic.Accept(); }

private:
    CModelSetLogic m_logic;
    QComboBox* m_list;
};

// "Capture Settings": what a record holds, the text-file format and the external-trigger filter.
// OK checks the filter time first and changes nothing (not even the link's port) when it is refused.
class CSetDialog final : public QDialog {
    Q_OBJECT

public:
    CSetDialog(const CSettingData& values, CInstrumentLink& link, IUserPrompt& prompt, QWidget* parent = nullptr);
    // The values after OK.
    const CSettingData& Values() const { return m_values; }

    void accept() override;

private:
    QWidget* BuildDetails();
    QWidget* BuildFormat();
    QWidget* BuildFilter();
    void BuildHiddenPortLists();
    void FillPortLists();
    QCheckBox* AddCheck(int id, const char* caption, int32_t value);

    CSettingData m_values;
    CInstrumentLink& m_link;
    IUserPrompt& m_prompt;
    QComboBox* m_ports = nullptr;
    QComboBox* m_bauds = nullptr;
    QComboBox* m_decimal = nullptr;
    QComboBox* m_separator = nullptr;
    QLineEdit* m_filterTime = nullptr;
};
