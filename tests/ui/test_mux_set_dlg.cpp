// The MUX settings page and its two dialogs driven through their real widgets, and pictures of
// their look.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "ui/atc_set_dlg.h"
#include "ui/list_ctrl_ex.h"
#include "ui/lump_set_dlg.h"
#include "ui/mux_set_dlg.h"
#include "ui/ui_common.h"

namespace {

template <typename T> T* Child(QWidget& parent, int id)
{
    return parent.findChild<T*>(ControlName(id));
}

void Shoot(QWidget& widget, const QString& name)
{
    widget.grab().save(QDir::currentPath() + QLatin1Char('/') + name);
}

void Click(QWidget& parent, int id)
{
    QWidget* control = Child<QWidget>(parent, id);
    const bool check = qobject_cast<QCheckBox*>(control) != nullptr;
    QTest::mouseClick(control, Qt::LeftButton, {}, check ? QPoint(6, control->height() / 2) : QPoint());
}

void ClickCell(CListCtrlEx* list, int row, int column)
{
    list->scrollTo(list->model()->index(row, column));
    const QPoint centre = list->visualRect(list->model()->index(row, column)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QCoreApplication::processEvents();
}

class CAnswerRunner final : public IDialogRunner {
public:
    int Run(QDialog& dialog) override
    {
        dialog.show();
        (void)QTest::qWaitForWindowExposed(&dialog);
        const int result = Answer ? Answer(dialog) : QDialog::Rejected;
        dialog.hide();
        return result;
    }
    bool ChooseResultFile(QWidget*, const QString&, QString&) override { return false; }
    std::function<int(QDialog&)> Answer;
};

// The page shown with a scripted runner for its dialogs.
struct SPage {
    explicit SPage(int32_t model)
        : Page(model, Prompt)
    {
        Page.SetDialogRunner(Runner);
        Page.show();
        Exposed = QTest::qWaitForWindowExposed(&Page);
    }
    CRecordingPrompt Prompt;
    CAnswerRunner Runner;
    CMuxSetDlg Page;
    bool Exposed = false;
};

} // namespace

class TestMuxSetDlg : public QObject {
    Q_OBJECT

private slots:
    void theRangeCellOffersTheLowPowerListOnceLowPowerIsOn();
    void copyAndPasteGoThroughTheItemDialog();
    void allOnTakesATcOnlyForTheVx6208();
    void aTcSettingsRefuseAWrappingDelayAndKeepTheRange();
    void aRefusedMethodChangeShowsTheOffendingChannel();
    void aTwoWireTableForReview();
};

void TestMuxSetDlg::theRangeCellOffersTheLowPowerListOnceLowPowerIsOn()
{
    SPage rig(10);
    QVERIFY(rig.Exposed);
    CListCtrlEx* list = rig.Page.StepList();
    ClickCell(list, 0, kScRange);
    QTest::keyClick(list, Qt::Key_Return);
    auto* combo = qobject_cast<QComboBox*>(list->Editor());
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->count(), 13);
    list->EndEdit(); // "AUTO" again
    Click(rig.Page, kFcLowPower);
    list->setFocus(); // the Range cell is still the current one
    QTest::keyClick(list, Qt::Key_Return);
    combo = qobject_cast<QComboBox*>(list->Editor());
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->count(), 5);
    QCOMPARE(combo->itemText(1), QString("1000m"));
    combo->setCurrentIndex(3);
    emit combo->activated(3); // 100 Ω of the low-power ranges
    QCOMPARE(rig.Page.Logic().StepCond().LoPowerRange, 2);
    QCOMPARE(list->CellText(0, kScRange), QString("100"));
}

void TestMuxSetDlg::copyAndPasteGoThroughTheItemDialog()
{
    SPage rig(12);
    QVERIFY(rig.Exposed);
    rig.Page.Data().Channels4Wire[2].AutoRange = 0;
    rig.Page.Data().Channels4Wire[2].CompOn = 1;
    rig.Page.DisplaySettings();
    QVERIFY(!Child<QPushButton>(rig.Page, kMcPaste)->isEnabled());
    rig.Runner.Answer = [](QDialog& dialog) {
        Click(dialog, 1003); // "Range"
        Click(dialog, 1004); // "Speed"
        Click(dialog, 1);
        return dialog.result();
    };
    ClickCell(rig.Page.StepList(), 0, kScSpeed);
    QTest::keyClick(rig.Page.StepList(), Qt::Key_Return);
    auto* speed = qobject_cast<QComboBox*>(rig.Page.StepList()->Editor());
    QVERIFY(speed != nullptr);
    speed->setCurrentIndex(3);
    emit speed->activated(3);
    Click(rig.Page, kMcCopy);
    QVERIFY(Child<QPushButton>(rig.Page, kMcPasteAll)->isEnabled());
    Click(rig.Page, kMcPasteAll);
    QCOMPARE(rig.Prompt.Texts, std::vector<std::string> { std::string(kNotPasted) + "\nCH3 : Range" });
    QCOMPARE(rig.Page.StepList()->CellText(2, kScSpeed), QString("FAST"));
    QCOMPARE(rig.Page.StepList()->CellText(41, kScRange), QString("AUTO"));
}

void TestMuxSetDlg::allOnTakesATcOnlyForTheVx6208()
{
    for (const int32_t model : { 8, 2048 }) {
        CLumpSetDlg dialog(model);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        Click(dialog, 1139);
        auto* atc = Child<QCheckBox>(dialog, 1186);
        QCOMPARE(atc->isChecked(), model == 2048);
        QCOMPARE(atc->isEnabled(), model == 2048);
        QCOMPARE(Child<QCheckBox>(dialog, 1008)->text(), QString(model == 2048 ? "A-OVC" : "OVC"));
        if (model == 2048)
            Shoot(dialog, "dialog_batch_paste_vx6208.png");
        Click(dialog, 1);
        QCOMPARE(dialog.Items()[kPiAtc], model == 2048);
        QVERIFY(dialog.Items()[kPiZeroAdj]);
    }
}

void TestMuxSetDlg::aTcSettingsRefuseAWrappingDelayAndKeepTheRange()
{
    SPage rig(2048);
    QVERIFY(rig.Exposed);
    QVERIFY(!Child<QPushButton>(rig.Page, kMcAtcSettings)->isEnabled());
    Click(rig.Page, kMcAtc);
    QVERIFY(Child<QPushButton>(rig.Page, kMcAtcSettings)->isEnabled());
    rig.Runner.Answer = [](QDialog& dialog) {
        Click(dialog, kAtcOvc);
        Click(dialog, 2); // Cancel keeps the channel as it was
        return dialog.result();
    };
    const MeasCondition before = rig.Page.Logic().StepCond();
    Click(rig.Page, kMcAtcSettings);
    QVERIFY(rig.Page.Logic().StepCond() == before);
    int refusedResult = -1;
    rig.Runner.Answer = [&](QDialog& dialog) {
        Click(dialog, kAtcDelay);
        auto* delay = Child<QLineEdit>(dialog, kAtcDelayTime);
        delay->selectAll();
        QTest::keyClicks(delay, "40000");
        auto* range = Child<QComboBox>(dialog, kAtcRange);
        range->setCurrentIndex(4);
        emit range->activated(4);
        Click(dialog, kAtcOvc);
        Click(dialog, 1);
        refusedResult = dialog.result();
        delay->selectAll();
        QTest::keyClicks(delay, "120");
        Shoot(rig.Page, "page_mux_vx6208_atc.png");
        Click(dialog, 1);
        return dialog.result();
    };
    Click(rig.Page, kMcAtcSettings);
    QCOMPARE(refusedResult, int(QDialog::Rejected));
    QCOMPARE(rig.Prompt.Texts.size(), size_t(1));
    QVERIFY(rig.Prompt.Texts[0].rfind("A-TC-Delay ", 0) == 0);
    const MeasCondition& c = rig.Page.Logic().StepCond();
    QCOMPARE(int(c.AtcDelayTime), 120);
    QCOMPARE(c.AtcAutoRange, 0);
    QCOMPARE(c.AtcRange, 3);
    QCOMPARE(c.AtcAvgOn, 1);
    QVERIFY(rig.Page.CollectSettings());
    QCOMPARE(rig.Page.Data().Channels4Wire[0].AtcRange, 3);
}

void TestMuxSetDlg::aRefusedMethodChangeShowsTheOffendingChannel()
{
    SPage rig(160);
    QVERIFY(rig.Exposed);
    rig.Page.Data().Channels4Wire[6].AvgCount = 1;
    rig.Page.DisplaySettings();
    auto* method = Child<QComboBox>(rig.Page, kMcMethod);
    method->setCurrentIndex(1);
    emit method->activated(1);
    QCOMPARE(method->currentIndex(), 0);
    QCOMPARE(rig.Page.StepList()->CurRow(), 6);
    QCOMPARE(
        rig.Page.findChild<QWidget*>(ControlName(kMcStepGroup))->property("title").toString(), QString("CH7 settings"));
    QCOMPARE(rig.Prompt.Texts.size(), size_t(1));
    QVERIFY(rig.Prompt.Texts[0].rfind("Average ", 0) == 0);
}

void TestMuxSetDlg::aTwoWireTableForReview()
{
    SPage rig(10);
    QVERIFY(rig.Exposed);
    auto* method = Child<QComboBox>(rig.Page, kMcMethod);
    method->setCurrentIndex(1);
    emit method->activated(1);
    QCOMPARE(rig.Page.Logic().Method(), 1);
    QVERIFY(!Child<QCheckBox>(rig.Page, kFcContactCheck)->isEnabled());
    QCOMPARE(rig.Page.StepList()->CellText(20, kScTermA), QString("21"));
    QCOMPARE(rig.Page.findChild<CListCtrlEx*>(ControlName(kFcZeroList))->rowCount(), 6);
    Shoot(rig.Page, "page_mux_2wire_vx6207_02.png");
}

QTEST_MAIN(TestMuxSetDlg)
#include "test_mux_set_dlg.moc"
