// The small dialogs: their captions, checks and results, and pictures of their look.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "link/instrument_link.h"
#include "ui/small_dialogs.h"
#include "ui/ui_common.h"

namespace {

void Shoot(QWidget& widget, const QString& name)
{
    widget.show();
    widget.grab().save(QDir::currentPath() + QLatin1Char('/') + name);
}

template <typename T> T* Child(QWidget& dialog, int id)
{
    return dialog.findChild<T*>(ControlName(id));
}

void FillPorts(CInstrumentLink& link, std::vector<std::string> names)
{
    link.PortTable.Clear();
    for (const std::string& name : names) {
        link.PortTable.FriendlyNames.push_back("Serial (" + name + ")");
        link.PortTable.PortNames.push_back(name);
        link.PortTable.SerialNumbers.emplace_back();
        link.PortTable.Labels.emplace_back();
        link.PortTable.BaudRates.push_back(9600);
    }
}

} // namespace

class TestSmallDialogs : public QObject {
    Q_OBJECT

private slots:
    void modelSettingReturnsTheChoiceOrTheModelItWasOpenedWith();
    void captureSettingsCheckTheFilterTimeBeforeChangingThePort();
    void messageWindowSendsStopOnlyWithItsButton();
    void versionInformation();
};

void TestSmallDialogs::modelSettingReturnsTheChoiceOrTheModelItWasOpenedWith()
{
    const struct {
        int32_t OpenedWith;
        QString Shown;
        int Choice;
        int32_t Returned;
    } cases[]
        = { { 12, "Unset", -1, 12 }, { 10, "VX6207-02", -1, 10 }, { 12, "Unset", 6, 2048 }, { 8, "VX6207", 0, 0 } };
    for (const auto& c : cases) {
        CModelSetDlg dialog(c.OpenedWith);
        QCOMPARE(dialog.windowTitle(), QString("Model Setting"));
        auto* list = Child<QComboBox>(dialog, 1168);
        QCOMPARE(list->count(), 7);
        QCOMPARE(list->currentText(), c.Shown);
        QCOMPARE(Child<QPushButton>(dialog, 2)->text(), QString("Cancel"));
        if (c.Choice >= 0) {
            list->setCurrentIndex(c.Choice);
            emit list->activated(c.Choice);
        }
        QTest::mouseClick(Child<QPushButton>(dialog, 1), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ModelCode(), c.Returned);
        if (c.OpenedWith == 10)
            Shoot(dialog, "dialog_model_setting.png");
    }
}

void TestSmallDialogs::captureSettingsCheckTheFilterTimeBeforeChangingThePort()
{
    CInstrumentLink link;
    FillPorts(link, { "/dev/ttyS0", "/dev/ttyUSB0" });
    link.ComPort = "/dev/ttyS0";
    CSettingData values("/nonexistent");
    values.ComNo = "/dev/ttyS0";
    values.BaudRate = 4800;
    values.Separator = 2;
    CRecordingPrompt prompt;
    CSetDialog dialog(values, link, prompt);
    QCOMPARE(dialog.windowTitle(), QString("Capture Settings"));
    QVERIFY(!Child<QComboBox>(dialog, 1000)->isVisibleTo(&dialog));
    QCOMPARE(Child<QComboBox>(dialog, 1007)->currentText(), QString("Tab"));
    QCOMPARE(Child<QCheckBox>(dialog, 1009)->text(), QString("MUX Judgment(at MUX-ON)"));
    Shoot(dialog, "dialog_capture_settings.png");
    Child<QComboBox>(dialog, 1000)->setCurrentIndex(1);
    Child<QCheckBox>(dialog, 1002)->setChecked(false);
    const struct {
        const char* Filter;
        bool Accepted;
    } cases[] = { { "1001", false }, { "-1", false }, { "1000", true } };
    for (const auto& c : cases) {
        prompt.Texts.clear();
        Child<QLineEdit>(dialog, 1014)->setText(c.Filter);
        QTest::mouseClick(Child<QPushButton>(dialog, 1), Qt::LeftButton);
        QCOMPARE(dialog.result(), c.Accepted ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QCOMPARE(prompt.Texts.size(), c.Accepted ? size_t(0) : size_t(1));
        // Nothing changes on a refused OK, not even the link's port.
        QCOMPARE(link.ComPort, std::string(c.Accepted ? "/dev/ttyUSB0" : "/dev/ttyS0"));
    }
    QCOMPARE(prompt.Texts.size(), size_t(0));
    QCOMPARE(dialog.Values().FilterTime, 1000);
    QCOMPARE(dialog.Values().ComNo, std::string("/dev/ttyUSB0"));
    QCOMPARE(dialog.Values().BaudRate, 9600); // 4800 is not offered
    QCOMPARE(dialog.Values().SaveDate, 0);
    QCOMPARE(dialog.Values().Separator, 2);

    // Without ports the port name stays as it was.
    CInstrumentLink bare;
    bare.ComPort = "COM7";
    values.ComNo = "COM7";
    CSetDialog portless(values, bare, prompt);
    QTest::mouseClick(Child<QPushButton>(portless, 1), Qt::LeftButton);
    QCOMPARE(portless.Values().ComNo, std::string("COM7"));
    QCOMPARE(bare.ComPort, std::string("COM7"));
}

void TestSmallDialogs::messageWindowSendsStopOnlyWithItsButton()
{
    for (const bool withStop : { false, true }) {
        CMessDlg dialog(nullptr, withStop);
        QSignalSpy stops(&dialog, &CMessDlg::StopRequested);
        dialog.ShowProgress("Transferring settings to VX6207....");
        QCOMPARE(dialog.windowTitle(), QString("VX6207App message"));
        QCOMPARE(Child<QLabel>(dialog, 1136)->text(), QString("Transferring settings to VX6207...."));
        auto* stop = Child<QPushButton>(dialog, 1157);
        QCOMPARE(stop->isVisible(), withStop);
        if (withStop) {
            Shoot(dialog, "dialog_message_with_stop.png");
            QTest::mouseClick(stop, Qt::LeftButton);
        }
        QCOMPARE(stops.count(), withStop ? 1 : 0);
        QVERIFY(dialog.isVisible()); // its owner closes it
        dialog.CloseProgress();
        QVERIFY(!dialog.isVisible());
    }
}

void TestSmallDialogs::versionInformation()
{
    CAboutDlg dialog;
    QCOMPARE(dialog.windowTitle(), QString("Version Information"));
    QCOMPARE(Child<QLabel>(dialog, 1172)->text(), QString("VX6207 Sample Software"));
    QCOMPARE(Child<QLabel>(dialog, 1036)->text(), QString("Version 1.0.0.6"));
    Shoot(dialog, "dialog_version_information.png");
}

QTEST_MAIN(TestSmallDialogs)
#include "test_small_dialogs.moc"
