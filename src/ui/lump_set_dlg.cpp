#include "ui/lump_set_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/ui_common.h"

namespace {

constexpr int kItemControls[kPasteItems] = { 1012, 1013, 1001, 1002, 1007, 1003, 1004, 1005, 1008, 1040, 1041, 1009,
    1010, 1014, 1032, 1033, 1186, 1034, 1011 };
constexpr int kAllOn = 1139;
constexpr int kAllOff = 1144;

} // namespace

CLumpSetDlg::CLumpSetDlg(int32_t model, QWidget* parent)
    : QDialog(parent)
    , m_logic(model)
{
    setWindowTitle(UiText("Selecting copy item"));
    auto* grid = new QGridLayout(this);
    auto* prompt = new QLabel(UiText("Please select item(s) to copy."), this);
    prompt->setObjectName(ControlName(1148));
    grid->addWidget(prompt, 0, 0, 1, 3);
    constexpr int kPerColumn = 7;
    for (int item = 0; item < kPasteItems; ++item) {
        auto* check = new QCheckBox(UiText(PasteItemCaption(item, model)), this);
        check->setObjectName(ControlName(kItemControls[item]));
        check->setEnabled(m_logic.ItemEnabled(item));
        grid->addWidget(check, 1 + item % kPerColumn, item / kPerColumn);
        m_checks[static_cast<size_t>(item)] = check;
    }
    // Part of the template, never shown and no items.
    const std::pair<int, const char*> hidden[] = { { 1006, "Meas. Digit : " }, { 1037, "100M\u03A9 Precision" },
        { 1038, "Low Power" }, { 1039, "Auto Hold" } };
    for (const auto& [id, caption] : hidden) {
        auto* check = new QCheckBox(UiText(caption), this);
        check->setObjectName(ControlName(id));
        check->hide();
    }
    auto* on = new QPushButton(UiText("All ON"), this);
    on->setObjectName(ControlName(kAllOn));
    auto* off = new QPushButton(UiText("All OFF"), this);
    off->setObjectName(ControlName(kAllOff));
    connect(on, &QPushButton::clicked, this, [this] {
        m_logic.AllOn();
        Show();
    });
    connect(off, &QPushButton::clicked, this, [this] {
        m_logic.AllOff();
        Show();
    });
    grid->addWidget(on, 1 + kPerColumn, 0);
    grid->addWidget(off, 1 + kPerColumn, 1);
    grid->addWidget(AddOkCancel(this, true), 2 + kPerColumn, 0, 1, 3);
    SetChildFonts(this, UiFont(8));
}

void CLumpSetDlg::Show()
{
    for (int item = 0; item < kPasteItems; ++item)
        m_checks[static_cast<size_t>(item)]->setChecked(m_logic.Items[static_cast<size_t>(item)]);
}

void CLumpSetDlg::accept()
{
    for (int item = 0; item < kPasteItems; ++item)
        m_logic.Items[static_cast<size_t>(item)] = m_checks[static_cast<size_t>(item)]->isChecked();
    QDialog::accept();
}
