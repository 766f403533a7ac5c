#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "ui/list_ctrl_ex.h"

// Drives the editable list with real key and mouse events and records its notifications in order.
class TestListCtrlEx : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CListCtrlEx> m_list;
    QStringList m_events;

    void Record()
    {
        connect(m_list.get(), &CListCtrlEx::ListExButton, this,
            [this](int row, int column) { m_events << QString("button %1 %2").arg(row).arg(column); });
        connect(m_list.get(), &CListCtrlEx::ListExEditEnd, this, [this] { m_events << "edit-end"; });
        connect(m_list.get(), &CListCtrlEx::ListExRowChanged, this,
            [this](int id, int row) { m_events << QString("row-changed %1 %2").arg(id).arg(row); });
        connect(m_list.get(), &CListCtrlEx::ListExCellChanged, this, [this](int id, int row, int column, int index) {
            m_events << QString("cell-changed %1 %2 %3 %4").arg(id).arg(row).arg(column).arg(index);
        });
    }

    // Columns: 0 label, 1 edit box, 2 drop-down, 3 button, 4 check box; five rows.
    void MakeList(bool readOnly = false)
    {
        m_list = std::make_unique<CListCtrlEx>();
        m_list->Init(this, 42);
        const uint8_t kinds[] = { kEditNone, kEditBox, kEditDropDown, kEditButton, kEditCheck };
        const char* headings[] = { "CH", "Name", "Speed", "Detail", "Use" };
        for (int i = 0; i < 5; ++i)
            m_list->InsertColumn(i, headings[i], CListCtrlEx::kFormatLeft, 90, -1, kinds[i]);
        m_list->SetRowCount(5);
        for (int row = 0; row < 5; ++row) {
            QVERIFY(m_list->SetCellText(row, 0, QString::number(row + 1)));
            QVERIFY(m_list->SetCellText(row, 1, QString("name%1").arg(row)));
            QVERIFY(m_list->SetCellText(row, 2, "MEDIUM"));
            QVERIFY(m_list->AddComboItems(row, 2, "SLOW2;SLOW1;MEDIUM;FAST;"));
        }
        m_list->ResetColours();
        m_list->SetReadOnly(readOnly);
        m_list->resize(520, 200);
        m_list->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_list.get()));
        m_list->setFocus();
        m_events.clear();
        Record();
    }

    QPoint CellCentre(int row, int column) const
    {
        return m_list->visualRect(m_list->model()->index(row, column)).center();
    }

    void Click(int row, int column)
    {
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, CellCentre(row, column));
        QCoreApplication::processEvents(); // delivers what the click posted
    }

    QWidget* Focus() const { return QApplication::focusWidget(); }

private slots:
    void secondClickEditsAndClickingAnotherRowWritesAndNotifiesInOrder()
    {
        MakeList();
        Click(1, 1);
        QVERIFY(m_list->EditorClosed());
        QCOMPARE(m_list->CurRow(), 1);
        QCOMPARE(m_list->CurCol(), 1);
        m_events.clear();
        Click(1, 1);
        auto* edit = qobject_cast<QLineEdit*>(m_list->Editor());
        QVERIFY(edit != nullptr);
        QVERIFY(!m_list->EditorClosed());
        QCOMPARE(edit->text(), QString("name1"));
        QCOMPARE(edit->selectedText(), QString("name1"));
        QTest::keyClicks(edit, "Pump_7");
        Click(3, 1);
        QCOMPARE(m_list->CellText(1, 1), QString("Pump_7"));
        QTRY_COMPARE(m_events.join(","), QString("cell-changed 42 1 1 0,row-changed 42 3,edit-end"));
        QCOMPARE(m_list->CurRow(), 3);
    }

    void typingADigitOpensTheEditorWithThatDigit()
    {
        MakeList();
        Click(2, 1);
        QTest::keyClick(m_list.get(), Qt::Key_5);
        auto* edit = qobject_cast<QLineEdit*>(m_list->Editor());
        QVERIFY(edit != nullptr);
        QCOMPARE(edit->text(), QString("5"));
        QCOMPARE(edit->cursorPosition(), 1);
        QTest::keyClick(edit, Qt::Key_Return); // ends editing and moves to the next row
        QCOMPARE(m_list->CellText(2, 1), QString("5"));
        QCOMPARE(m_list->CurRow(), 3);
        QTRY_COMPARE(m_events.last(), QString("edit-end"));
        QVERIFY(m_events.contains("row-changed 42 3"));
    }

    void downOnTheLastRowAndLeftAtColumnOneGoNowhere()
    {
        MakeList();
        Click(4, 1);
        m_events.clear();
        QTest::keyClick(m_list.get(), Qt::Key_Down);
        QCOMPARE(m_list->CurRow(), 4);
        QVERIFY(!m_events.join(",").contains("row-changed"));
        QTest::keyClick(m_list.get(), Qt::Key_Up);
        QCOMPARE(m_list->CurRow(), 3);
        QVERIFY(m_events.contains("row-changed 42 3"));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(m_list.get(), Qt::Key_Left);
        QCOMPARE(m_list->CurCol(), 1);
        for (int i = 0; i < 9; ++i)
            QTest::keyClick(m_list.get(), Qt::Key_Right);
        QCOMPARE(m_list->CurCol(), 4);
    }

    void aReadOnlyListOpensNoEditor()
    {
        MakeList(true);
        Click(1, 1);
        Click(1, 1);
        QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, CellCentre(2, 1));
        QTest::keyClick(m_list.get(), Qt::Key_Return);
        QTest::keyClick(m_list.get(), Qt::Key_7);
        QVERIFY(m_list->Editor() == nullptr);
        QVERIFY(m_list->EditorClosed());
    }

    void aCheckBoxLeftUnchangedWritesOffAndATickWritesOn()
    {
        MakeList();
        m_list->SetCellText(0, 4, "ON");
        Click(0, 4);
        Click(0, 4);
        auto* check = qobject_cast<QCheckBox*>(m_list->Editor());
        QVERIFY(check != nullptr);
        QVERIFY(!check->isChecked());
        Click(2, 4);
        QCOMPARE(m_list->CellText(0, 4), QString("OFF"));

        Click(2, 4);
        check = qobject_cast<QCheckBox*>(m_list->Editor());
        QVERIFY(check != nullptr);
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
        QVERIFY(check->isChecked());
        Click(3, 4);
        QCOMPARE(m_list->CellText(2, 4), QString("ON"));
    }

    void aCellOffersTheChoiceListLastGiven()
    {
        MakeList();
        QVERIFY(m_list->AddComboItems(2, 2, "AUTO;100;1000;")); // the owner's state changed
        m_list->SetCellText(2, 2, "100");
        Click(2, 2);
        QTest::keyClick(m_list.get(), Qt::Key_Return);
        auto* combo = qobject_cast<QComboBox*>(m_list->Editor());
        QVERIFY(combo != nullptr);
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(2), QString("1000"));
        QCOMPARE(combo->currentIndex(), 1);
    }

    void dropDownStartsAtTheCellChoiceAndReportsTheChosenIndex()
    {
        MakeList();
        m_list->SetCellText(1, 2, "fast"); // matched regardless of case
        Click(1, 2);
        QTest::keyClick(m_list.get(), Qt::Key_Return);
        auto* combo = qobject_cast<QComboBox*>(m_list->Editor());
        QVERIFY(combo != nullptr);
        QCOMPARE(combo->currentIndex(), 3);
        QTest::keyClick(combo, Qt::Key_Up);
        QTest::keyClick(combo, Qt::Key_Up);
        QCOMPARE(combo->currentIndex(), 1);
        m_events.clear();
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(m_list->CellText(1, 2), QString("SLOW1"));
        QCOMPARE(m_events.first(), QString("cell-changed 42 1 2 1"));

        // A cell without a choice list gets no editor.
        QVERIFY(m_list->RemoveComboItems(4, 2));
        Click(4, 2);
        QTest::keyClick(m_list.get(), Qt::Key_Return);
        QVERIFY(m_list->EditorClosed());
    }

    void theEditButtonAndEnterOnItReportTheCell()
    {
        MakeList();
        Click(2, 3);
        Click(2, 3);
        QVERIFY(m_list->Editor() != nullptr);
        QCOMPARE(m_list->Editor()->property("text").toString(), QString("Edit"));
        m_events.clear();
        QTest::mouseClick(m_list->Editor(), Qt::LeftButton);
        QTRY_COMPARE(m_events.join(","), QString("button 2 3"));
        QTest::keyClick(m_list->Editor(), Qt::Key_Return);
        QTRY_COMPARE(m_events.size(), 2);
        QCOMPARE(m_events.last(), QString("button 2 3"));
    }

    void theCurrentRowAndCellArePaintedInTheirColours()
    {
        MakeList();
        Click(1, 2);
        QVERIFY(m_list->SetBackColour(3, 1, 2));
        QApplication::processEvents();
        const QImage image = m_list->viewport()->grab().toImage();
        const auto pixel = [&](int row, int column) {
            const QRect rect = m_list->visualRect(m_list->model()->index(row, column));
            return QColor(image.pixel(rect.left() + 1, rect.top() + 1)).rgb() & 0xFFFFFF;
        };
        QCOMPARE(pixel(1, 2), 0xFFC080U); // current cell, focused
        QCOMPARE(pixel(1, 1), 0x80C0FFU); // current row
        QCOMPARE(pixel(1, 0), 0x80C0FFU);
        // Row 3 is not selected in an editable list: painted whole from its first cell.
        QCOMPARE(pixel(3, 1), pixel(3, 0));
        m_list->SetReadOnly(true);
        m_list->viewport()->repaint();
        const QImage readOnly = m_list->viewport()->grab().toImage();
        const QRect red = m_list->visualRect(m_list->model()->index(3, 1));
        QCOMPARE(QColor(readOnly.pixel(red.left() + 1, red.top() + 1)).rgb() & 0xFFFFFF, 0xFF0000U);
    }
};

QTEST_MAIN(TestListCtrlEx)
#include "test_list_ctrl_ex.moc"
