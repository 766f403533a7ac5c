// The main window's menu commands: their enable rules, the model change, the communication
// dialog's port written back, the measurement settings hook and the self-check.
#include <QAction>

#include "uilogic/small_dialog_logic.h"
#include "window_rig.h"

namespace {

RigOptions ModelOptions(const char* model)
{
    RigOptions options;
    options.Sim.Model = model;
    return options;
}

// Answers "Model Setting" with the entry of a model.
std::function<int(QDialog&)> ChooseModel(int32_t code)
{
    return [code](QDialog& dialog) {
        auto* list = dialog.findChild<QComboBox*>(ControlName(1168));
        const auto index
            = static_cast<int>(std::find(kModelChoices.begin(), kModelChoices.end(), code) - kModelChoices.begin());
        list->setCurrentIndex(index);
        emit list->activated(index);
        dialog.accept();
        return int(QDialog::Accepted);
    };
}

} // namespace

class TestMenuCommands : public QObject {
    Q_OBJECT

private slots:
    void enablesFollowTheStateAndTheSettingsHook();
    void theModelComesBackThroughUnsetWithItsConditions();
    void communicationSetWritesThePortBack();
    void selfCheckResults();
};

void TestMenuCommands::enablesFollowTheStateAndTheSettingsHook()
{
    CWindowRig rig(ModelOptions("VX6207-02"));
    CVxSampleDlg& window = *rig.Window;
    for (const int command : { kMenuModelSet, kMenuCaptureSet, kMenuCommunicationSet, kMenuSelfCheck, kMenuHelp })
        QVERIFY(window.MenuAction(command)->isEnabled());
    QVERIFY(!window.MenuAction(kMenuMeasurementSet)->isEnabled());
    QCOMPARE(window.StepList().rowCount(), 0);
    std::vector<int32_t> opened;
    window.SetMeasSetOpener([&](QWidget* parent, int32_t model) {
        opened.push_back(parent == &window ? model : -1);
        rig.Data.MuxOn = 1; // the operator switched the MUX on, without a scan
        rig.Data.MuxScan = 0;
        return true;
    });
    QVERIFY(window.MenuAction(kMenuMeasurementSet)->isEnabled());
    window.MenuAction(kMenuMeasurementSet)->trigger();
    QCOMPARE(opened, std::vector<int32_t> { 10 });
    QCOMPARE(window.StepList().rowCount(), 42); // rebuilt for the MUX
    QVERIFY(rig.Control(1020)->isEnabled());

    rig.Runner.Answer = ChooseModel(0);
    window.MenuAction(kMenuModelSet)->trigger();
    QCOMPARE(window.State(), MainWindowState::NoModel);
    for (int command = 0; command < kMenuCommandCount; ++command)
        QCOMPARE(window.MenuAction(command)->isEnabled(), command == kMenuModelSet || command == kMenuHelp);
}

void TestMenuCommands::theModelComesBackThroughUnsetWithItsConditions()
{
    CWindowRig rig(ModelOptions("VX6207"));
    rig.Data.Front.Cond.Speed = 3;
    for (const int32_t code : { 0, 8, 9 }) {
        rig.Runner.Answer = ChooseModel(code);
        rig.Window->MenuAction(kMenuModelSet)->trigger();
        QCOMPARE(rig.Window->Config().ModelCode, code);
    }
    QCOMPARE(rig.Data.Front.Cond.Speed, 3);
    QVERIFY(rig.Prompt.Texts.empty());
    QCOMPARE(rig.Text(1169), QString("Model:VX6207-01"));
    rig.Runner.Answer = ChooseModel(144);
    rig.Window->MenuAction(kMenuModelSet)->trigger();
    QCOMPARE(rig.Prompt.Texts, std::vector<std::string> { "Initialize the measurement settings." });
    QCOMPARE(rig.Data.ModelCode, 144);
}

void TestMenuCommands::communicationSetWritesThePortBack()
{
    RigOptions options = ModelOptions("VX6207-02");
    options.KeepLinkSettings = false;
    options.Ports = { { "Bench", "/dev/ttyVXBENCH0", "" }, { "Spare", "/dev/ttyVXBENCH1", "" } };
    CWindowRig rig(options);
    QCOMPARE(rig.Link.Interface, InterfaceKind::Lan);
    QString title;
    rig.Runner.Answer = [&](QDialog& dialog) {
        title = dialog.windowTitle();
        auto* com = dialog.findChild<QRadioButton*>(ControlName(1162));
        com->click();
        dialog.findChild<QComboBox*>(ControlName(1041))->setCurrentIndex(1);
        dialog.findChild<QComboBox*>(ControlName(1006))->setCurrentIndex(2);
        dialog.accept();
        return dialog.result();
    };
    rig.Window->MenuAction(kMenuCommunicationSet)->trigger();
    QCOMPARE(title, QString("Communication Settings"));
    QCOMPARE(rig.Window->Config().ComNo, std::string("/dev/ttyVXBENCH1"));
    QCOMPARE(rig.Window->Config().BaudRate, 38400);
    QCOMPARE(rig.Link.Interface, InterfaceKind::Com);
    QVERIFY(!rig.Link.IsOpen);
    // A run on a link of its own (the simulator) keeps the configured port.
    CWindowRig kept(ModelOptions("VX6207-02"));
    const std::string before = kept.Window->Config().ComNo;
    kept.Link.ComPort = "/dev/ttyVXOTHER";
    kept.Runner.Answer = [](QDialog&) { return int(QDialog::Rejected); };
    kept.Window->MenuAction(kMenuCommunicationSet)->trigger();
    QCOMPARE(kept.Window->Config().ComNo, before);
}

void TestMenuCommands::selfCheckResults()
{
    const char* header = "Self check result : ERROR\n Detail:\n";
    const struct {
        int Result;
        const char* Garble;
        bool Yes;
        std::string Text; // empty: nothing shown after the question
    } cases[] = {
        { 0, "", true, "Self check result : PASS\n" },
        { 5, "", true, std::string(header) + "  /CPU ROM Error\n  /Memory Error\n" },
        { 0, "*TST?", true, "Failed to execute Self-Check." },
        { 0, "", false, "" },
    };
    for (const auto& c : cases) {
        RigOptions options = ModelOptions("VX6207");
        options.Sim.SelfTestResult = c.Result;
        options.Sim.GarbleReplyTo = c.Garble;
        CWindowRig rig(options);
        rig.Prompt.Answer = c.Yes;
        MainWindowState shownIn = MainWindowState::NoModel;
        rig.Prompt.WhileShown = [&](const std::string&) { shownIn = rig.Window->State(); };
        rig.Window->MenuAction(kMenuSelfCheck)->trigger();
        std::vector<std::string> expected { "Execute self-check?" };
        if (!c.Text.empty())
            expected.push_back(c.Text);
        QCOMPARE(rig.Prompt.Texts, expected);
        const std::vector<std::string> lines = rig.Sim.ReceivedLines();
        QCOMPARE(std::count(lines.begin(), lines.end(), "*TST?"), c.Yes ? 1 : 0);
        if (!c.Yes)
            QVERIFY(lines.empty());
        else
            QCOMPARE(shownIn, MainWindowState::Idle); // the result comes after the busy state
        QCOMPARE(rig.Window->State(), MainWindowState::Idle);
        QVERIFY(!rig.Link.IsOpen);
        QVERIFY(rig.Window->MenuAction(kMenuSelfCheck)->isEnabled());
    }
}

QTEST_MAIN(TestMenuCommands)
#include "test_menu_commands.moc"
