// The front settings page driven through its real widgets, and pictures of its look.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "ui/list_ctrl_ex.h"
#include "ui/normal_set_dlg.h"
#include "ui/ui_common.h"

namespace {

template <typename T> T* Child(QWidget& page, int id)
{
    return page.findChild<T*>(ControlName(id));
}

void Shoot(QWidget& widget, const QString& name)
{
    widget.grab().save(QDir::currentPath() + QLatin1Char('/') + name);
}

// Clicks a check box on its indicator (its middle may lie beyond the caption).
void Click(QWidget& page, int id)
{
    auto* check = Child<QCheckBox>(page, id);
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
}

void Choose(QWidget& page, int id, int index)
{
    auto* combo = Child<QComboBox>(page, id);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void Type(QWidget& page, int id, const QString& text)
{
    auto* edit = Child<QLineEdit>(page, id);
    QVERIFY(edit->isEnabled());
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return); // ends the entry like leaving the field
}

void TypeInCell(CListCtrlEx* list, int row, int column, const QString& text)
{
    const QPoint centre = list->visualRect(list->model()->index(row, column)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    auto* edit = qobject_cast<QLineEdit*>(list->Editor());
    QVERIFY(edit != nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

class TestNormalSetDlg : public QObject {
    Q_OBJECT

private slots:
    void typedConditionsReachTheRecord();
    void theVx6208ShowsAOvcAndNoLowPower();
};

void TestNormalSetDlg::typedConditionsReachTheRecord()
{
    CRecordingPrompt prompt;
    CNormalSetDlg page(160, prompt);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QCOMPARE(Child<QComboBox>(page, kFcRange)->count(), 14);
    Click(page, kFcBin);
    QCOMPARE(prompt.Texts, std::vector<std::string> { kBinNeedsFixedRange });
    QVERIFY(!Child<QCheckBox>(page, kFcBin)->isChecked());
    Choose(page, kFcRange, 5); // 10 Ω
    Click(page, kFcBin);
    QVERIFY(!Child<QComboBox>(page, kFcRange)->isEnabled());
    auto* bin = Child<CListCtrlEx>(page, kFcBinList);
    QVERIFY(bin->isEnabled());
    TypeInCell(bin, 3, 5, "-1");
    QCOMPARE(bin->CellText(3, 5), QString("-1")); // kept for the report
    QVERIFY(!page.CollectSettings());
    page.ReportSettingsError();
    QCOMPARE(prompt.Texts.back(), std::string("BIN-Low : ") + kRangeAbs);
    QCOMPARE(bin->CurRow(), 3);
    QCOMPARE(bin->CurCol(), 5);
    TypeInCell(bin, 3, 5, "0");
    TypeInCell(bin, 2, 3, "5.5");
    QCOMPARE(bin->CellText(2, 3), QString("05.5000"));
    QCOMPARE(bin->CellText(2, 4), QString("\u03A9"));
    QTest::mouseClick(bin->cellWidget(2, 0), Qt::LeftButton, {}, QPoint(8, 8));
    Click(page, kFcTc);
    Type(page, kFcTcT0, "25.5");
    Type(page, kFcTcAlpha, "-5");
    QCOMPARE(Child<QLineEdit>(page, kFcTcAlpha)->text(), QString("-00005"));
    Click(page, kFcScaling);
    Type(page, kFcScalingA, "65537");
    QCOMPARE(Child<QLineEdit>(page, kFcScalingA)->text(), QString("6.5537e+4"));
    QVERIFY(!page.CollectSettings());
    page.ReportSettingsError();
    QCOMPARE(prompt.Texts.back(),
        std::string("Scaling-A The set value is out of range. Please set at [2.000000e-04 <= x <= 1.999900e+03]"));
    QCOMPARE(Child<QLineEdit>(page, kFcScalingA)->selectedText(), QString("6.5537e+4"));
    Type(page, kFcScalingA, "0.5");
    QCOMPARE(Child<QLineEdit>(page, kFcScalingA)->text(), QString("0.5000e+0"));
    QVERIFY(page.CollectSettings());
    const FrontSetData& front = page.Front();
    QCOMPARE(front.Cond.AutoRange, 0);
    QCOMPARE(front.Cond.Range, 4);
    QCOMPARE(front.BinOn, 1);
    QCOMPARE(front.BinBit[2].Upper, int64_t(5500000000));
    QCOMPARE(front.BinBit[2].On, 1);
    QCOMPARE(front.Cond.TcOn, 1);
    QCOMPARE(front.Cond.TcT0, 25.5);
    QCOMPARE(front.Cond.TcAlpha, -5);
    QCOMPARE(front.Cond.ScalingA, 0.5);
    QCOMPARE(prompt.Texts.size(), size_t(3));
    page.resize(page.sizeHint());
    Shoot(page, "page_front_vx6207a2_bin.png");
}

void TestNormalSetDlg::theVx6208ShowsAOvcAndNoLowPower()
{
    CRecordingPrompt prompt;
    CNormalSetDlg page(2048, prompt);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QCOMPARE(Child<QCheckBox>(page, kFcOvc)->text(), QString("A-OVC"));
    QVERIFY(!Child<QCheckBox>(page, kFcLowPower)->isEnabled());
    QVERIFY(!Child<QLineEdit>(page, kFcAvgCount)->isEnabled());
    Click(page, kFcOvc);
    QVERIFY(Child<QCheckBox>(page, kFcAverage)->isChecked());
    QVERIFY(Child<QLineEdit>(page, kFcAvgCount)->isEnabled());
    QCOMPARE(Child<CListCtrlEx>(page, kFcZeroList)->rowCount(), 11);
    QVERIFY(prompt.Texts.empty());
    page.resize(page.sizeHint());
    Shoot(page, "page_front_vx6208.png");
}

QTEST_MAIN(TestNormalSetDlg)
#include "test_normal_set_dlg.moc"
