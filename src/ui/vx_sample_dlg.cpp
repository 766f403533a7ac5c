// The main window's opening, closing, keys and the operator's actions.
#include "ui/vx_sample_dlg.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <ctime>
#include <filesystem>

#include "host/comm_settings.h"
#include "host/model_change.h"
#include "host/startup_settings.h"
#include "link/instrument_link.h"
#include "settings/numeric_locale.h"
#include "ui/list_ctrl_ex.h"
#include "ui/live_view.h"
#include "ui/small_dialogs.h"
#include "uilogic/field_exchange.h"
#include "uilogic/result_path.h"

namespace {

constexpr int kTeardownStopMs = 10000;
constexpr int kTeardownStopSliceMs = 50;

} // namespace

CVxSampleDlg::CVxSampleDlg(CSettingData config, MeasSetData& data, CInstrumentLink& link, IUserPrompt& prompt,
    IDialogRunner& dialogs, QWidget* parent)
    : QDialog(parent)
    , m_config(std::move(config))
    , m_data(data)
    , m_link(link)
    , m_prompt(prompt)
    , m_dialogs(dialogs)
    , m_notify(new CQtNotifyWindow(this))
    , m_timers(new CQtTimerService(this))
{
    m_controller = std::make_unique<CMeasController>(m_config, m_data, m_link, m_prompt, *this, *m_timers, *m_notify);
    // Both handlers run on the GUI thread: worker messages arrive queued, timers fire here.
    m_notify->SetHandler([this](const NotifyMessage& message) { m_controller->HandleMessage(message); });
    m_timers->SetHandler([this](int id) { m_controller->OnTimer(id); });
    BuildControls();
    const auto direct = Qt::DirectConnection; // all controls live on the GUI thread
    connect(static_cast<QPushButton*>(Control(1006)), &QPushButton::clicked, this, &CVxSampleDlg::OnStart, direct);
    connect(static_cast<QPushButton*>(Control(1007)), &QPushButton::clicked, this, &CVxSampleDlg::OnStop, direct);
    connect(static_cast<QPushButton*>(Control(1009)), &QPushButton::clicked, this, &CVxSampleDlg::OnCapture, direct);
    connect(static_cast<QPushButton*>(Control(1013)), &QPushButton::clicked, this, &CVxSampleDlg::OnBrowse, direct);
    // A radio button reads every control into the members.
    for (QButtonGroup* group : { m_methods, m_targets })
        connect(
            group, &QButtonGroup::idClicked, this, [this] { (void)ReadControls(); }, direct);
}

CVxSampleDlg::~CVxSampleDlg()
{
    Teardown();
    m_controller.reset(); // before the notify window and the timers it reports to
}

void CVxSampleDlg::Open(const MainWindowOptions& options, IPortSource& ports)
{
    m_keepLinkSettings = options.KeepLinkSettings;
    m_ports = &ports;
    m_config.Load();
    // The first start leaves the defaults in the data folder (an installed copy's XDG folder), so
    // the operator finds the files to edit from the first run on. A failure tells itself.
    const bool firstStart = !std::filesystem::exists(m_config.IniPath());
    if (firstStart)
        (void)m_config.Save(m_prompt);
    if (options.ModelForRun != 0 && options.ModelForRun != m_config.ModelCode) {
        m_configuredModel = m_config.ModelCode;
        m_runModel = options.ModelForRun;
        m_config.ModelCode = options.ModelForRun;
    }
    if (!options.KeepLinkSettings)
        ApplyCommSettings(m_config, m_link, ports);
    std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    const std::string folder = m_config.FileDir.empty() ? m_config.DataFolder : m_config.FileDir;
    m_controller->FilePath = DefaultResultPath(folder, m_config.FileExtension, local);
    m_controller->Count = m_config.LogLimit;
    m_controller->Destination = m_config.CsvEnable == 1 ? SaveTarget::Excel : SaveTarget::File;
    m_controller->Method = static_cast<CaptureMethod>(std::clamp(m_config.LogType, 0, 2));
    m_controller->IntervalSec = m_config.LogInterval / 10.0;
    ShowModel(m_config.ModelCode);
    m_liveView->SetExactPoints(static_cast<size_t>(m_config.TrendPoints));
    m_liveViewAction->setChecked(m_config.LiveView != 0);
    ShowLiveView(m_config.LiveView != 0);
    ApplyStartupSettings(options);
    if (firstStart && m_configuredModel < 0 && !std::filesystem::exists(m_config.AutosavePath()))
        (void)SaveStartupSettings(m_config, m_data, m_prompt);
    SetModelState(m_config.ModelCode);
    m_controller->BuildStepList();
    ShowMembers();
    // The first thing an operator does is start: Space presses Start (Enter stays with Capture).
    if (Control(1006)->isEnabled())
        Control(1006)->setFocus();
}

void CVxSampleDlg::ApplyStartupSettings(const MainWindowOptions& options)
{
    const StartupSource source = LoadStartupSettings(m_config, options.Arguments, m_data, m_prompt);
    if (source != StartupSource::CommandLine)
        return;
    CMessDlg progress(this);
    (void)TransferStartupSettings(m_data, m_config.ModelCode, m_link, m_prompt, progress); // it tells the operator
}

void CVxSampleDlg::Teardown()
{
    if (m_tornDown)
        return;
    m_tornDown = true;
    // Closing is refused while a worker exists; should one still run (the process is ending), its
    // last messages are served until it has ended, so it never reports to a window that is gone.
    QDeadlineTimer deadline(kTeardownStopMs);
    while (!m_controller->Stop() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, kTeardownStopSliceMs);
    (void)ReadControls();
    m_config.FileDir = FolderOfPath(m_controller->FilePath);
    m_config.FileExtension = ExtensionOfPath(m_controller->FilePath);
    m_config.LogInterval = static_cast<int32_t>(m_controller->IntervalSec * 10.0 + 1e-9);
    m_config.LogLimit = m_controller->Count;
    m_config.CsvEnable = static_cast<int32_t>(m_controller->Destination);
    m_config.LogType = static_cast<int32_t>(m_controller->Method);
    m_config.GetCompRes = 1;
    if (!m_keepLinkSettings)
        TakeCommSettings(m_link, m_config);
    // A run with a model of its own (the simulator's) leaves the configured model and its
    // conditions as they were; a model chosen by the operator meanwhile is kept.
    const bool ownModel = m_configuredModel >= 0 && m_config.ModelCode == m_runModel;
    if (ownModel)
        m_config.ModelCode = m_configuredModel;
    if (m_config.Save(m_prompt))
        (void)m_config.SaveWindowKeys(m_prompt); // it shows its own message
    if (!ownModel)
        (void)SaveStartupSettings(m_config, m_data, m_prompt); // likewise
}

void CVxSampleDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept(); // never closes the window
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses the default button, Capture, whichever control has the focus.
        if (Control(1009)->isEnabled())
            OnCapture();
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool CVxSampleDlg::focusNextPrevChild(bool next)
{
    // While the Capture button serves an acquisition, Tab keeps the focus on it.
    if (m_controller->WorkerExists() && m_controller->Method == CaptureMethod::Key)
        return true;
    return QDialog::focusNextPrevChild(next);
}

void CVxSampleDlg::closeEvent(QCloseEvent* event)
{
    if (m_controller->WorkerExists()) {
        event->ignore();
        m_prompt.ShowMessage(kNotDuringMeasurement);
        return;
    }
    event->accept();
    done(QDialog::Accepted);
}

bool CVxSampleDlg::ReadControls()
{
    CMeasController& c = *m_controller;
    std::string message;
    double interval = c.IntervalSec;
    int32_t count = c.Count;
    int32_t channel = c.ChannelNo;
    QLineEdit* failed = nullptr;
    if (!ExchangeDouble(m_interval->text().toStdString(), interval, message))
        failed = m_interval;
    else if (!ExchangeInt(m_count->text().toStdString(), count, message))
        failed = m_count;
    else if (m_channel->isEnabled() && !ExchangeIntRange(m_channel->text().toStdString(), 1, 42, channel, message))
        failed = m_channel;
    if (failed != nullptr) {
        m_prompt.ShowMessage(message);
        failed->setFocus();
        failed->selectAll();
        return false;
    }
    c.IntervalSec = interval;
    c.Count = count;
    c.ChannelNo = channel;
    c.FilePath = m_filePath->text().toStdString();
    c.Method = static_cast<CaptureMethod>(std::max(m_methods->checkedId(), 0));
    c.Destination = m_targets->checkedId() == 1 ? SaveTarget::Excel : SaveTarget::File;
    return true;
}

void CVxSampleDlg::ShowMembers()
{
    const CMeasController& c = *m_controller;
    m_interval->setText(QString::fromStdString(FormatC("%.1f", c.IntervalSec)));
    m_count->setText(QString::number(c.Count));
    m_channel->setText(QString::number(c.ChannelNo));
    m_filePath->setText(QString::fromStdString(c.FilePath));
    if (QAbstractButton* method = m_methods->button(static_cast<int>(c.Method)))
        method->setChecked(true);
    if (QAbstractButton* target = m_targets->button(static_cast<int>(c.Destination)))
        target->setChecked(true);
}

void CVxSampleDlg::OnStart()
{
    if (m_controller->WorkerExists() || !ReadControls())
        return;
    m_liveView->Reset(m_data); // rows of this run arrive queued, after this
    (void)m_controller->Start(); // it shows its messages and sets the window's state
    ShowMembers(); // the corrected interval and count
    if (m_controller->WorkerExists()) {
        raise();
        activateWindow();
    }
    ApplyEnables();
}

void CVxSampleDlg::OnStop()
{
    if (m_controller->Stop())
        SetIdle(true, false);
}

void CVxSampleDlg::OnCapture()
{
    if (m_controller->Method != CaptureMethod::Key || !m_controller->WorkerExists())
        return;
    m_controller->Capture();
}

void CVxSampleDlg::OnBrowse()
{
    QString chosen;
    if (m_dialogs.ChooseResultFile(this, m_filePath->text(), chosen)) {
        m_filePath->setText(chosen);
        m_controller->FilePath = chosen.toStdString();
    }
}

void CVxSampleDlg::OnModelSet()
{
    CModelSetDlg dialog(m_config.ModelCode, this);
    if (m_dialogs.Run(dialog) != QDialog::Accepted)
        return;
    if (!ChangeModel(dialog.ModelCode(), m_config, m_data, m_prompt))
        return;
    ShowModel(m_config.ModelCode);
    SetModelState(m_config.ModelCode);
    static_cast<QLabel*>(Control(1036))->setText(UiText("Serial No.:"));
    m_controller->BuildStepList();
}

void CVxSampleDlg::OnCaptureSet()
{
    CSetDialog dialog(m_config, m_link, m_prompt, this);
    if (m_dialogs.Run(dialog) != QDialog::Accepted)
        return;
    m_config = dialog.Values();
    TakeLinkPort();
}

void CVxSampleDlg::OnAbout()
{
    CAboutDlg dialog(this);
    (void)m_dialogs.Run(dialog); // it only informs
}
