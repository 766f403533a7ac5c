// The measurement settings dialog's transfers: to and from the instrument with a progress window,
// to and from a settings file, and into a panel.
#include <QApplication>
#include <QElapsedTimer>

#include "commands/communicate_meas_data.h"
#include "host/startup_settings.h"
#include "host/zero_adjust_run.h"
#include "settings/file_manager.h"
#include "settings/setting_data.h"
#include "ui/meas_set_dlg.h"
#include "ui/mux_set_dlg.h"
#include "ui/normal_set_dlg.h"
#include "ui/panel_name_set_dlg.h"
#include "ui/small_dialogs.h"
#include "ui/ui_common.h"
#include "uilogic/meas_set_logic.h"

namespace {

constexpr int kRepaintMs = 50;
constexpr const char* kFileFilter = "*.vxf";
constexpr const char* kFileSuffix = "vxf";

// The wait cursor and the progress window of one synchronous transfer; the window shows the
// lines done of the lines to do. Closing it brings the dialog back to the top. `busy` is raised
// meanwhile: the window system's close request still arrives while the window repaints.
class CTransferWindow {
public:
    CTransferWindow(QWidget* owner, bool& busy, const std::string& text)
        : m_owner(owner)
        , m_busy(busy)
        , m_window(owner)
        , m_text(UiText(text))
    {
        m_busy = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_window.ShowProgress(text);
        m_clock.start();
    }
    ~CTransferWindow()
    {
        m_busy = false;
        m_window.CloseProgress();
        QApplication::restoreOverrideCursor();
        m_owner->raise();
        m_owner->activateWindow();
    }
    CTransferWindow(const CTransferWindow&) = delete;
    CTransferWindow& operator=(const CTransferWindow&) = delete;

    CCommunicateMeasData::ProgressFn Progress()
    {
        return [this](size_t done, size_t total) {
            if (done != total && m_clock.elapsed() < kRepaintMs)
                return; // the window is repainted often enough to move, not for every line
            m_clock.restart();
            m_window.SetText(QStringLiteral("%1\n%2 / %3").arg(m_text).arg(done).arg(total));
            // Paints the window; the operator's input waits for the end of the transfer.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
    }

private:
    QWidget* m_owner;
    bool& m_busy;
    CMessDlg m_window;
    QString m_text;
    QElapsedTimer m_clock;
};

} // namespace

bool CMeasSetDlg::CheckModel()
{
    CCommunicateMeasData transfer(m_prompt, m_link);
    return transfer.CheckModel(SettingsBlock(), m_model); // a failed connect told its own message
}

bool CMeasSetDlg::SendSettings(bool withApply)
{
    if (!CheckModel() || (withApply && !ApplyToApplication()))
        return false;
    const MeasSetData block = SettingsBlock();
    bool sent = false;
    {
        CTransferWindow window(this, m_transferring, TransferTextOf(m_model));
        CCommunicateMeasData transfer(m_prompt, m_link);
        transfer.SetProgress(window.Progress());
        sent = transfer.WriteAll(block);
    }
    if (!sent)
        m_prompt.ShowMessage(kFailedToSendSettings);
    return sent;
}

void CMeasSetDlg::LoadFromInstrument()
{
    if (!CheckModel())
        return;
    MeasSetData block = SettingsBlock();
    bool read = false;
    {
        CTransferWindow window(this, m_transferring, CapturingTextOf(m_model));
        CCommunicateMeasData transfer(m_prompt, m_link);
        transfer.SetProgress(window.Progress());
        read = transfer.ReadAll(block);
    }
    if (!read) {
        m_prompt.ShowMessage(kFailedToLoadSettings);
        return;
    }
    TakeRecord(block);
}

void CMeasSetDlg::LoadZeroAdjustValues(CZeroAdjustRun& run)
{
    if (!CheckModel())
        return;
    bool read = false;
    {
        const CTransferWindow window(this, m_transferring, CapturingTextOf(m_model));
        read = run.Finish(); // "Failed to load settings." is told there
    }
    if (read)
        TakeRecord(run.Values());
}

void CMeasSetDlg::OnSaveToPanel()
{
    ReadRadio();
    if (!CollectPages())
        return;
    (void)SaveToPanel(this, m_dialogs, m_link, m_prompt, m_model, m_muxSelected != 0,
        [this] { return SendSettings(true); }); // the panel keeps what the instrument holds: send first
}

void CMeasSetDlg::OnSaveToFile()
{
    // The record is checked before anything is written: a file that would never load again is
    // refused with the error that makes it so.
    ReadRadio();
    if (!CollectPages())
        return;
    CFileManager file(m_prompt);
    file.Data = SettingsBlock();
    if (!ValidateMeasSetData(file.Data)) {
        m_prompt.ShowMessage(kFailedToSetParameters);
        return;
    }
    QString path;
    if (!m_dialogs.ChooseFile(this, true, QString::fromLatin1(kFileFilter), QString::fromLatin1(kFileSuffix),
            QString::fromLatin1(kFileFilter), path))
        return;
    if (!file.Save(path.toStdString()))
        m_prompt.ShowMessage(kFailedToSaveSettings);
}

void CMeasSetDlg::OnLoadFromFile()
{
    QString path;
    if (!m_dialogs.ChooseFile(this, false, QString::fromLatin1(kFileFilter), QString::fromLatin1(kFileSuffix),
            QString::fromLatin1(kFileFilter), path))
        return;
    CFileManager file(m_prompt);
    if (!file.Load(path.toStdString(), m_model)) {
        m_prompt.ShowMessage(std::string(kFailedToLoadSettings) + "\n" + path.toStdString() + ": " + file.Problem);
        return;
    }
    if (file.Data.ModelCode != m_model) {
        m_prompt.ShowMessage(kSettingFileModelDiffers);
        return;
    }
    TakeRecord(file.Data);
}
