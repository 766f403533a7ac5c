// The measurement settings dialog against the in-process simulator: sending, files, the page
// switch, the keyboard and the zero adjustment, driven through its buttons; pictures of its pages
// and of the zero adjustment's progress window.
#include <QCheckBox>
#include <QRadioButton>

#include "host/zero_adjust_run.h"
#include "settings/file_manager.h"
#include "ui/meas_set_dlg.h"
#include "ui/mux_set_dlg.h"
#include "ui/normal_set_dlg.h"
#include "ui/small_dialogs.h"
#include "uilogic/front_page_logic.h"
#include "uilogic/meas_set_logic.h"
#include "uilogic/mux_page_logic.h"
#include "window_rig.h"

namespace {

constexpr int kLoadFromInstrument = 1118;
constexpr int kSendToInstrument = 1122;
constexpr int kSaveToFile = 1119;
constexpr int kLoadFromFile = 1120;
constexpr int kExecuteZeroAdjust = 1123;
constexpr int kFrontRadio = 1154;
constexpr int kMuxRadio = 1155;
constexpr int kStopButton = 1157;

template <typename T> T* Child(QWidget& parent, int id)
{
    return parent.findChild<T*>(ControlName(id));
}

// The dialog of a model over the application's record, the simulator behind the link.
struct SDialog {
    SDialog(int32_t model, SimOptions sim, const std::function<void(MeasSetData&)>& prepare = {})
        : Sim(std::move(sim))
    {
        Started = Sim.StartTcp(0);
        Link.Interface = InterfaceKind::Lan;
        Link.IpAddress = 0x7F000001;
        Link.TcpPort = Sim.TcpPort();
        Link.PausePercent = 0;
        InitMeasSetData(App, model);
        App.ModelCode = model;
        if (prepare)
            prepare(App);
        Dialog = std::make_unique<CMeasSetDlg>(model, &App, Link, Prompt, Runner);
        Dialog->show();
        Exposed = QTest::qWaitForWindowExposed(Dialog.get());
    }
    void Click(int id) { ClickControl(Dialog->Control(id)); }
    size_t Received(const std::string& line) const
    {
        const std::vector<std::string> lines = Sim.ReceivedLines();
        return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
    }
    bool WaitReceived(const std::string& line, size_t count = 1)
    {
        return QTest::qWaitFor([&] { return Received(line) >= count; }, 10000);
    }

    CSimulator Sim;
    bool Started = false;
    bool Exposed = false;
    CInstrumentLink Link;
    MeasSetData App;
    CTestPrompt Prompt;
    CScriptedRunner Runner;
    std::unique_ptr<CMeasSetDlg> Dialog;
};

SimOptions Meter(const char* model = "VX6207A-2")
{
    SimOptions options;
    options.Model = model;
    options.FrontCable = false; // the MUX answers
    return options;
}

void FixedRangeThree(MeasSetData& record)
{
    record.Front.Cond.AutoRange = 0;
    record.Front.Cond.Range = 3;
    record.Channels(record.MuxMeasMethod)[0].AutoRange = 0;
    record.Channels(record.MuxMeasMethod)[0].Range = 3;
    record.Pins(record.MuxMeasMethod)[0].Enable = 1;
}

// The messages shown, for the failure report.
QByteArray Joined(const std::vector<std::string>& texts)
{
    std::string joined;
    for (const std::string& text : texts)
        joined += "[" + text + "]";
    return QByteArray::fromStdString(joined);
}

// Asks the dialog to close the moment a progress window appears: a close request of the window
// system in the middle of a transfer.
class CCloseOnProgress final : public QObject {
public:
    explicit CCloseOnProgress(QDialog& target)
        : m_target(target)
    {
        qApp->installEventFilter(this);
    }
    ~CCloseOnProgress() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<CMessDlg*>(watched) != nullptr)
            m_target.close();
        return false;
    }

private:
    QDialog& m_target;
};

void Shoot(QWidget& widget, const QString& name)
{
    widget.grab().save(QDir::currentPath() + QLatin1Char('/') + name);
}

} // namespace

class TestMeasSetDlg : public QObject {
    Q_OBJECT

private slots:
    void sendThenCancelKeepsTheConditionsApplied();
    void filesLoadOnlyForTheModelFamily();
    void aTypedBinCellIsCommittedBySaveToFile();
    void saveToFileShowsThePagesErrorAndWritesNothing();
    void enterAndEscapeDoNotCloseTheDialog();
    void theMuxChoiceIsOfferedToMuxModelsOnly();
    void aPageSwitchKeepsAFailingPageAndCarriesTheSharedValues();
    void loadFromTheInstrumentRefillsThePages();
    void saveToPanelSendsFirstThenSavesTheChosenPanel();
    void zeroAdjustmentEndsByAnswerStopOrCloseBox();
    void closeFromTheMenuRefreshesTheMainWindow();
    void anInstrumentOfAnotherModelIsRefusedByEveryTransfer();
};

void TestMeasSetDlg::sendThenCancelKeepsTheConditionsApplied()
{
    SDialog rig(kModelVx6207A_2, Meter());
    QVERIFY(rig.Started && rig.Exposed);
    auto* range = Child<QComboBox>(rig.Dialog->FrontPage(), kFcRange);
    range->setCurrentIndex(5); // a fixed range
    emit range->activated(5);
    {
        const CCloseOnProgress closer(*rig.Dialog);
        rig.Click(kSendToInstrument);
    }
    QVERIFY(rig.Dialog->isVisible()); // not while the transfer used it
    QVERIFY2(rig.Prompt.Texts.empty(), Joined(rig.Prompt.Texts));
    QCOMPARE(rig.App.Front.Cond.AutoRange, 0);
    QCOMPARE(rig.App.Front.Cond.Range, 4);
    QVERIFY(rig.WaitReceived(":MUX:VAR:SET:END")); // the whole transfer ran
    QCOMPARE(rig.Link.IsOpen, 0);
    rig.Click(2);
    QCOMPARE(rig.Dialog->result(), int(QDialog::Rejected));
    QCOMPARE(rig.App.Front.Cond.Range, 4);
}

void TestMeasSetDlg::filesLoadOnlyForTheModelFamily()
{
    struct SCase {
        int32_t Saved;
        int32_t Loading;
        const char* Refusal; // null: taken
    };
    const SCase cases[] = {
        { kModelVx6207A_2, kModelVx6207A_2, nullptr },
        { kModelVx6207A_1, kModelVx6207A_2, nullptr }, // same family: taken over
        { kModelVx6207A_2, kModelVx6207, kSettingFileModelDiffers },
        { kModelVx6207_02, kModelVx6208, kSettingFileModelDiffers },
        { kModelVx6208, kModelVx6207A_2, kFailedToLoadSettings }, // keys the A-2 does not know
    };
    QTemporaryDir folder;
    for (const SCase& test : cases) {
        const QString path = folder.filePath(QStringLiteral("saved.vxf"));
        SDialog saver(test.Saved, Meter(), [](MeasSetData& record) {
            record.MuxOn = IsMuxModel(record.ModelCode) ? 1 : 0;
            record.MuxScan = 0;
            record.Front.Cond.AutoRange = 0;
            record.Front.Cond.Range = 2;
            record.Front.AutoHold = 1;
        });
        saver.Runner.Chosen = path;
        saver.Click(kSaveToFile);
        QVERIFY2(saver.Prompt.Texts.empty(), Joined(saver.Prompt.Texts));
        QVERIFY(QFile::exists(path));

        SDialog loader(test.Loading, Meter());
        const MeasSetData before = loader.Dialog->SettingsBlock();
        loader.Runner.Chosen = path;
        loader.Click(kLoadFromFile);
        const bool taken = test.Refusal == nullptr;
        MeasSetData expected = taken ? saver.Dialog->SettingsBlock() : before;
        expected.ModelCode = test.Loading;
        QVERIFY(loader.Dialog->SettingsBlock() == expected);
        QCOMPARE(loader.Dialog->MuxShown(), expected.MuxOn != 0);
        std::vector<std::string> messages
            = taken ? std::vector<std::string> {} : std::vector<std::string> { test.Refusal };
        if (test.Refusal == kFailedToLoadSettings) // with the file and the line that stopped the load
            messages[0] += "\n" + path.toStdString() + ": line 106: unknown key \"MUX_ATC_TC\"";
        QVERIFY2(loader.Prompt.Texts == messages, Joined(loader.Prompt.Texts));
        QFile::remove(path);
    }
}

void TestMeasSetDlg::aTypedBinCellIsCommittedBySaveToFile()
{
    QTemporaryDir folder;
    SDialog rig(kModelVx6207A_2, Meter(), [](MeasSetData& record) {
        record.Front.Cond.AutoRange = 0;
        record.Front.Cond.Range = 4;
        record.Front.BinOn = 1;
    });
    auto* bin = Child<CListCtrlEx>(rig.Dialog->FrontPage(), kFcBinList);
    QVERIFY(bin->isEnabled());
    const QPoint centre = bin->visualRect(bin->model()->index(2, 3)).center();
    QTest::mouseClick(bin->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseClick(bin->viewport(), Qt::LeftButton, {}, centre);
    auto* edit = qobject_cast<QLineEdit*>(bin->Editor());
    QVERIFY(edit != nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, "5.5"); // left open
    rig.Runner.Chosen = folder.filePath(QStringLiteral("bin.vxf"));
    qobject_cast<QPushButton*>(rig.Dialog->Control(kSaveToFile))->click(); // a click that takes no focus
    QVERIFY2(rig.Prompt.Texts.empty(), Joined(rig.Prompt.Texts));
    CFileManager file(rig.Prompt);
    QVERIFY(file.Load(rig.Runner.Chosen.toStdString(), kModelVx6207A_2));
    QCOMPARE(file.Data.Front.BinBit[2].Upper, int64_t(5500000000));
}

void TestMeasSetDlg::saveToFileShowsThePagesErrorAndWritesNothing()
{
    QTemporaryDir folder;
    SDialog rig(kModelVx6207A_2, Meter(), [](MeasSetData& record) { record.Front.Cond.ScalingOn = 1; });
    auto* scaling = Child<QLineEdit>(rig.Dialog->FrontPage(), kFcScalingA);
    QVERIFY(scaling->isEnabled());
    scaling->selectAll();
    QTest::keyClicks(scaling, "65537");
    rig.Runner.Chosen = folder.filePath(QStringLiteral("refused.vxf"));
    rig.Click(kSaveToFile);
    QCOMPARE(rig.Prompt.Texts,
        std::vector<std::string> {
            "Scaling-A The set value is out of range. Please set at [2.000000e-04 <= x <= 1.999900e+03]" });
    QVERIFY(!QFile::exists(rig.Runner.Chosen));
    QCOMPARE(scaling->selectedText(), scaling->text()); // the offending field is shown to the operator
}

void TestMeasSetDlg::enterAndEscapeDoNotCloseTheDialog()
{
    SDialog rig(kModelVx6207A_2, Meter(), [](MeasSetData& record) { record.Front.Cond.TcOn = 1; });
    auto* edit = Child<QLineEdit>(rig.Dialog->FrontPage(), kFcTcT0);
    edit->setFocus();
    for (const Qt::Key key : { Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape })
        QTest::keyClick(edit, key);
    QTest::keyClick(rig.Dialog->Control(kSendToInstrument), Qt::Key_Return);
    QVERIFY(rig.Dialog->isVisible());
    QCOMPARE(rig.Dialog->result(), 0);
    QCOMPARE(rig.Received(":MUX:VAR:SET:END"), size_t(0)); // no button was pressed by Enter
}

void TestMeasSetDlg::theMuxChoiceIsOfferedToMuxModelsOnly()
{
    for (const int32_t model : kModelCodes) {
        if (model == kModelUnset)
            continue;
        SDialog rig(model, Meter());
        QCOMPARE(rig.Dialog->Control(kMuxRadio)->isEnabled(), IsMuxModel(model));
        const QString family = QString::fromStdString(ModelFamilyName(model));
        QCOMPARE(qobject_cast<QPushButton*>(rig.Dialog->Control(kSendToInstrument))->text(), "Send to " + family);
        QCOMPARE(qobject_cast<QPushButton*>(rig.Dialog->Control(kLoadFromInstrument))->text(), "Load from " + family);
    }
}

void TestMeasSetDlg::aPageSwitchKeepsAFailingPageAndCarriesTheSharedValues()
{
    SDialog rig(kModelVx6207A_2, Meter(), [](MeasSetData& record) { record.Front.Cond.ScalingOn = 1; });
    QVERIFY(!rig.Dialog->MuxShown());
    Shoot(*rig.Dialog, QStringLiteral("meas_set_front_vx6207a2.png"));
    auto* scaling = Child<QLineEdit>(rig.Dialog->FrontPage(), kFcScalingA);
    scaling->selectAll();
    QTest::keyClicks(scaling, "65537");
    rig.Click(kMuxRadio);
    QVERIFY(!rig.Dialog->MuxShown());
    QVERIFY(Child<QRadioButton>(*rig.Dialog, kFrontRadio)->isChecked());
    QCOMPARE(rig.Prompt.Texts.size(), size_t(1));
    scaling->selectAll();
    QTest::keyClicks(scaling, "0.5");

    auto* frontOverRange = Child<QCheckBox>(rig.Dialog->FrontPage(), kFcOverRangeError);
    QVERIFY(!frontOverRange->isChecked());
    QTest::mouseClick(frontOverRange, Qt::LeftButton, {}, QPoint(6, frontOverRange->height() / 2));
    rig.Click(kMuxRadio);
    QVERIFY(rig.Dialog->MuxShown());
    QCOMPARE(rig.Dialog->MuxSelected(), 1);
    QVERIFY(Child<QCheckBox>(rig.Dialog->MuxPage(), kMcOverRangeError)->isChecked());
    Shoot(*rig.Dialog, QStringLiteral("meas_set_mux_vx6207a2.png"));
    auto* muxOverRange = Child<QCheckBox>(rig.Dialog->MuxPage(), kMcOverRangeError);
    QTest::mouseClick(muxOverRange, Qt::LeftButton, {}, QPoint(6, muxOverRange->height() / 2));
    const MeasSetData block = rig.Dialog->SettingsBlock();
    QCOMPARE(block.Front.OverRangeError, 0); // the page shown decides
    rig.Click(kFrontRadio);
    QVERIFY(!frontOverRange->isChecked());
    QCOMPARE(rig.Prompt.Texts.size(), size_t(1));
}

void TestMeasSetDlg::loadFromTheInstrumentRefillsThePages()
{
    SDialog sender(kModelVx6207A_2, Meter(), [](MeasSetData& record) {
        record.MuxOn = 1;
        record.MuxMeasMethod = 1;
        record.Channels(1)[0].AutoRange = 0;
        record.Channels(1)[0].Range = LowestTwoWireRange(kModelVx6207A_2) + 1;
    });
    sender.Click(kSendToInstrument);
    QVERIFY2(sender.Prompt.Texts.empty(), Joined(sender.Prompt.Texts));
    // A second dialog over another record reads what the instrument holds now.
    SDialog reader(kModelVx6207A_2, Meter());
    reader.Link.TcpPort = sender.Sim.TcpPort();
    QVERIFY(!reader.Dialog->MuxShown());
    reader.Click(kLoadFromInstrument);
    QVERIFY2(reader.Prompt.Texts.empty(), Joined(reader.Prompt.Texts));
    QVERIFY(reader.Dialog->MuxShown());
    const MeasSetData read = reader.Dialog->SettingsBlock();
    QCOMPARE(read.MuxMeasMethod, 1);
    QCOMPARE(read.Channels(1)[0].AutoRange, 0);
    QCOMPARE(read.Channels(1)[0].Range, LowestTwoWireRange(kModelVx6207A_2) + 1);
    QCOMPARE(reader.App.MuxOn, 0); // reading changes only the dialog's copy
}

void TestMeasSetDlg::saveToPanelSendsFirstThenSavesTheChosenPanel()
{
    SDialog rig(kModelVx6207A_2, Meter(), [](MeasSetData& record) {
        record.MuxOn = 1;
        record.MuxFailStop = 1;
    });
    rig.Runner.Answer = [](QDialog& dialog) {
        dialog.findChild<QComboBox*>(ControlName(1000))->setCurrentIndex(0);
        dialog.findChild<QLineEdit*>(ControlName(1005))->setText("Jig_1");
        return int(QDialog::Accepted);
    };
    rig.Click(1121);
    QVERIFY2(rig.Prompt.Texts.empty(), Joined(rig.Prompt.Texts));
    const std::string name = ":SYSTem:PANel:NAME 31,\"Jig_1\"";
    QVERIFY(rig.WaitReceived(name)); // the last line: the instrument may still be reading it
    const std::vector<std::string> lines = rig.Sim.ReceivedLines();
    const auto save = std::find(lines.begin(), lines.end(), ":SYSTem:PANel:SAVE 31");
    QVERIFY(std::find(lines.begin(), save, ":MUX:VAR:SET:END") != save); // the conditions went first
    QVERIFY(std::find(save, lines.end(), name) != lines.end());
    QCOMPARE(rig.App.MuxFailStop, 1); // sending applied them
    QCOMPARE(rig.Link.IsOpen, 0);
}

void TestMeasSetDlg::zeroAdjustmentEndsByAnswerStopOrCloseBox()
{
    enum class EEnd { Answer, Failure, Stop, CloseBox, WindowClosed, Declined };
    struct SCase {
        const char* Name;
        bool Mux;
        EEnd End;
        size_t Aborts; // ":ABORt" after the start
        std::vector<std::string> Messages; // after the mirror question
    };
    const std::vector<SCase> cases = {
        { "front answer", false, EEnd::Answer, 0, {} },
        { "mux answer", true, EEnd::Answer, 0, {} },
        { "mux failure", true, EEnd::Failure, 0, { kFailedToCompleteZeroAdjust } },
        { "front stop", false, EEnd::Stop, 0, {} },
        { "mux stop", true, EEnd::Stop, 1, {} },
        { "mux close box", true, EEnd::CloseBox, 1, {} },
        { "mux progress window closed", true, EEnd::WindowClosed, 1, {} },
        { "declined", false, EEnd::Declined, 0, { kZeroAdjustNotExecuted } },
    };
    for (const SCase& test : cases) {
        SimOptions sim = Meter();
        sim.ZeroAdjustMs = test.End == EEnd::Answer || test.End == EEnd::Failure ? 50 : 600000;
        sim.ZeroAdjustFails = test.End == EEnd::Failure;
        SDialog rig(kModelVx6207A_2, sim, [&](MeasSetData& record) {
            record.MuxOn = test.Mux ? 1 : 0;
            FixedRangeThree(record);
        });
        rig.Prompt.Answer = test.End != EEnd::Declined;
        rig.Click(kExecuteZeroAdjust);
        std::vector<std::string> messages { MirrorQuestionOf(kModelVx6207A_2) };
        messages.insert(messages.end(), test.Messages.begin(), test.Messages.end());
        if (test.End == EEnd::Declined) {
            QCOMPARE(rig.Prompt.Texts, messages);
            QCOMPARE(rig.Received(":ADJust?"), size_t(0));
            continue;
        }
        QVERIFY2(rig.Dialog->ZeroAdjustRunning(), test.Name);
        QVERIFY(!rig.Dialog->Control(kSaveToFile)->isEnabled());
        QVERIFY(rig.WaitReceived(":ADJust?"));
        rig.Sim.ClearReceivedLines(); // the connect sequences have aborts of their own
        CMessDlg* window = rig.Dialog->ZeroAdjustWindow();
        QVERIFY(window != nullptr && window->isVisible());
        if (test.End == EEnd::Stop) {
            Shoot(*window, QStringLiteral("meas_set_zero_adjusting.png"));
            QTest::mouseClick(Child<QPushButton>(*window, kStopButton), Qt::LeftButton);
        } else if (test.End == EEnd::CloseBox) {
            rig.Dialog->close();
        } else if (test.End == EEnd::WindowClosed) {
            window->close();
        }
        QVERIFY2(QTest::qWaitFor([&] { return !rig.Dialog->ZeroAdjustRunning(); }, 10000), test.Name);
        QVERIFY(!window->isVisible());
        QCOMPARE(rig.Dialog->Control(kSaveToFile)->isEnabled(), true);
        QCOMPARE(rig.Prompt.Texts, messages);
        if (test.End == EEnd::Answer) {
            const MeasSetData values = rig.Dialog->SettingsBlock();
            const MeasCondition& adjusted = test.Mux ? values.Channels(values.MuxMeasMethod)[0] : values.Front.Cond;
            QCOMPARE(adjusted.ZeroAdjValue[3], int64_t(test.Mux ? 101 : 12)); // the simulator's offset
            continue;
        }
        // The line that ends the transfer; an abort comes before it.
        QVERIFY2(rig.WaitReceived(test.Aborts > 0 ? ":ABORt" : ":MUX:VAR:SET:END"), test.Name);
        QVERIFY2(rig.Received(":ABORt") == test.Aborts, test.Name);
        QCOMPARE(rig.Dialog->isVisible(), test.End != EEnd::CloseBox);
    }
}

void TestMeasSetDlg::closeFromTheMenuRefreshesTheMainWindow()
{
    RigOptions options;
    options.Sim = Meter("VX6207-02");
    CWindowRig rig(options);
    CVxSampleDlg& window = *rig.Window;
    rig.Window->SetMeasSetOpener(MeasSetOpener(rig.Data, rig.Link, rig.Prompt, rig.Runner));
    QCOMPARE(window.StepList().rowCount(), 0);
    struct SEnd {
        int Button;
        int RowsAfter;
    };
    // Cancel leaves the window as it was; Close applies the MUX choice and the list follows it.
    for (const SEnd end : { SEnd { 2, 0 }, SEnd { 1, 42 } }) {
        rig.Runner.Answer = [&](QDialog& dialog) {
            auto& settings = static_cast<CMeasSetDlg&>(dialog);
            settings.show();
            if (!QTest::qWaitForWindowExposed(&settings))
                return int(QDialog::Rejected);
            ClickControl(settings.Control(kMuxRadio));
            QTest::mouseClick(settings.Control(end.Button), Qt::LeftButton);
            return settings.result();
        };
        window.MenuAction(kMenuMeasurementSet)->trigger();
        QCOMPARE(window.StepList().rowCount(), end.RowsAfter);
        QCOMPARE(rig.Data.MuxOn, end.RowsAfter != 0 ? 1 : 0);
    }
    QVERIFY2(rig.Prompt.Texts.empty(), Joined(rig.Prompt.Texts));
}

void TestMeasSetDlg::anInstrumentOfAnotherModelIsRefusedByEveryTransfer()
{
    for (const int button : { kSendToInstrument, kLoadFromInstrument, kExecuteZeroAdjust, 3 }) {
        SDialog rig(kModelVx6207A_2, Meter("VX6208"));
        const MeasSetData before = rig.Dialog->SettingsBlock();
        rig.Click(button);
        QVERIFY2(rig.Prompt.Texts == std::vector<std::string> { kModelMismatch }, Joined(rig.Prompt.Texts));
        QVERIFY(rig.Dialog->SettingsBlock() == before);
        QVERIFY(rig.Dialog->isVisible());
        QCOMPARE(rig.Received(":MUX:VAR:SET:START"), size_t(0)); // nothing was sent or read
    }
}

QTEST_MAIN(TestMeasSetDlg)
#include "test_meas_set_dlg.moc"
