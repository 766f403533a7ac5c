#include "ui/ip_address_edit.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

constexpr int kFieldCount = 4;

} // namespace

CIpAddressEdit::CIpAddressEdit(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (int part = 0; part < kFieldCount; ++part) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("part%1").arg(part));
        field->setValidator(new QIntValidator(0, 255, field));
        field->setMaxLength(3);
        field->setAlignment(Qt::AlignCenter);
        field->setAttribute(Qt::WA_InputMethodEnabled, false);
        field->installEventFilter(this);
        m_fields[static_cast<size_t>(part)] = field;
        if (part > 0)
            layout->addWidget(new QLabel(QStringLiteral("."), this));
        layout->addWidget(field, 1);
        // textEdited: the operator's typing only, never SetAddress.
        connect(field, &QLineEdit::textEdited, this, &CIpAddressEdit::FieldChanged, Qt::DirectConnection);
        connect(
            field, &QLineEdit::textEdited, this,
            [this, part](const QString& text) {
                // A full field moves on to the next one, as the address control does.
                if (text.size() == 3 && part + 1 < kFieldCount)
                    m_fields[static_cast<size_t>(part + 1)]->setFocus();
            },
            Qt::DirectConnection);
    }
}

uint32_t CIpAddressEdit::Address() const
{
    uint32_t address = 0;
    for (QLineEdit* field : m_fields)
        address = (address << 8) | (static_cast<uint32_t>(field->text().toUInt()) & 0xFF);
    return address;
}

void CIpAddressEdit::SetAddress(uint32_t address)
{
    for (int part = 0; part < kFieldCount; ++part) {
        QLineEdit* field = m_fields[static_cast<size_t>(part)];
        const QSignalBlocker blocker(field);
        field->setText(QString::number((address >> (24 - 8 * part)) & 0xFF));
    }
}

bool CIpAddressEdit::eventFilter(QObject* watched, QEvent* event)
{
    // A dot moves to the next field.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->text() == QStringLiteral(".")) {
        for (int part = 0; part + 1 < kFieldCount; ++part) {
            if (watched == m_fields[static_cast<size_t>(part)]) {
                m_fields[static_cast<size_t>(part + 1)]->setFocus();
                m_fields[static_cast<size_t>(part + 1)]->selectAll();
                return true;
            }
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
