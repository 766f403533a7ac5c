// The message window, the version window and the model choice.
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "settings/model_info.h"
#include "ui/small_dialogs.h"
#include "ui/ui_common.h"

namespace {

constexpr double kControlPoints = 8.0;
constexpr double kMessagePoints = 12.5;
constexpr double kProductPoints = 11.0;

} // namespace

CMessDlg::CMessDlg(QWidget* parent, bool showStop)
    : QDialog(parent)
    , m_text(new QLabel(this))
    , m_stop(new QPushButton(UiText("Stop"), this))
{
    setWindowTitle(UiText("VX6207App message"));
    setModal(false);
    m_text->setObjectName(ControlName(1136));
    m_text->setFont(UiFont(kMessagePoints));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setMinimumWidth(320);
    m_stop->setObjectName(ControlName(1157));
    m_stop->setVisible(showStop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_stop, 0, Qt::AlignCenter);
    connect(m_stop, &QPushButton::clicked, this, &CMessDlg::StopRequested, Qt::DirectConnection);
}

void CMessDlg::SetText(const QString& text)
{
    m_text->setText(text);
}

void CMessDlg::ShowProgress(const std::string& text)
{
    SetText(UiText(text));
    adjustSize();
    // Centred on the parent window, or on the screen without one.
    const QRect area = parentWidget() != nullptr      ? parentWidget()->geometry()
        : QGuiApplication::primaryScreen() != nullptr ? QGuiApplication::primaryScreen()->availableGeometry()
                                                      : QRect();
    if (area.isValid())
        move(area.center() - rect().center());
    show();
    QCoreApplication::processEvents(); // paint it before the transfer holds the GUI thread
}

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(UiText("Version Information"));
    auto* product = new QLabel(UiText("VX6207 Sample Software"), this);
    product->setObjectName(ControlName(1172));
    auto* version = new QLabel(UiText("Version %1").arg(kVersionString), this);
    version->setObjectName(ControlName(1036));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(product);
    layout->addWidget(version);
    layout->addWidget(AddOkCancel(this, false));
    SetChildFonts(this, UiFont(kControlPoints));
    product->setFont(UiFont(kProductPoints));
}

CModelSetDlg::CModelSetDlg(int32_t modelCode, QWidget* parent)
    : QDialog(parent)
    , m_logic(modelCode)
    , m_list(new QComboBox(this))
{
    setWindowTitle(UiText("Model Setting"));
    m_list->setObjectName(ControlName(1168));
    for (const int32_t code : kModelChoices)
        m_list->addItem(QString::fromStdString(ModelNameOfCode(code)), code);
    m_list->setCurrentIndex(m_logic.SelectedIndex());
    // Connected after filling: only the operator's choice counts as a choice.
    connect(
        m_list, &QComboBox::activated, this, [this](int index) { m_logic.Select(index); }, Qt::DirectConnection);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(AddOkCancel(this, true));
    SetChildFonts(this, UiFont(kControlPoints));
}
