// Renders a populated MUX step list (16 columns, 42 rows) to a PNG so its look can be reviewed.
#include <QApplication>
#include <QPixmap>

#include "ui/list_ctrl_ex.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("mux_step_list.png");
    CListCtrlEx list;
    list.Init(nullptr, 1);
    const char* headings[] = { "STEP", "CH", "Name", "Range", "Speed", "0ADJ", "Delay", "Average", "Comp",
        "Upper", "Lower", "Judge", "Scaling", "TC", "Meas Curr", "Low Power" };
    const uint8_t kinds[] = { kEditNone, kEditCheck, kEditBox, kEditDropDown, kEditDropDown, kEditCheck, kEditBox,
        kEditBox, kEditCheck, kEditBox, kEditBox, kEditDropDown, kEditButton, kEditButton, kEditDropDown, kEditCheck };
    for (int i = 0; i < 16; ++i)
        list.InsertColumn(i, headings[i], i == 0 ? CListCtrlEx::kFormatCenter : CListCtrlEx::kFormatLeft, i == 0 ? 44 : 72,
            -1, kinds[i]);
    list.SetRowCount(42);
    for (int row = 0; row < 42; ++row) {
        const QString values[] = { QString::number(row + 1), row % 5 == 4 ? "OFF" : "ON", QString("CH_%1").arg(row + 1),
            "100mOhm", "MEDIUM", "ON", "0", "1", "ON", "1.10000", "0.90000", row % 7 == 3 ? "FAIL" : "PASS", "Edit",
            "Edit", "HIGH", "OFF" };
        for (int column = 0; column < 16; ++column)
            (void)list.SetCellText(row, column, values[column]);
    }
    list.ResetColours();
    for (int row = 0; row < 42; ++row) {
        if (row % 7 == 3)
            (void)list.SetBackColour(row, 11, 2);
        if (row % 5 == 4)
            (void)list.SetBackColour(row, 0, 8);
    }
    list.Logic().CurRow = 2;
    list.Logic().CurCol = 3;
    list.selectRow(2);
    list.resize(16 * 72 + 20, 42 * 18 + 40);
    list.show();
    app.processEvents();
    return list.grab().save(output) ? 0 : 1;
}
