#pragma once

#include <QDialog>
#include <array>

#include "uilogic/mux_paste.h"

class QCheckBox;

// "Selecting copy item": which of the 19 condition items a copy carries.
class CLumpSetDlg final : public QDialog {
    Q_OBJECT

public:
    explicit CLumpSetDlg(int32_t model, QWidget* parent = nullptr);

    // The chosen items, read from the check boxes on OK.
    const std::array<bool, kPasteItems>& Items() const { return m_logic.Items; }
    void accept() override;

private:
    void Show();

    CLumpSetLogic m_logic;
    std::array<QCheckBox*, kPasteItems> m_checks {};
};
