// Every text a window shows passes through the translation context, so a translation file loaded
// at start reaches every caption, heading, menu item and message without a change of code.
#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenuBar>
#include <QTranslator>

#include "ui/small_dialogs.h"
#include "ui/ui_common.h"
#include "window_rig.h"

namespace {

// Marks every text it is asked for, so an unmarked text on screen is one that bypassed it.
class CMarkingTranslator final : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (QByteArray(context) != kTranslationContext || source == nullptr || *source == '\0')
            return {};
        return QStringLiteral("<%1>").arg(QString::fromUtf8(source));
    }
    bool isEmpty() const override { return false; }
};

bool Marked(const QString& text)
{
    return text.startsWith(QLatin1Char('<')) && text.endsWith(QLatin1Char('>'));
}

// Data shown in captions' places (a value, a judgement, a placeholder of dashes or digits) is not
// a text to translate.
bool IsData(const QString& text)
{
    static const QRegularExpression data(QStringLiteral("^[-0-9.,:E+ ]*$|^(IN|HI|LO|PASS|FAIL|CH\\d+)$"));
    return data.match(text).hasMatch();
}

QStringList UnmarkedTexts(QWidget& window)
{
    QStringList unmarked;
    const auto check = [&unmarked](const QString& where, const QString& text) {
        if (!text.isEmpty() && !IsData(text) && !Marked(text) && !text.contains(QStringLiteral("<")))
            unmarked << where + QStringLiteral(": ") + text;
    };
    check(QStringLiteral("title"), window.windowTitle() == QStringLiteral("VX6207App") ? QString() : window.windowTitle());
    for (QLabel* label : window.findChildren<QLabel*>())
        check(label->objectName(), label->text());
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
        check(button->objectName(), button->text());
    for (QGroupBox* group : window.findChildren<QGroupBox*>())
        check(group->objectName(), group->title());
    for (QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        for (QAction* action : bar->actions())
            check(action->objectName(), action->text());
    }
    for (QHeaderView* header : window.findChildren<QHeaderView*>()) {
        for (int i = 0; i < header->count(); ++i)
            check(QStringLiteral("heading"), header->model()->headerData(i, header->orientation()).toString());
    }
    return unmarked;
}

} // namespace

class TestTranslation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCoreApplication::installTranslator(&m_translator); }
    void everyWindowTextPassesThroughTheTranslation();

private:
    CMarkingTranslator m_translator;
};

void TestTranslation::everyWindowTextPassesThroughTheTranslation()
{
    RigOptions options;
    options.Sim.Model = "VX6207-02";
    options.MuxOnAtStart = true;
    CWindowRig rig(options);
    QVERIFY(rig.Started);
    QCOMPARE(UnmarkedTexts(*rig.Window), QStringList());

    CAboutDlg about;
    QCOMPARE(UnmarkedTexts(about), QStringList());
    CModelSetDlg model(10);
    QCOMPARE(UnmarkedTexts(model), QStringList());
    CSetDialog capture(CSettingData(rig.Folder().toStdString()), rig.Link, rig.Prompt);
    QCOMPARE(UnmarkedTexts(capture), QStringList());
    CMessDlg message(nullptr, true);
    message.ShowProgress("Transferring...");
    QCOMPARE(UnmarkedTexts(message), QStringList());
}

QTEST_MAIN(TestTranslation)
#include "test_translation.moc"
