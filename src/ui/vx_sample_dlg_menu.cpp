// The main window's menu commands that open the communication and measurement settings and run
// the instrument's self-check.
#include <QAction>
#include <QApplication>

#include "host/self_check.h"
#include "link/instrument_link.h"
#include "ui/com_test_dlg.h"
#include "ui/small_dialogs.h"
#include "ui/vx_sample_dlg.h"

namespace {

constexpr const char* kSelfChecking = "Self checking...";

} // namespace

void CVxSampleDlg::TakeLinkPort()
{
    // A run whose link was set up for it alone (the simulator) keeps the configured port.
    if (m_keepLinkSettings)
        return;
    m_config.ComNo = m_link.ComPort;
    m_config.BaudRate = static_cast<int32_t>(m_link.BaudRate);
}

void CVxSampleDlg::OnCommunicationSet()
{
    if (m_ports == nullptr)
        return; // not opened yet
    CComTestDlg dialog(m_link, *m_ports, m_prompt, this);
    (void)m_dialogs.Run(dialog); // the port and rate are taken whatever the answer
    TakeLinkPort();
}

void CVxSampleDlg::SetMeasSetOpener(MeasSetOpener opener)
{
    m_measSetOpener = std::move(opener);
    ApplyEnables();
}

void CVxSampleDlg::OnMeasurementSet()
{
    if (!m_measSetOpener || !m_measSetOpener(this, m_config.ModelCode))
        return;
    ApplyEnables(); // the manual channel follows the MUX settings
    m_controller->BuildStepList();
}

void CVxSampleDlg::OnSelfCheck()
{
    CMessDlg message(this);
    bool busy = false;
    SelfCheckHooks hooks;
    // Both hooks run on the GUI thread, inside RunSelfCheck.
    hooks.Busy = [&] {
        busy = true;
        SetIdle(false, true);
        message.ShowProgress(kSelfChecking);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    };
    hooks.Done = [&] {
        if (!busy)
            return;
        QApplication::restoreOverrideCursor();
        SetIdle(true, false);
        message.CloseProgress();
    };
    (void)RunSelfCheck(*m_controller, m_link, m_data, m_prompt, hooks); // it shows the result or the failure
}
