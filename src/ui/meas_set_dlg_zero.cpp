// The measurement settings dialog's zero adjustment: mirror the conditions, start the adjustment,
// poll it from a 200 ms timer with "0 adjusting..." and Stop on screen, read the values back.
#include <QTimer>

#include "host/zero_adjust_run.h"
#include "settings/user_prompt.h"
#include "ui/meas_set_dlg.h"
#include "ui/small_dialogs.h"
#include "ui/ui_common.h"
#include "uilogic/meas_set_logic.h"

void CMeasSetDlg::OnZeroAdjust()
{
    if (!CheckModel())
        return;
    if (!m_prompt.AskYesNo(MirrorQuestionOf(m_model))) {
        m_prompt.ShowMessage(kZeroAdjustNotExecuted);
        return;
    }
    if (!SendSettings(true))
        return;
    EnableAllControls(false);
    m_zeroRun = std::make_unique<CZeroAdjustRun>(m_prompt, m_link);
    if (!m_zeroRun->Start(SettingsBlock(), false)) { // the conditions are on the instrument already
        m_zeroRun.reset();
        EnableAllControls(true);
        return;
    }
    m_stopRequested = false;
    m_zeroTimer->start(kZeroAdjustPollMs);
    if (m_zeroWindow == nullptr) {
        m_zeroWindow = new CMessDlg(this, true);
        // Stop, or closing the window, only raises the request; the next tick ends the adjustment.
        const auto stop = [this] { m_stopRequested = true; };
        connect(m_zeroWindow, &CMessDlg::StopRequested, this, stop, Qt::DirectConnection);
        connect(m_zeroWindow, &QDialog::rejected, this, stop, Qt::DirectConnection);
    }
    m_zeroWindow->ShowProgress(kZeroAdjusting);
}

void CMeasSetDlg::OnZeroAdjustTick()
{
    if (m_zeroRun == nullptr)
        return;
    // No tick may come in while this one shows a message (its box runs an event loop).
    m_zeroTimer->stop();
    if (m_stopRequested) {
        StopZeroAdjust(true);
        return;
    }
    const ZeroAdjustStatus status = m_zeroRun->Poll(); // waits at most 100 ms for the answer
    if (status == ZeroAdjustStatus::Running) {
        m_zeroTimer->start(kZeroAdjustPollMs);
        return;
    }
    const std::unique_ptr<CZeroAdjustRun> run = std::move(m_zeroRun); // it has ended
    StopZeroAdjust(false);
    if (status != ZeroAdjustStatus::Done)
        return; // the failure has been told
    raise();
    LoadZeroAdjustValues(*run);
}

void CMeasSetDlg::StopZeroAdjust(bool abort)
{
    m_zeroTimer->stop();
    if (m_zeroWindow != nullptr)
        m_zeroWindow->CloseProgress();
    EnableAllControls(true);
    if (abort && m_zeroRun != nullptr) {
        m_zeroRun->Abort(); // in MUX mode ":ABORt"; then the end of the transfer
        m_zeroRun.reset();
    }
}
