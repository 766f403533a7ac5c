#include "ui/ui_common.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>

QString UiText(const char* text)
{
    return QCoreApplication::translate(kTranslationContext, text);
}

QString UiText(const std::string& text)
{
    return QCoreApplication::translate(kTranslationContext, text.c_str());
}

QString ControlName(int id)
{
    return QStringLiteral("ctl%1").arg(id);
}

QFont UiFont(double points, bool bold)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void SetChildFonts(QWidget* window, const QFont& font)
{
    for (QWidget* child : window->findChildren<QWidget*>())
        child->setFont(font);
}

bool CQtDialogRunner::ChooseResultFile(QWidget* parent, const QString& start, QString& chosen)
{
    // Results are appended to the file chosen, never overwritten, so choosing an existing file
    // asks nothing.
    QFileDialog dialog(parent, QString(), start, QStringLiteral("text(*.csv *.txt *.dat)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    chosen = dialog.selectedFiles().first();
    return true;
}

bool CQtDialogRunner::ChooseFile(QWidget* parent, bool save, const QString& filter, const QString& suffix,
    const QString& start, QString& chosen)
{
    QFileDialog dialog(parent, QString(), start, filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    chosen = dialog.selectedFiles().first();
    return true;
}

QDialogButtonBox* AddOkCancel(QDialog* dialog, bool withCancel)
{
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(UiText("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(ControlName(1));
    ok->setDefault(true);
    if (withCancel)
        buttons->addButton(UiText("Cancel"), QDialogButtonBox::RejectRole)->setObjectName(ControlName(2));
    // accept() and reject() are virtual: a dialog's own checks run. Both on the GUI thread.
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept, Qt::DirectConnection);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject, Qt::DirectConnection);
    return buttons;
}
