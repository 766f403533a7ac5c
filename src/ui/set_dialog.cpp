// "Capture Settings".
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/identification.h"
#include "link/instrument_link.h"
#include "link/port_source.h"
#include "settings/user_prompt.h"
#include "ui/small_dialogs.h"
#include "ui/ui_common.h"

namespace {

QGroupBox* Group(QWidget* parent, int id, const char* caption)
{
    auto* group = new QGroupBox(UiText(caption), parent);
    group->setObjectName(ControlName(id));
    return group;
}

} // namespace

QCheckBox* CSetDialog::AddCheck(int id, const char* caption, int32_t value)
{
    auto* box = new QCheckBox(UiText(caption), this);
    box->setObjectName(ControlName(id));
    box->setChecked(value != 0);
    return box;
}

CSetDialog::CSetDialog(const CSettingData& values, CInstrumentLink& link, IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent)
    , m_values(values)
    , m_link(link)
    , m_prompt(prompt)
{
    setWindowTitle(UiText("Capture Settings"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildDetails());
    layout->addWidget(BuildFormat());
    layout->addWidget(BuildFilter());
    BuildHiddenPortLists();
    layout->addWidget(AddOkCancel(this, true));
    SetChildFonts(this, UiFont(8.0));
}

QWidget* CSetDialog::BuildDetails()
{
    QGroupBox* details = Group(this, 1028, "Save Details");
    auto* detailsLayout = new QVBoxLayout(details);
    const CSettingData& v = m_values;
    for (QCheckBox* box : { AddCheck(1001, "Data Number", v.SaveDataIndex), AddCheck(1002, "Date", v.SaveDate),
             AddCheck(1003, "Time", v.SaveTime), AddCheck(1008, "Comp Judgment", v.SaveJudge),
             AddCheck(1009, "MUX Judgment(at MUX-ON)", v.SaveMuxJudge), AddCheck(1010, "Temperature", v.SaveTemp) })
        detailsLayout->addWidget(box);
    return details;
}

QWidget* CSetDialog::BuildFormat()
{
    QGroupBox* format = Group(this, 1034, "Save Format (Text)");
    auto* formatLayout = new QGridLayout(format);
    m_decimal = new QComboBox(format);
    m_decimal->setObjectName(ControlName(1006));
    for (const char* item : kDecimalItems)
        m_decimal->addItem(QString::fromUtf8(item));
    m_decimal->setCurrentIndex(std::clamp(m_values.Decimal, 0, 1));
    m_separator = new QComboBox(format);
    m_separator->setObjectName(ControlName(1007));
    for (const char* item : kSeparatorItems)
        m_separator->addItem(QString::fromUtf8(item));
    m_separator->setCurrentIndex(std::clamp(m_values.Separator, 0, 3));
    auto* decimalLabel = new QLabel(UiText("Decimal Point:"), format);
    decimalLabel->setObjectName(ControlName(1032));
    auto* separatorLabel = new QLabel(UiText("Separator:"), format);
    separatorLabel->setObjectName(ControlName(1033));
    formatLayout->addWidget(decimalLabel, 0, 0);
    formatLayout->addWidget(m_decimal, 0, 1);
    formatLayout->addWidget(separatorLabel, 1, 0);
    formatLayout->addWidget(m_separator, 1, 1);
    return format;
}

QWidget* CSetDialog::BuildFilter()
{
    QGroupBox* filter = Group(this, 1029, "EXT Trigger Filter");
    auto* filterLayout = new QHBoxLayout(filter);
    filterLayout->addWidget(AddCheck(1004, "Enable", m_values.FilterEnable));
    m_filterTime = new QLineEdit(QString::number(m_values.FilterTime), filter);
    m_filterTime->setObjectName(ControlName(1014));
    m_filterTime->setAttribute(Qt::WA_InputMethodEnabled, false);
    filterLayout->addWidget(m_filterTime);
    filterLayout->addWidget(new QLabel(UiText("ms (0-1000)"), filter));
    return filter;
}

void CSetDialog::BuildHiddenPortLists()
{
    // The port and baud-rate lists and their "Update" button exist but are not shown.
    m_ports = new QComboBox(this);
    m_ports->setObjectName(ControlName(1000));
    m_ports->hide();
    m_bauds = new QComboBox(this);
    m_bauds->setObjectName(ControlName(1005));
    m_bauds->hide();
    auto* update = new QPushButton(UiText("Update"), this);
    update->setObjectName(ControlName(3));
    update->hide();
    connect(
        update, &QPushButton::clicked, this,
        [this] {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            auto source = MakeSystemPortSource();
            EnumeratePorts(m_link, *source, m_link.ComPort);
            FillPortLists();
            QApplication::restoreOverrideCursor();
        },
        Qt::DirectConnection);
    FillPortLists();
}

void CSetDialog::FillPortLists()
{
    m_ports->clear();
    for (const std::string& name : m_link.PortTable.FriendlyNames)
        m_ports->addItem(QString::fromStdString(name));
    const int port = PortIndexOf(m_link.PortTable.PortNames, m_values.ComNo);
    if (port >= 0)
        m_ports->setCurrentIndex(port);
    m_bauds->clear();
    for (const uint32_t baud : kBaudRates)
        m_bauds->addItem(QString::number(baud));
    m_bauds->setCurrentIndex(BaudIndexOf(static_cast<uint32_t>(m_values.BaudRate)));
}

void CSetDialog::accept()
{
    // The filter time is checked before anything changes: a refused OK leaves the link alone.
    int32_t filterTime = 0;
    std::string message;
    if (!CheckFilterTime(m_filterTime->text().toStdString(), filterTime, message)) {
        m_prompt.ShowMessage(message);
        m_filterTime->setFocus();
        return;
    }
    const int port = m_ports->currentIndex();
    if (m_ports->count() > 0 && port >= 0 && static_cast<size_t>(port) < m_link.PortTable.PortNames.size()) {
        m_values.ComNo = m_link.PortTable.PortNames[static_cast<size_t>(port)];
        m_link.ComPort = m_values.ComNo;
    }
    m_values.BaudRate = static_cast<int32_t>(kBaudRates[static_cast<size_t>(std::max(m_bauds->currentIndex(), 0))]);
    m_link.BaudRate = static_cast<uint32_t>(m_values.BaudRate);
    const auto checked = [this](int id) { return findChild<QCheckBox*>(ControlName(id))->isChecked() ? 1 : 0; };
    m_values.SaveDataIndex = checked(1001);
    m_values.SaveDate = checked(1002);
    m_values.SaveTime = checked(1003);
    m_values.FilterEnable = checked(1004);
    m_values.SaveJudge = checked(1008);
    m_values.SaveMuxJudge = checked(1009);
    m_values.SaveTemp = checked(1010);
    m_values.FilterTime = filterTime;
    m_values.Decimal = m_decimal->currentIndex();
    m_values.Separator = m_separator->currentIndex();
    QDialog::accept();
}
