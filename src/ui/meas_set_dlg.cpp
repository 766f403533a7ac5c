// The measurement settings dialog: its layout, the page switch, applying the conditions, Close,
// Cancel and the keyboard. The transfers are in meas_set_dlg_transfer.cpp, the zero adjustment in
// meas_set_dlg_zero.cpp.
#include "ui/meas_set_dlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "host/zero_adjust_run.h"
#include "settings/model_info.h"
#include "settings/user_prompt.h"
#include "ui/mux_set_dlg.h"
#include "ui/normal_set_dlg.h"
#include "ui/small_dialogs.h"
#include "ui/ui_common.h"
#include "uilogic/meas_set_logic.h"

namespace {

constexpr double kControlPoints = 8.0;
constexpr int kTerminalGroup = 1156;
constexpr int kFrontRadio = 1154;
constexpr int kMuxRadio = 1155;

QPushButton* Button(QWidget* parent, int id, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(ControlName(id));
    // Enter goes to the focused control as an ordinary key: no button presses itself on it.
    button->setAutoDefault(false);
    return button;
}

} // namespace

CMeasSetDlg::CMeasSetDlg(int32_t model, MeasSetData* app, CInstrumentLink& link, IUserPrompt& prompt,
    IDialogRunner& dialogs, QWidget* parent)
    : QDialog(parent)
    , m_model(model)
    , m_app(app)
    , m_link(link)
    , m_prompt(prompt)
    , m_dialogs(dialogs)
    , m_zeroTimer(new QTimer(this))
{
    Build();
    // The page shown follows the application's MUX choice, whatever the model.
    TakeRecord(m_app != nullptr ? *m_app : SettingsBlock());
    m_mux->setEnabled(IsMuxModel(m_model));
    connect(m_zeroTimer, &QTimer::timeout, this, &CMeasSetDlg::OnZeroAdjustTick, Qt::DirectConnection);
}

CMeasSetDlg::~CMeasSetDlg()
{
    if (m_zeroRun != nullptr)
        m_zeroRun->Abort(); // the instrument must not be left adjusting with no one to end it
}

void CMeasSetDlg::Build()
{
    setWindowTitle(UiText(kMeasSetTitle));
    auto* group = new QGroupBox(UiText("Measurement terminal"), this);
    group->setObjectName(ControlName(kTerminalGroup));
    m_front = new QRadioButton(UiText("FRONT"), group);
    m_front->setObjectName(ControlName(kFrontRadio));
    m_mux = new QRadioButton(UiText("MUX"), group);
    m_mux->setObjectName(ControlName(kMuxRadio));
    auto* radios = new QHBoxLayout(group);
    radios->addWidget(m_front);
    radios->addWidget(m_mux);
    radios->addStretch();
    for (QRadioButton* radio : { m_front, m_mux })
        connect(radio, &QRadioButton::clicked, this, &CMeasSetDlg::SwitchPage, Qt::DirectConnection);

    m_muxPage = new CMuxSetDlg(m_model, m_prompt, this);
    m_muxPage->SetDialogRunner(m_dialogs);
    m_frontPage = new CNormalSetDlg(m_model, m_prompt, this);
    auto* pages = new QGridLayout;
    pages->addWidget(m_muxPage, 0, 0); // one cell: the hidden page takes no room
    pages->addWidget(m_frontPage, 0, 0);
    auto* left = new QVBoxLayout;
    left->addWidget(group);
    left->addLayout(pages, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(BuildButtons());
    m_own[0] = group;
    m_own[1] = m_front;
    m_own[2] = m_mux;
    SetChildFonts(this, UiFont(kControlPoints));
}

QWidget* CMeasSetDlg::BuildButtons()
{
    auto* column = new QWidget(this);
    auto* buttons = new QVBoxLayout(column);
    buttons->setContentsMargins(0, 0, 0, 0);
    struct SButton {
        int Id;
        QString Caption;
        void (CMeasSetDlg::*Handler)();
    };
    const SButton list[] = {
        { 1118, UiText(LoadButtonCaption(m_model)), &CMeasSetDlg::LoadFromInstrument },
        { 1122, UiText(SendButtonCaption(m_model)), &CMeasSetDlg::OnSend },
        { 1121, UiText("Save to Panel"), &CMeasSetDlg::OnSaveToPanel },
        { 1119, UiText("Save to File"), &CMeasSetDlg::OnSaveToFile },
        { 1120, UiText("Load from File"), &CMeasSetDlg::OnLoadFromFile },
        { 1123, UiText("Execute 0ADJ"), &CMeasSetDlg::OnZeroAdjust },
        { 1, UiText("Close"), &CMeasSetDlg::OnClose },
        { 2, UiText("Cancel"), nullptr }, // reject: also the close box
        { 3, UiText("Transfer settings\n      and close"), &CMeasSetDlg::OnTransferAndClose },
    };
    size_t index = 3;
    for (const SButton& entry : list) {
        QPushButton* button = Button(column, entry.Id, entry.Caption);
        if (entry.Id == 1)
            buttons->addStretch();
        buttons->addWidget(button);
        m_own[index++] = button;
        // Every button first ends an open edit in the pages' lists, so a typed cell counts.
        if (entry.Handler == nullptr) {
            connect(button, &QPushButton::clicked, this, &CMeasSetDlg::reject, Qt::DirectConnection);
            continue;
        }
        const auto run = [this, handler = entry.Handler] {
            CommitEditors();
            (this->*handler)();
        };
        connect(button, &QPushButton::clicked, this, run, Qt::DirectConnection);
    }
    return column;
}

QWidget* CMeasSetDlg::Control(int id) const
{
    for (QWidget* control : m_own) {
        if (control != nullptr && control->objectName() == ControlName(id))
            return control;
    }
    return nullptr;
}

bool CMeasSetDlg::MuxShown() const
{
    return !m_muxPage->isHidden();
}

MeasSetData CMeasSetDlg::SettingsBlock() const
{
    return BuildSettingsBlock(m_model, m_muxSelected, m_muxPage->Data(), m_frontPage->Front());
}

void CMeasSetDlg::PushRadio()
{
    m_front->setChecked(m_muxSelected == 0);
    m_mux->setChecked(m_muxSelected != 0);
}

void CMeasSetDlg::ReadRadio()
{
    m_muxSelected = m_mux->isChecked() ? 1 : 0;
}

void CMeasSetDlg::ShowPage(bool mux)
{
    m_muxPage->setVisible(mux);
    m_frontPage->setVisible(!mux);
}

void CMeasSetDlg::CommitEditors()
{
    m_muxPage->CommitOpenEditors();
    m_frontPage->CommitOpenEditors();
}

bool CMeasSetDlg::CollectPages()
{
    // A page that refuses its values is shown (again) with its error, and the radio follows it.
    const bool muxValid = m_muxPage->CollectSettings();
    if (muxValid && m_frontPage->CollectSettings())
        return true;
    m_muxSelected = muxValid ? 0 : 1;
    PushRadio();
    ShowPage(!muxValid);
    if (muxValid)
        m_frontPage->ReportSettingsError();
    else
        m_muxPage->ReportSettingsError();
    return false;
}

void CMeasSetDlg::SwitchPage()
{
    CommitEditors();
    ReadRadio();
    if (!CollectPages())
        return;
    const bool toMux = m_muxSelected != 0;
    if (toMux != MuxShown()) {
        // A real change of page takes the shared values from the page left.
        CarrySharedValues(toMux, m_muxPage->Data(), m_frontPage->Front());
        if (toMux)
            m_muxPage->DisplaySettings();
        else
            m_frontPage->DisplaySettings();
    }
    ShowPage(toMux);
}

void CMeasSetDlg::TakeRecord(const MeasSetData& record)
{
    m_muxSelected = record.MuxOn != 0 ? 1 : 0;
    PushRadio();
    m_muxPage->Data() = record;
    m_muxPage->Data().ModelCode = m_model;
    m_frontPage->Front() = record.Front;
    m_muxPage->DisplaySettings();
    m_frontPage->DisplaySettings();
    ShowPage(m_muxSelected != 0);
}

bool CMeasSetDlg::ApplyToApplication()
{
    ReadRadio();
    if (!CollectPages())
        return false;
    const MeasSetData block = SettingsBlock();
    if (m_app == nullptr || !ValidateMeasSetData(block)) {
        m_prompt.ShowMessage(kFailedToSetParameters);
        return false;
    }
    *m_app = block;
    return true;
}

void CMeasSetDlg::OnSend()
{
    (void)SendSettings(true);
}

void CMeasSetDlg::OnClose()
{
    if (ApplyToApplication())
        accept();
}

void CMeasSetDlg::OnTransferAndClose()
{
    if (ApplyToApplication() && SendSettings(false))
        accept();
}

void CMeasSetDlg::reject()
{
    if (m_transferring)
        return; // the dialog's objects are in use below this call
    if (m_zeroRun != nullptr)
        StopZeroAdjust(true); // the close box stops a running adjustment as Stop does
    QDialog::reject();
}

void CMeasSetDlg::keyPressEvent(QKeyEvent* event)
{
    // Enter and Escape reach here only when the focused control left them: they neither press a
    // button nor cancel the dialog.
    switch (event->key()) {
    case Qt::Key_Enter:
    case Qt::Key_Return:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CMeasSetDlg::changeEvent(QEvent* event)
{
    // Leaving the dialog (a message box, another window) ends an open edit with its text taken.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        CommitEditors();
    QDialog::changeEvent(event);
}

void CMeasSetDlg::EnableAllControls(bool on)
{
    for (QWidget* control : m_own)
        control->setEnabled(on);
    m_mux->setEnabled(on && IsMuxModel(m_model));
    m_muxPage->setEnabled(on);
    m_frontPage->setEnabled(on);
    if (on) {
        m_muxPage->UpdateControlStates();
        m_frontPage->UpdateControlStates();
    }
}

CMessDlg* CMeasSetDlg::ZeroAdjustWindow() const
{
    return m_zeroWindow.data();
}

std::function<bool(QWidget*, int32_t)> MeasSetOpener(
    MeasSetData& app, CInstrumentLink& link, IUserPrompt& prompt, IDialogRunner& dialogs)
{
    return [&app, &link, &prompt, &dialogs](QWidget* parent, int32_t model) {
        CMeasSetDlg dialog(model, &app, link, prompt, dialogs, parent);
        return dialogs.Run(dialog) == QDialog::Accepted;
    };
}
