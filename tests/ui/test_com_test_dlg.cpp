// "Communication Settings" against the simulator on a pseudo-terminal and on loopback TCP, and
// "Panel Name Set" against the simulator, with pictures of both.
#include <QTimer>

#include "ui/com_test_dlg.h"
#include "ui/ip_address_edit.h"
#include "ui/panel_name_set_dlg.h"
#include "ui/small_dialogs.h"
#include "window_rig.h"

namespace {

constexpr int kSearchWaitMs = 30000;

// A link to a simulator on loopback TCP.
struct SLanSim {
    explicit SLanSim(const std::string& model)
        : Sim([&] {
            SimOptions options;
            options.Model = model;
            options.Serial = "LAN1";
            return options;
        }())
    {
        Started = Sim.StartTcp(0);
        Link.Interface = InterfaceKind::Lan;
        Link.IpAddress = 0x7F000001;
        Link.TcpPort = Sim.TcpPort();
    }
    CSimulator Sim;
    bool Started = false;
    CInstrumentLink Link;
    CTestPrompt Prompt;
};

template <typename T = QWidget> T* ControlOf(QDialog& dialog, int id)
{
    return dialog.findChild<T*>(ControlName(id));
}

void PressEnterIn(QWidget* widget)
{
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Return);
}

} // namespace

class TestComTestDlg : public QObject {
    Q_OBJECT

private slots:
    void aSearchFindsThePtyInstrumentAtItsRate();
    void lanModeRefusesBadTcpPortsAndTalks();
    void panelDialogPerModel();
    void savingAPanelNamesIt();
};

void TestComTestDlg::aSearchFindsThePtyInstrumentAtItsRate()
{
    SimOptions options;
    options.Model = "VX6207-02";
    options.Serial = "PTY7";
    options.BaudRate = 38400; // the instrument answers at this rate only
    CSimulator sim(options);
    QVERIFY(sim.StartPty());
    CFixedPortSource ports({ { "Simulated", sim.PtyPath(), "" } });
    CInstrumentLink link;
    CTestPrompt prompt;
    CComTestDlg dialog(link, ports, prompt);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QString("Communication Settings"));
    QVERIFY(ControlOf<QRadioButton>(dialog, 1162)->isChecked());
    QVERIFY(ControlOf(dialog, 1041)->isVisible());
    QVERIFY(!ControlOf(dialog, 1164)->isVisible());
    QCOMPARE(ControlOf<QComboBox>(dialog, 1041)->currentText(), QString("Simulated"));
    QCOMPARE(ControlOf<QComboBox>(dialog, 1006)->currentText(), QString("9600"));

    QTest::mouseClick(ControlOf(dialog, 6), Qt::LeftButton);
    QCOMPARE(prompt.Texts, std::vector<std::string> { "Send [*idn?] to all ports?" });
    QVERIFY(dialog.Searching());
    auto* progress = dialog.findChild<CMessDlg*>();
    QVERIFY(progress != nullptr && progress->isVisible());
    QCOMPARE(progress->findChild<QLabel*>(ControlName(1136))->text(), QString("Searching Simulated at 9600 baud..."));
    // The window stays responsive: its events are served between the probes.
    bool served = false;
    QTimer::singleShot(0, &dialog, [&] { served = dialog.Searching(); });
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Searching(), kSearchWaitMs);
    QVERIFY(served);
    QVERIFY(!progress->isVisible());
    QCOMPARE(ControlOf<QComboBox>(dialog, 1041)->currentText(), QString("Simulated-ZORVI-VX6207-02-PTY7"));
    QCOMPARE(ControlOf<QComboBox>(dialog, 1006)->currentText(), QString("38400"));
    CWindowRig::Shoot(dialog, "com_test_after_search.png");

    // Enter sends from the command box only; the 50 ms poll shows the reply.
    ControlOf<QLineEdit>(dialog, 1005)->setText("*idn?");
    PressEnterIn(ControlOf(dialog, 1041));
    QVERIFY(dialog.isVisible());
    QVERIFY(!link.IsOpen);
    PressEnterIn(ControlOf(dialog, 1005));
    QVERIFY(link.IsOpen && dialog.Polling());
    QCOMPARE(link.BaudRate, 38400U);
    QTRY_VERIFY(ControlOf<QLineEdit>(dialog, 1037)->text().startsWith("ZORVI,VX6207-02,PTY7,"));
    QVERIFY(dialog.isVisible());

    // Another rate closes the test connection; choosing the row again brings back the found rate.
    ControlOf<QComboBox>(dialog, 1006)->setCurrentIndex(0);
    QVERIFY(!link.IsOpen && !dialog.Polling());
    ControlOf<QComboBox>(dialog, 1041)->setCurrentIndex(-1);
    ControlOf<QComboBox>(dialog, 1041)->setCurrentIndex(0);
    QCOMPARE(ControlOf<QComboBox>(dialog, 1006)->currentText(), QString("38400"));
    PressEnterIn(ControlOf(dialog, 1005));
    QVERIFY(link.IsOpen);

    // Cancel keeps what the send applied and leaves the link closed.
    QTest::mouseClick(ControlOf(dialog, 1040), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!link.IsOpen);
    QCOMPARE(link.ComPort, sim.PtyPath());
    QCOMPARE(link.BaudRate, 38400U);
    QCOMPARE(prompt.Texts.size(), size_t { 1 });
}

void TestComTestDlg::lanModeRefusesBadTcpPortsAndTalks()
{
    SLanSim lan("VX6208");
    QVERIFY(lan.Started);
    CFixedPortSource none({});
    CComTestDlg dialog(lan.Link, none, lan.Prompt);
    dialog.show();
    QVERIFY(ControlOf<QRadioButton>(dialog, 1163)->isChecked());
    for (const int id : { 1029, 1164, 1028, 1165 })
        QVERIFY(ControlOf(dialog, id)->isVisible());
    for (const int id : { 1027, 1031, 1041, 1006, 7, 6 })
        QVERIFY(!ControlOf(dialog, id)->isVisible());
    QCOMPARE(ControlOf<QLineEdit>(dialog, 1165)->text(), QString::number(lan.Sim.TcpPort()));
    QCOMPARE(static_cast<CIpAddressEdit*>(ControlOf(dialog, 1164))->Address(), 0x7F000001U);
    CWindowRig::Shoot(dialog, "com_test_lan.png");

    auto* port = ControlOf<QLineEdit>(dialog, 1165);
    for (const char* bad : { "70000", "8a", "", "0" }) {
        port->setText(bad);
        QTest::mouseClick(ControlOf(dialog, 1), Qt::LeftButton);
        QVERIFY2(dialog.isVisible(), bad);
        QCOMPARE(lan.Prompt.Texts.back(), std::string("Failed to Port no."));
    }
    QCOMPARE(lan.Prompt.Texts.size(), size_t { 4 });
    QCOMPARE(lan.Link.TcpPort, int32_t { lan.Sim.TcpPort() }); // never saved as 0

    port->setText(QString::number(lan.Sim.TcpPort()));
    ControlOf<QLineEdit>(dialog, 1005)->setText(QString::fromUtf8("*idn?"));
    QTest::mouseClick(ControlOf(dialog, 3), Qt::LeftButton);
    QTRY_VERIFY(ControlOf<QLineEdit>(dialog, 1037)->text().startsWith("ZORVI,VX6208,LAN1,"));
    // Editing the address closes the test connection.
    auto* address = static_cast<CIpAddressEdit*>(ControlOf(dialog, 1164));
    QTest::keyClick(address->Field(3), Qt::Key_Backspace);
    QVERIFY(!lan.Link.IsOpen && !dialog.Polling());

    // COM without ports: Send does nothing and says nothing.
    QTest::mouseClick(ControlOf(dialog, 1162), Qt::LeftButton, {}, QPoint(8, ControlOf(dialog, 1162)->height() / 2));
    QTest::mouseClick(ControlOf(dialog, 3), Qt::LeftButton);
    QCOMPARE(lan.Prompt.Texts.size(), size_t { 4 });
    QVERIFY(!lan.Link.IsOpen);
    QCOMPARE(lan.Link.Interface, InterfaceKind::Com);
}

void TestComTestDlg::panelDialogPerModel()
{
    const struct {
        const char* Sim;
        int32_t Model;
        bool Mux;
        const char* Message; // empty: the names are read
        int Count;
        const char* First;
    } cases[] = {
        { "VX6207-02", 10, true, "", 8, "31" },
        { "VX6207-02", 10, false, "", 30, "1" },
        { "VX6207", 8, true, "MUX is unsupported.", 0, "" },
        { "VX6207", 10, false, "The model setting and the model of the connection destination are different.", 0, "" },
    };
    for (const auto& c : cases) {
        SLanSim lan(c.Sim);
        QVERIFY(lan.Started);
        CPanelNameSetDlg dialog(c.Model, c.Mux, lan.Link, lan.Prompt);
        QCOMPARE(dialog.ReadNames(), c.Message[0] == '\0');
        QVERIFY(!lan.Link.IsOpen);
        if (c.Message[0] != '\0') {
            QCOMPARE(lan.Prompt.Texts, std::vector<std::string> { c.Message });
            continue;
        }
        auto* numbers = ControlOf<QComboBox>(dialog, 1000);
        QCOMPARE(numbers->count(), c.Count);
        QCOMPARE(numbers->itemText(0), QString(c.First));
        QCOMPARE(ControlOf<QLineEdit>(dialog, 1006)->text(), QString("-"));
    }
}

void TestComTestDlg::savingAPanelNamesIt()
{
    SLanSim lan("VX6207-02");
    QVERIFY(lan.Started);
    CRecordingPrompt quiet;
    QVERIFY(SavePanel(lan.Link, 31, "Oven_1", quiet));
    CScriptedRunner runner;
    std::vector<std::string> refusals;
    runner.Answer = [&](QDialog& dialog) {
        // It opens on the first unused panel; the used one shows its name and "Saved".
        auto* numbers = ControlOf<QComboBox>(dialog, 1000);
        auto* name = ControlOf<QLineEdit>(dialog, 1005);
        if (numbers->currentText() != "32")
            return int(QDialog::Rejected);
        numbers->setCurrentIndex(0);
        if (name->text() != "Oven_1" || ControlOf<QLineEdit>(dialog, 1006)->text() != "Saved")
            return int(QDialog::Rejected);
        numbers->setCurrentIndex(1);
        dialog.show();
        CWindowRig::Shoot(dialog, "panel_name_set.png");
        for (const char* bad : { "bad-name", "" }) {
            name->setText(bad);
            QTest::mouseClick(ControlOf(dialog, 1), Qt::LeftButton);
            if (!dialog.isVisible())
                return int(QDialog::Accepted);
        }
        name->setText("Line_3");
        QTest::mouseClick(ControlOf(dialog, 1), Qt::LeftButton);
        return dialog.result();
    };
    QVERIFY(SaveToPanel(nullptr, runner, lan.Link, lan.Prompt, 10, true));
    QCOMPARE(lan.Prompt.Texts, (std::vector<std::string> { "Please use 0-9 or A-z.", "Panel name not entered." }));
    // The simulator reads the last line on its own thread, after the link has closed: wait for it.
    const auto received = [&lan](const char* line) {
        const std::vector<std::string> lines = lan.Sim.ReceivedLines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), std::string(line)));
    };
    QTRY_COMPARE(received(":SYSTem:PANel:NAME 32,\"Line_3\""), 1);
    QCOMPARE(received(":SYSTem:PANel:SAVE 32"), 1);
    QVERIFY(!lan.Link.IsOpen);
    // Model 8 refuses MUX panels before anything is shown.
    runner.Runs = 0;
    QVERIFY(!SaveToPanel(nullptr, runner, lan.Link, lan.Prompt, 8, true));
    QCOMPARE(runner.Runs, 0);
}

QTEST_MAIN(TestComTestDlg)
#include "test_com_test_dlg.moc"
