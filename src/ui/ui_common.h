#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QFont>
#include <QString>
#include <string>

// Every text the windows show passes through here, in the one translation context "VX6207App",
// so a translation (a .qm file loaded at start) needs no change of code. The core's messages are
// looked up the same way when a window shows them.
[[nodiscard]] QString UiText(const char* text);
[[nodiscard]] QString UiText(const std::string& text);
inline constexpr const char* kTranslationContext = "VX6207App";

// Every control carries its number as its object name, so tests find it by number.
[[nodiscard]] QString ControlName(int id);

// The platform's UI font at a size in points (the system's dialogs use one face throughout).
[[nodiscard]] QFont UiFont(double points, bool bold = false);
// Sets the font of every child control of a window.
void SetChildFonts(QWidget* window, const QFont& font);

// OK (1) and, when asked, "Cancel" (2) wired to the dialog's accept and reject.
QDialogButtonBox* AddOkCancel(QDialog* dialog, bool withCancel);

// Opens modal things. The application runs them; tests put in a runner that answers at once, so
// no test ever blocks on a modal loop.
class IDialogRunner {
public:
    virtual ~IDialogRunner() = default;
    // Runs the dialog modally; QDialog::Accepted or QDialog::Rejected.
    virtual int Run(QDialog& dialog) = 0;
    // The result-file chooser: true with the chosen full path.
    virtual bool ChooseResultFile(QWidget* parent, const QString& start, QString& chosen) = 0;
    // Any other file: to save (an existing one is confirmed) or to open; `filter` as the file
    // dialog takes it, `suffix` added when none is typed. True with the chosen full path.
    virtual bool ChooseFile(QWidget* /*parent*/, bool /*save*/, const QString& /*filter*/,
        const QString& /*suffix*/, const QString& /*start*/, QString& /*chosen*/)
    {
        return false;
    }
};

class CQtDialogRunner final : public IDialogRunner {
public:
    int Run(QDialog& dialog) override { return dialog.exec(); }
    bool ChooseResultFile(QWidget* parent, const QString& start, QString& chosen) override;
    bool ChooseFile(QWidget* parent, bool save, const QString& filter, const QString& suffix, const QString& start,
        QString& chosen) override;
};
