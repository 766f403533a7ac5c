#pragma once

#include <QDialog>

#include "ui/page_controls.h"
#include "uilogic/atc_set_logic.h"

class IUserPrompt;

// "A-TC Settings": the temperature sensor channel of one VX6208 MUX channel. It edits a copy of
// the channel's condition; OK checks it and the opener takes Condition() back.
class CAtcSetDlg final : public QDialog {
    Q_OBJECT

public:
    CAtcSetDlg(int32_t model, const MeasCondition& condition, IUserPrompt& prompt, QWidget* parent = nullptr);
    ~CAtcSetDlg() override;

    const MeasCondition& Condition() const { return m_logic.Cond; }
    CAtcSetLogic& Logic() { return m_logic; }

    // OK: reads and checks every entry; a refused one is reported and the dialog stays open.
    void accept() override;

private:
    void Build();
    void Refresh();

    IUserPrompt& m_prompt;
    CAtcSetLogic m_logic;
    CPageControls m_controls;
};
