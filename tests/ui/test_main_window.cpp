// The main window end to end against the in-process simulator: captures, keys, closing, the
// enable rules, a recording failure during a message box, and pictures of its look.
#include <QAction>
#include <QThread>
#include <filesystem>

#include "window_rig.h"

namespace {

constexpr const char* kNoValue = "-----------";

RigOptions FrontOptions(int32_t method)
{
    RigOptions options;
    options.Sim.Model = "VX6207-02";
    options.Method = method;
    return options;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void idleWindowShowsTheModelAndTheChannelList();
    void anIntervalRunOfThreeEndsByItself();
    void enterRecordsOneRowPerPressAndTabStays();
    void escapeNeverClosesAndClosingWhileMeasuringIsRefused();
    void aWriteFailureIsToldOnceDuringTheMessageBox();
    void badFieldsAreRefusedWithTheirMessages();
    void aMuxScanShowsAFailingChannelInRed();
    void browseAndNoModelState();
    void aCommandLineSettingsFileIsCheckedAndSent();
    void closingKeepsTheWindowKeysAndTheConditions();
    void startFailuresAreToldAndLeaveTheWindowIdle();
    void anIntervalRunIntoAWorkbook();
    void captureSettingsAndHelpFromTheMenu();
};

void TestMainWindow::idleWindowShowsTheModelAndTheChannelList()
{
    RigOptions options = FrontOptions(2);
    options.MuxOnAtStart = true;
    CWindowRig rig(options);
    QVERIFY(rig.Started && rig.Saved);
    CVxSampleDlg& window = *rig.Window;
    QCOMPARE(window.windowTitle(), QString("VX6207App"));
    QCOMPARE(rig.Text(1169), QString("Model:VX6207-02"));
    QCOMPARE(rig.Text(1022), QString(kNoValue));
    QCOMPARE(window.StepList().rowCount(), 42);
    QCOMPARE(window.StepList().columnCount(), 5);
    QVERIFY(window.StepList().isEnabled());
    QCOMPARE(window.StepList().CellText(41, 0), QString("42"));
    QCOMPARE(window.StepList().CellText(0, 2), QString("--------"));
    QCOMPARE(window.StepList().CellText(0, 4), QString("----"));
    QCOMPARE(window.State(), MainWindowState::Idle);
    QVERIFY(rig.Control(1006)->isEnabled());
    QVERIFY(!rig.Control(1009)->isEnabled());
    QVERIFY(rig.Control(1007)->isEnabled());
    // The manual channel serves the MUX without a scan only.
    QCOMPARE(rig.Control(1020)->isEnabled(), rig.Data.MuxOn != 0 && rig.Data.MuxScan == 0);
    QCOMPARE(rig.Data.MuxOn, 1);
    QVERIFY(rig.Control<QRadioButton>(1016)->isChecked());
    const char* captions[]
        = { "Model Set.", "Capture Set.", "Communication Set.", "Measurement Set.", "Self-check", "Help" };
    for (int i = 0; i < kMenuCommandCount; ++i)
        QCOMPARE(window.MenuAction(i)->text(), QString(captions[i]));
    QVERIFY(rig.Text(1169).size() > 0);
    QVERIFY(rig.Prompt.Texts.empty());
    CWindowRig::Shoot(window, "main_window_idle_vx6207_02.png");
}

void TestMainWindow::anIntervalRunOfThreeEndsByItself()
{
    CWindowRig rig(FrontOptions(0));
    rig.Click(1016);
    QVERIFY(rig.Control<QRadioButton>(1016)->isChecked());
    rig.SetEdit(1018, "0.0");
    rig.SetEdit(1019, "3");
    rig.Click(1006);
    QVERIFY(rig.Window->Controller().WorkerExists());
    QCOMPARE(rig.Window->State(), MainWindowState::Measuring);
    QVERIFY(!rig.Control(1006)->isEnabled());
    QVERIFY(!rig.Window->MenuAction(kMenuModelSet)->isEnabled());
    QVERIFY(rig.WaitIdle());
    QCOMPARE(rig.Window->State(), MainWindowState::Idle);
    QVERIFY(rig.Control(1006)->isEnabled());
    const std::vector<std::string> lines = rig.FileLines();
    QCOMPARE(lines.size(), size_t(4)); // the header and three rows
    QCOMPARE(QString::fromStdString(lines[3]).section(',', 0, 0), QString("3"));
    QVERIFY(rig.Text(1022) != kNoValue);
    QCOMPARE(rig.Text(1026), QString("---")); // the simulator's comparator is off
    QVERIFY(rig.Prompt.Texts.empty());
}

void TestMainWindow::enterRecordsOneRowPerPressAndTabStays()
{
    CWindowRig rig(FrontOptions(0));
    rig.Click(1006);
    QVERIFY(rig.Window->Controller().WorkerExists());
    QWidget* capture = rig.Control(1009);
    for (int press = 1; press <= 3; ++press) {
        QVERIFY(QTest::qWaitFor([&] { return capture->isEnabled() && rig.Text(1022) != kNoValue; }, 10000));
        QTest::keyClick(rig.Window.get(), Qt::Key_Return);
        QCOMPARE(rig.Window->RowsShown(), press);
        // A second press while the capture is held records nothing.
        QTest::keyClick(rig.Window.get(), Qt::Key_Enter);
        QCOMPARE(rig.Window->RowsShown(), press);
    }
    QVERIFY(QTest::qWaitFor([&] { return capture->isEnabled(); }, 10000));
    QCOMPARE(QApplication::focusWidget(), capture);
    QTest::keyClick(capture, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), capture);
    rig.Click(1007);
    QVERIFY(rig.WaitIdle());
    QCOMPARE(rig.FileLines().size(), size_t(4));
}

void TestMainWindow::escapeNeverClosesAndClosingWhileMeasuringIsRefused()
{
    CWindowRig rig(FrontOptions(0));
    QTest::keyClick(rig.Window.get(), Qt::Key_Escape);
    QVERIFY(rig.Window->isVisible());
    rig.Click(1006);
    QVERIFY(rig.Window->Controller().WorkerExists());
    QTest::keyClick(rig.Window.get(), Qt::Key_Escape);
    QVERIFY(rig.Window->isVisible());
    QVERIFY(!rig.Window->close());
    QVERIFY(rig.Window->isVisible());
    QCOMPARE(rig.Prompt.Texts, std::vector<std::string> { kNotDuringMeasurement });
    QVERIFY(rig.Window->Controller().WorkerExists());
    rig.Click(1007);
    QVERIFY(rig.WaitIdle());
    QVERIFY(rig.Window->close());
    QVERIFY(!rig.Window->isVisible());
}

void TestMainWindow::aWriteFailureIsToldOnceDuringTheMessageBox()
{
    if (!QFile::exists("/dev/full"))
        QSKIP("no /dev/full to fail writes with");
    RigOptions options = FrontOptions(2);
    options.Configure = [](CSettingData& config) {
        config.LogInterval = 0;
        config.LogLimit = 50;
    };
    CWindowRig rig(options);
    rig.SetEdit(1005, "/dev/full"); // opens, but every write fails
    int handledWhileShown = 0;
    rig.Prompt.WhileShown = [&](const std::string& text) {
        if (text.rfind(kFailedToSaveData, 0) != 0)
            return;
        // As a message box does: a nested loop in which worker messages keep arriving.
        const int before = rig.Window->NotifyWindow().Handled();
        QThread* worker = QThread::create([&rig] {
            for (int i = 0; i < 3; ++i) {
                NotifyMessage message;
                message.Msg = i == 2 ? WM_MEAS_END : WM_MEAS_RESULT;
                message.Text = "+1.00000E+00,IN";
                message.Info = { 9, 1, 0, 0 };
                rig.Window->NotifyWindow().Post(message);
            }
        });
        worker->start();
        QEventLoop loop;
        QVERIFY(QTest::qWaitFor([&] { return rig.Window->NotifyWindow().Handled() >= before + 3; }, 10000));
        worker->wait();
        delete worker;
        handledWhileShown = rig.Window->NotifyWindow().Handled() - before;
    };
    rig.Click(1006);
    QVERIFY(rig.WaitIdle());
    QVERIFY(handledWhileShown >= 3);
    QCOMPARE(rig.Prompt.CountHeaded(kFailedToSaveData), 1);
    QCOMPARE(rig.Prompt.Texts.size(), size_t(1));
    QCOMPARE(rig.Window->State(), MainWindowState::Idle);
    QCOMPARE(rig.Window->RowsShown(), 0);
}

void TestMainWindow::badFieldsAreRefusedWithTheirMessages()
{
    CWindowRig rig(FrontOptions(2));
    const struct {
        int Id;
        const char* Text;
        const char* Message;
    } cases[] = { { 1018, "fast", "Enter a number." }, { 1019, "3.5", "Enter an integer." } };
    for (const auto& c : cases) {
        rig.Prompt.Texts.clear();
        rig.SetEdit(1018, "1.0");
        rig.SetEdit(1019, "2");
        rig.SetEdit(c.Id, c.Text);
        rig.Click(1006);
        QCOMPARE(rig.Prompt.Texts, std::vector<std::string> { c.Message });
        QVERIFY(!rig.Window->Controller().WorkerExists());
        QCOMPARE(QApplication::focusWidget(), rig.Control(c.Id));
    }
    // Out of range values are corrected and shown so.
    rig.Prompt.Texts.clear();
    rig.SetEdit(1018, "5000");
    rig.SetEdit(1019, "0");
    rig.Click(1006);
    QCOMPARE(rig.Control<QLineEdit>(1018)->text(), QString("3600.0"));
    QCOMPARE(rig.Control<QLineEdit>(1019)->text(), QString("1"));
    rig.Click(1007);
    QVERIFY(rig.WaitIdle());
    QVERIFY(rig.Prompt.Texts.empty());
}

void TestMainWindow::aMuxScanShowsAFailingChannelInRed()
{
    RigOptions options = FrontOptions(2);
    options.Sim.FrontCable = false;
    options.Sim.MuxChannels = { 1, 2, 3, 4, 5, 6 };
    options.Sim.MuxScanMode = "AUTO";
    options.Sim.MuxSelect = 1;
    options.Sim.DefaultResistance = 1.0;
    options.Sim.ChannelResistance[3] = 2.0;
    for (int channel = 1; channel <= 6; ++channel)
        options.Sim.ChannelLimits[channel] = { 0.5, 1.5 };
    options.Configure = [](CSettingData& config) {
        config.LogInterval = 10;
        config.LogLimit = 100;
    };
    CWindowRig rig(options);
    rig.Click(1006);
    QVERIFY(rig.Window->Controller().WorkerExists());
    CListCtrlEx& list = rig.Window->StepList();
    QVERIFY(QTest::qWaitFor([&] { return list.CellText(5, 4) != "----" && list.CellText(2, 4) != "----"; }, 20000));
    QCOMPARE(list.CellText(2, 4), QString("FAIL"));
    QCOMPARE(list.Logic().BackColour(2, 4), uint8_t(2)); // red
    QVERIFY(list.Logic().BackColour(0, 4) != 2);
    QVERIFY(QTest::qWaitFor([&] { return rig.Text(1024) == "FAIL"; }, 20000));
    CWindowRig::Shoot(*rig.Window, "main_window_mux_scan_failing_channel.png");
    rig.Click(1007);
    QVERIFY(rig.WaitIdle());
}

void TestMainWindow::browseAndNoModelState()
{
    RigOptions options = FrontOptions(0);
    options.Configure = [](CSettingData& config) { config.ModelCode = 0; };
    CWindowRig rig(options);
    QCOMPARE(rig.Window->State(), MainWindowState::NoModel);
    QVERIFY(!rig.Control(1006)->isEnabled());
    QVERIFY(!rig.Control(1009)->isEnabled());
    QVERIFY(!rig.Control(1007)->isEnabled());
    QVERIFY(rig.Window->MenuAction(kMenuModelSet)->isEnabled());
    QVERIFY(rig.Window->MenuAction(kMenuHelp)->isEnabled());
    QVERIFY(!rig.Window->MenuAction(kMenuCaptureSet)->isEnabled());
    // Choosing a model makes the window usable.
    rig.Runner.Answer = [](QDialog& dialog) {
        auto* list = dialog.findChild<QComboBox*>(ControlName(1168));
        list->setCurrentIndex(3);
        emit list->activated(3);
        dialog.accept();
        return QDialog::Accepted;
    };
    rig.Window->MenuAction(kMenuModelSet)->trigger();
    QCOMPARE(rig.Window->Config().ModelCode, 10);
    QCOMPARE(rig.Text(1169), QString("Model:VX6207-02"));
    QCOMPARE(rig.Window->State(), MainWindowState::Idle);
    QVERIFY(rig.Control(1006)->isEnabled());
    rig.Runner.Chosen = rig.Folder() + "/chosen.csv";
    rig.Click(1013);
    QCOMPARE(rig.Control<QLineEdit>(1005)->text(), rig.Runner.Chosen);
    QCOMPARE(rig.Window->Controller().FilePath, rig.Runner.Chosen.toStdString());
}

void TestMainWindow::aCommandLineSettingsFileIsCheckedAndSent()
{
    const auto settingsFile = [](const std::string& folder, const std::string& name) {
        CRecordingPrompt quiet;
        MeasSetData data;
        InitMeasSetData(data, kModelVx6207_02);
        data.ModelCode = kModelVx6207_02;
        CSettingData place(folder);
        (void)SaveStartupSettings(place, data, quiet);
        const std::string path = folder + "/" + name;
        std::filesystem::rename(place.AutosavePath(), path);
        return path;
    };
    const struct {
        const char* Name;
        std::vector<std::string> Messages;
        bool Sent;
    } cases[] = { { "mine.vxf", {}, true }, { "mine.txt", { kNotVxfFile }, false },
        { "gone.vxf", { kFileNotFound }, false } };
    for (const auto& c : cases) {
        RigOptions options = FrontOptions(0);
        options.Arguments = [&](const std::string& folder) {
            const std::string path = settingsFile(folder, c.Name);
            if (std::string(c.Name) == "gone.vxf")
                std::filesystem::remove(path);
            return std::vector<std::string> { path };
        };
        CWindowRig rig(options);
        QCOMPARE(rig.Prompt.Texts, c.Messages);
        QCOMPARE(rig.Sim.ReceivedLines().size() > 20, c.Sent); // a whole set of conditions
        QCOMPARE(rig.Link.IsOpen, 0);
        QCOMPARE(rig.Window->State(), MainWindowState::Idle);
    }
}

void TestMainWindow::closingKeepsTheWindowKeysAndTheConditions()
{
    CWindowRig rig(FrontOptions(0));
    rig.Click(1016);
    rig.Click(1012);
    rig.SetEdit(1018, "2.57");
    rig.SetEdit(1019, "7");
    rig.SetEdit(1005, rig.Folder() + "/kept/results.txt");
    QVERIFY(rig.Window->close());
    rig.Window->Teardown();
    QFile ini(rig.Folder() + "/Vx6207App.ini");
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(ini.readAll());
    for (const char* key : { "LogType=2", "LogInterval=25", "LogLimit=7", "CsvEnable=1", "FileExtension=txt",
             "GetCompRes=1", "ModelCode=10" })
        QVERIFY2(text.contains(key), key);
    QVERIFY(text.contains("FileDir=" + rig.Folder() + "/kept"));
    QVERIFY(QFile::exists(rig.Folder() + "/MeasSetData.ini"));
    QVERIFY(rig.Prompt.Texts.empty());
}

void TestMainWindow::startFailuresAreToldAndLeaveTheWindowIdle()
{
    const struct {
        const char* Name;
        const char* Simulated;
        bool NobodyListens;
        bool FileIsAFolder;
        std::vector<std::string> Messages;
    } cases[] = {
        { "no instrument", "VX6207-02", true, false,
            { "Failed to open interface.\nNo connection at this address: check the address, the port and the cable.",
                kFailedToStart } },
        { "another model", "VX6208", false, false,
            { "The model setting and the model of the connection destination are different.", kFailedToStart } },
        // The recorder says why itself; the start is not reported as failed once more.
        { "unwritable file", "VX6207-02", false, true, { "Failed to open file.\n{folder}: is a folder" } },
    };
    for (const auto& c : cases) {
        RigOptions options = FrontOptions(2);
        options.Sim.Model = c.Simulated;
        options.Configure = [](CSettingData& config) { config.ModelCode = kModelVx6207_02; };
        CWindowRig rig(options);
        if (c.NobodyListens)
            rig.Link.TcpPort = 1;
        if (c.FileIsAFolder)
            rig.SetEdit(1005, rig.Folder());
        rig.Click(1006);
        QVERIFY(rig.WaitIdle());
        QVERIFY2(!rig.Window->Controller().WorkerExists(), c.Name);
        std::vector<std::string> expected = c.Messages;
        for (std::string& text : expected) {
            if (const size_t at = text.find("{folder}"); at != std::string::npos)
                text.replace(at, 8, rig.Folder().toStdString());
        }
        QCOMPARE(rig.Prompt.Texts, expected);
        QCOMPARE(rig.Window->State(), MainWindowState::Idle);
        QVERIFY(rig.Control(1006)->isEnabled());
        QCOMPARE(rig.Link.IsOpen, 0);
    }
}

void TestMainWindow::anIntervalRunIntoAWorkbook()
{
    RigOptions options = FrontOptions(2);
    options.Configure = [](CSettingData& config) {
        config.CsvEnable = 1;
        config.LogLimit = 2;
    };
    CWindowRig rig(options);
    QVERIFY(rig.Control<QRadioButton>(1012)->isChecked());
    rig.SetEdit(1005, rig.Folder() + "/book.csv");
    rig.Click(1006);
    QVERIFY(rig.WaitIdle());
    QCOMPARE(rig.Window->RowsShown(), 2);
    QVERIFY(QFileInfo(rig.Folder() + "/book.xlsx").size() > 0);
    QVERIFY(rig.Prompt.Texts.empty());
}

void TestMainWindow::captureSettingsAndHelpFromTheMenu()
{
    CWindowRig rig(FrontOptions(0));
    QString opened;
    rig.Runner.Answer = [&](QDialog& dialog) {
        opened = dialog.windowTitle();
        if (auto* filter = dialog.findChild<QLineEdit*>(ControlName(1014)))
            filter->setText("500");
        dialog.accept();
        return dialog.result();
    };
    rig.Window->MenuAction(kMenuCaptureSet)->trigger();
    QCOMPARE(opened, QString("Capture Settings"));
    QCOMPARE(rig.Window->Config().FilterTime, 500);
    rig.Window->MenuAction(kMenuHelp)->trigger();
    QCOMPARE(opened, QString("Version Information"));
    QCOMPARE(rig.Runner.Runs, 2);
    // "Measurement Set." waits for its dialog to be plugged in.
    QVERIFY(!rig.Window->MenuAction(kMenuMeasurementSet)->isEnabled());
    QVERIFY(rig.Window->MenuAction(kMenuSelfCheck)->isEnabled());
    QVERIFY(rig.Prompt.Texts.empty());
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
