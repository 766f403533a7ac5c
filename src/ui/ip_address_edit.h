#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class QLineEdit;

// An IPv4 address as four fields of 0 to 255 with dots between them; the value is a 32-bit number
// with the first field most significant. An empty field counts as 0.
class CIpAddressEdit final : public QWidget {
    Q_OBJECT

public:
    explicit CIpAddressEdit(QWidget* parent = nullptr);
    [[nodiscard]] uint32_t Address() const;
    // Fills the fields without reporting a change.
    void SetAddress(uint32_t address);
    // The field of a part (0 to 3), for tests and focus.
    QLineEdit* Field(int part) const { return m_fields[static_cast<size_t>(part)]; }

signals:
    // The operator changed a field.
    void FieldChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLineEdit*, 4> m_fields {};
};
