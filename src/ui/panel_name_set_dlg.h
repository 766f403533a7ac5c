#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>

#include "host/panel_names.h"

class CInstrumentLink;
class IDialogRunner;
class IUserPrompt;
class QComboBox;
class QLineEdit;

// "Panel Name Set": the panel to save the conditions into and its name. The names of the panels
// of the kind chosen are read from the instrument before the dialog shows; the link is closed
// whichever way the dialog ends.
class CPanelNameSetDlg final : public QDialog {
    Q_OBJECT

public:
    CPanelNameSetDlg(
        int32_t model, bool muxPanels, CInstrumentLink& link, IUserPrompt& prompt, QWidget* parent = nullptr);
    ~CPanelNameSetDlg() override;

    // Reads the panel names (with the wait cursor) and fills the list; false, after its message,
    // when they cannot be read: the dialog then ends as cancelled without showing.
    [[nodiscard]] bool ReadNames();

    // After OK: the list index within the kind and the name.
    int PanelIndex() const;
    std::string PanelName() const;

    void accept() override;
    void done(int result) override;

private:
    void OnPanelChanged();

    int32_t m_model;
    bool m_muxPanels;
    CInstrumentLink& m_link;
    IUserPrompt& m_prompt;
    PanelNames m_panels;
    QComboBox* m_numbers;
    QLineEdit* m_state;
    QLineEdit* m_name;
};

// The panel save of the settings dialog: the panel dialog, then `beforeSave` (the settings dialog
// sends its conditions there; false ends quietly), then the save and name commands for the chosen
// panel. False when cancelled or failed (the failure told).
[[nodiscard]] bool SaveToPanel(QWidget* parent, IDialogRunner& dialogs, CInstrumentLink& link, IUserPrompt& prompt,
    int32_t model, bool muxPanels, const std::function<bool()>& beforeSave = {});
