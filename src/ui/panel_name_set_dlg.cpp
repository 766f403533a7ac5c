#include "ui/panel_name_set_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "link/instrument_link.h"
#include "settings/user_prompt.h"
#include "ui/ui_common.h"
#include "uilogic/panel_choice.h"

namespace {

constexpr int kMaxNameLength = 10;
constexpr double kControlPoints = 8.0;

QLabel* Label(QWidget* parent, int id, const char* caption)
{
    auto* label = new QLabel(UiText(caption), parent);
    label->setObjectName(ControlName(id));
    return label;
}

} // namespace

CPanelNameSetDlg::CPanelNameSetDlg(
    int32_t model, bool muxPanels, CInstrumentLink& link, IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent)
    , m_model(model)
    , m_muxPanels(muxPanels)
    , m_link(link)
    , m_prompt(prompt)
    , m_numbers(new QComboBox(this))
    , m_state(new QLineEdit(this))
    , m_name(new QLineEdit(this))
{
    setWindowTitle(UiText("Panel Name Set"));
    m_numbers->setObjectName(ControlName(1000));
    m_state->setObjectName(ControlName(1006));
    m_state->setReadOnly(true);
    m_name->setObjectName(ControlName(1005));
    m_name->setMaxLength(kMaxNameLength);
    m_name->setAttribute(Qt::WA_InputMethodEnabled, false);
    auto* grid = new QGridLayout;
    grid->addWidget(Label(this, 1134, "Panel No.:"), 0, 0);
    grid->addWidget(m_numbers, 0, 1);
    grid->addWidget(Label(this, 1135, "State:"), 1, 0);
    grid->addWidget(m_state, 1, 1);
    grid->addWidget(Label(this, 1132, "Panel Name"), 2, 0);
    grid->addWidget(m_name, 2, 1);
    grid->addWidget(Label(this, 1133, "*10 characters\n (0-9, A-z)"), 3, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(AddOkCancel(this, true));
    SetChildFonts(this, UiFont(kControlPoints));
    // The operator's choice of panel, on the GUI thread.
    connect(m_numbers, &QComboBox::currentIndexChanged, this, &CPanelNameSetDlg::OnPanelChanged, Qt::DirectConnection);
}

CPanelNameSetDlg::~CPanelNameSetDlg()
{
    m_link.Close();
}

bool CPanelNameSetDlg::ReadNames()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool read = ReadPanelNames(m_link, m_model, m_muxPanels, m_panels, m_prompt);
    QApplication::restoreOverrideCursor();
    if (!read)
        return false;
    const QSignalBlocker blocker(m_numbers);
    m_numbers->clear();
    for (const std::string& number : PanelNumberTexts(m_muxPanels))
        m_numbers->addItem(QString::fromStdString(number));
    m_numbers->setCurrentIndex(InitialPanelIndex(m_panels, m_muxPanels));
    OnPanelChanged();
    return true;
}

void CPanelNameSetDlg::OnPanelChanged()
{
    const int index = std::max(m_numbers->currentIndex(), 0);
    m_name->setText(QString::fromStdString(m_panels.Names[PanelEntry(index, m_muxPanels)]));
    m_state->setText(UiText(PanelStateText(m_panels, index, m_muxPanels)));
}

int CPanelNameSetDlg::PanelIndex() const
{
    return std::max(m_numbers->currentIndex(), 0);
}

std::string CPanelNameSetDlg::PanelName() const
{
    return m_name->text().toStdString();
}

void CPanelNameSetDlg::accept()
{
    const std::string refused = CheckPanelName(PanelName());
    if (!refused.empty()) {
        m_prompt.ShowMessage(refused);
        m_name->setFocus();
        return;
    }
    QDialog::accept();
}

void CPanelNameSetDlg::done(int result)
{
    m_link.Close();
    QDialog::done(result);
}

bool SaveToPanel(QWidget* parent, IDialogRunner& dialogs, CInstrumentLink& link, IUserPrompt& prompt, int32_t model,
    bool muxPanels, const std::function<bool()>& beforeSave)
{
    CPanelNameSetDlg dialog(model, muxPanels, link, prompt, parent);
    if (!dialog.ReadNames() || dialogs.Run(dialog) != QDialog::Accepted)
        return false;
    if (beforeSave && !beforeSave())
        return false;
    return SavePanel(link, PanelNumber(dialog.PanelIndex(), muxPanels), dialog.PanelName(), prompt);
}
