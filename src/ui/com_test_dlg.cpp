// "Communication Settings": the connection choice and the communication test.
#include "ui/com_test_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "link/identification.h"
#include "ui/ip_address_edit.h"
#include "ui/small_dialogs.h"
#include "ui/ui_common.h"

namespace {

constexpr int kPollMs = 50; // timer 10
constexpr double kControlPoints = 8.0;
constexpr std::array<int, 6> kComControls = { 1027, 1031, 1041, 1006, 7, 6 };
constexpr std::array<int, 4> kLanControls = { 1029, 1164, 1028, 1165 };

template <typename T> T* Named(T* widget, int id)
{
    widget->setObjectName(ControlName(id));
    return widget;
}

QLabel* Label(QWidget* parent, int id, const char* caption)
{
    return Named(new QLabel(UiText(caption), parent), id);
}

QPushButton* Button(QWidget* parent, int id, const char* caption)
{
    auto* button = Named(new QPushButton(UiText(caption), parent), id);
    button->setAutoDefault(false); // Enter sends from the command box only (keyPressEvent)
    return button;
}

// The wait cursor for the life of a scope.
struct SWaitCursor {
    SWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~SWaitCursor() { QApplication::restoreOverrideCursor(); }
    SWaitCursor(const SWaitCursor&) = delete;
    SWaitCursor& operator=(const SWaitCursor&) = delete;
};

} // namespace

QString CComTestDlg::ControlObjectName(int id)
{
    return ControlName(id);
}

CComTestDlg::CComTestDlg(CInstrumentLink& link, IPortSource& ports, IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent)
    , m_link(link)
    , m_ports(ports)
    , m_prompt(prompt)
    , m_logic(link, prompt)
    , m_pollTimer(new QTimer(this))
    , m_progress(new CMessDlg(this, true))
{
    setWindowTitle(UiText("Communication Settings"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildInterfaceGroup());
    layout->addWidget(BuildSettingsGroup());
    layout->addWidget(BuildTestGroup());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* ok = Button(this, 1, "OK");
    QPushButton* cancel = Button(this, 1040, "Cancel");
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    SetChildFonts(this, UiFont(kControlPoints));

    // Everything below runs on the GUI thread: controls, the poll timer and the search steps.
    const auto direct = Qt::DirectConnection;
    connect(ok, &QPushButton::clicked, this, &CComTestDlg::accept, direct);
    connect(cancel, &QPushButton::clicked, this, &CComTestDlg::reject, direct);
    connect(m_pollTimer, &QTimer::timeout, this, &CComTestDlg::OnPoll, direct);
    connect(
        m_progress, &CMessDlg::StopRequested, this, [this] { m_stopSearch = true; }, direct);
    m_pollTimer->setInterval(kPollMs);

    {
        const SWaitCursor wait;
        CloseIfOpen();
        EnumeratePorts(m_link, m_ports, m_link.ComPort);
        m_link.SearchDone = 0;
        FillPortList();
    }
    (m_link.Interface == InterfaceKind::Lan ? m_lan : m_com)->setChecked(true);
    {
        const QSignalBlocker blockPort(m_tcpPort);
        m_address->SetAddress(m_link.IpAddress);
        m_tcpPort->setText(QString::number(m_link.TcpPort));
    }
    ShowInterfaceControls();
    CloseIfOpen();
}

CComTestDlg::~CComTestDlg()
{
    if (m_search) // ended while searching (the application is closing): the search's cursor goes too
        QApplication::restoreOverrideCursor();
    m_pollTimer->stop();
    m_link.Close();
}

QGroupBox* CComTestDlg::BuildInterfaceGroup()
{
    auto* group = Named(new QGroupBox(UiText("Interface"), this), 1161);
    auto* row = new QHBoxLayout(group);
    m_com = Named(new QRadioButton(UiText("COM"), group), 1162);
    m_lan = Named(new QRadioButton(UiText("LAN"), group), 1163);
    row->addWidget(m_com);
    row->addWidget(m_lan);
    row->addStretch(1);
    for (QRadioButton* radio : { m_com, m_lan })
        connect(radio, &QRadioButton::clicked, this, &CComTestDlg::OnInterfaceClicked, Qt::DirectConnection);
    return group;
}

QGroupBox* CComTestDlg::BuildSettingsGroup()
{
    auto* group = Named(new QGroupBox(UiText("Communication Settings"), this), 1030);
    auto* grid = new QGridLayout(group);
    m_portList = Named(new QComboBox(group), 1041);
    m_baudList = Named(new QComboBox(group), 1006);
    for (const uint32_t baud : kBaudRates)
        m_baudList->addItem(QString::number(baud));
    grid->addWidget(Label(group, 1027, "COM Port:"), 0, 0);
    grid->addWidget(m_portList, 0, 1, 1, 2);
    grid->addWidget(Label(group, 1031, "Baud Rate:"), 1, 0);
    grid->addWidget(m_baudList, 1, 1);
    QPushButton* refresh = Button(group, 7, "Refresh COM port list");
    QPushButton* search = Button(group, 6, "Display information about the ZORVI product");
    grid->addWidget(refresh, 2, 0, 1, 3);
    grid->addWidget(search, 3, 0, 1, 3);
    // The LAN controls take the place of the COM ones: only one set is shown at a time.
    m_address = Named(new CIpAddressEdit(group), 1164);
    m_address->setFixedWidth(170);
    m_tcpPort = Named(new QLineEdit(group), 1165);
    m_tcpPort->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_tcpPort->setMaximumWidth(60);
    grid->addWidget(Label(group, 1029, "IP address:"), 0, 0);
    grid->addWidget(m_address, 0, 1, 1, 2);
    grid->addWidget(Label(group, 1028, "Port No.:"), 1, 0);
    grid->addWidget(m_tcpPort, 1, 1);
    grid->setColumnStretch(2, 1);

    const auto direct = Qt::DirectConnection; // GUI thread
    connect(m_portList, &QComboBox::currentIndexChanged, this, &CComTestDlg::OnPortChanged, direct);
    connect(m_baudList, &QComboBox::currentIndexChanged, this, &CComTestDlg::CloseIfOpen, direct);
    connect(m_tcpPort, &QLineEdit::textChanged, this, &CComTestDlg::CloseIfOpen, direct);
    connect(m_address, &CIpAddressEdit::FieldChanged, this, &CComTestDlg::CloseIfOpen, direct);
    connect(refresh, &QPushButton::clicked, this, &CComTestDlg::OnRefresh, direct);
    connect(search, &QPushButton::clicked, this, &CComTestDlg::OnSearch, direct);
    return group;
}

QGroupBox* CComTestDlg::BuildTestGroup()
{
    auto* group = Named(new QGroupBox(UiText("Communication Test"), this), 1032);
    auto* grid = new QGridLayout(group);
    m_sendText = Named(new QLineEdit(group), 1005);
    m_sendText->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_receiveText = Named(new QLineEdit(group), 1037);
    m_receiveText->setReadOnly(true);
    QPushButton* send = Button(group, 3, "Send");
    grid->addWidget(Label(group, 1038, "Send Data:"), 0, 0);
    grid->addWidget(m_sendText, 0, 1);
    grid->addWidget(send, 0, 2);
    grid->addWidget(Label(group, 1039, "Receive Data:"), 1, 0);
    grid->addWidget(m_receiveText, 1, 1, 1, 2);
    m_sendText->setMinimumWidth(220);
    connect(send, &QPushButton::clicked, this, &CComTestDlg::OnSend, Qt::DirectConnection);
    return group;
}

void CComTestDlg::ShowInterfaceControls()
{
    const bool lan = m_lan->isChecked();
    for (const int id : kComControls)
        Control(id)->setVisible(!lan);
    for (const int id : kLanControls)
        Control(id)->setVisible(lan);
}

void CComTestDlg::FillPortList()
{
    const QSignalBlocker blockPorts(m_portList);
    const QSignalBlocker blockBauds(m_baudList);
    m_portList->clear();
    const std::vector<std::string> rows = PortRowTexts(m_link.PortTable);
    for (size_t i = 0; i < rows.size(); ++i)
        m_portList->addItem(QString::fromStdString(rows[i]), static_cast<int>(i));
    const int row = PortRowOf(m_link.PortTable, m_link.ComPort);
    m_portList->setCurrentIndex(row);
    m_baudList->setCurrentIndex(BaudIndexOf(BaudOfRow(m_link, row)));
}

CommControls CComTestDlg::ReadControls() const
{
    CommControls controls;
    controls.Lan = m_lan->isChecked();
    controls.PortRow = m_portList->currentIndex() < 0 ? -1 : m_portList->currentData().toInt();
    controls.BaudIndex = m_baudList->currentIndex();
    controls.TcpPortText = m_tcpPort->text().toStdString();
    controls.IpAddress = m_address->Address();
    return controls;
}

bool CComTestDlg::Polling() const
{
    return m_pollTimer->isActive();
}

void CComTestDlg::CloseIfOpen()
{
    m_pollTimer->stop();
    (void)m_logic.CloseIfOpen(); // closed or already closed: either way nothing is open now
}

void CComTestDlg::SyncPollTimer()
{
    if (m_link.IsOpen && !m_pollTimer->isActive())
        m_pollTimer->start();
    else if (!m_link.IsOpen)
        m_pollTimer->stop();
}

void CComTestDlg::OnInterfaceClicked()
{
    ShowInterfaceControls();
    CloseIfOpen();
}

void CComTestDlg::OnPortChanged()
{
    if (m_link.SearchDone) {
        const QSignalBlocker blockBauds(m_baudList);
        m_baudList->setCurrentIndex(BaudIndexOf(BaudOfRow(m_link, ReadControls().PortRow)));
    }
    CloseIfOpen();
}

void CComTestDlg::OnRefresh()
{
    const SWaitCursor wait;
    CloseIfOpen();
    EnumeratePorts(m_link, m_ports, m_link.ComPort);
    m_link.SearchDone = 0;
    FillPortList();
}

void CComTestDlg::OnSend()
{
    if (Searching())
        return;
    const SWaitCursor wait;
    // The instrument speaks 8-bit text: what Latin-1 cannot hold goes as "?".
    const std::string text = m_sendText->text().toLatin1().toStdString();
    if (m_logic.Send(ReadControls(), text))
        m_receiveText->clear();
    SyncPollTimer();
}

void CComTestDlg::OnPoll()
{
    std::string line;
    if (m_logic.PollReply(line))
        m_receiveText->setText(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    SyncPollTimer(); // a link that dropped stops the polling
}

void CComTestDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter sends from the command box; elsewhere it neither sends nor closes the dialog.
        if (focusWidget() == m_sendText)
            OnSend();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CComTestDlg::accept()
{
    if (Searching() || !m_logic.ApplyControls(ReadControls()))
        return;
    QDialog::accept();
}

void CComTestDlg::reject()
{
    if (!Searching()) // the search ends first (its Stop button)
        QDialog::reject();
}

void CComTestDlg::done(int result)
{
    m_pollTimer->stop();
    m_link.Close();
    QDialog::done(result);
}
