#include <gtest/gtest.h>

#include "uilogic/list_ctrl_logic.h"

namespace {

CListCtrlLogic MakeList(int columns, int rows)
{
    CListCtrlLogic logic;
    logic.Init(7);
    for (int i = 0; i < columns; ++i)
        logic.AppendColumnKind(i == 0 ? kEditNone : kEditBox);
    logic.RowCount = rows;
    logic.ResetColours();
    return logic;
}

} // namespace

TEST(ListLogic, ComboListsAcceptOnlyWellFormedTexts)
{
    struct Case {
        std::string Text;
        bool Accepted;
        size_t Items;
    };
    std::string twentyFive;
    for (int i = 0; i < 25; ++i)
        twentyFive += "I" + std::to_string(i) + ";";
    const Case cases[] = {
        { "OFF;ON;", true, 2 }, { "OFF;ON", false, 0 }, // a part after the last ";"
        { twentyFive, true, 25 }, { twentyFive + "X;", false, 0 }, // 26 items
        { "12345678901234;", true, 1 }, // 14 characters
        { "123456789012345;", false, 0 }, // 15 characters
        { "", true, 0 }, { ";;", true, 2 }, // empty items are items
    };
    for (const Case& c : cases) {
        CListCtrlLogic logic;
        EXPECT_EQ(logic.AddComboItems(1, 2, c.Text), c.Accepted) << c.Text;
        if (c.Accepted) {
            ASSERT_NE(logic.ComboFor(1, 2), nullptr);
            EXPECT_EQ(logic.ComboFor(1, 2)->Items.size(), c.Items) << c.Text;
        } else {
            EXPECT_EQ(logic.ComboFor(1, 2), nullptr) << c.Text;
        }
    }
}

TEST(ListLogic, ANewChoiceListOfACellReplacesTheOldOne)
{
    CListCtrlLogic logic;
    ASSERT_TRUE(logic.AddComboItems(0, 3, "A;B;"));
    ASSERT_TRUE(logic.AddComboItems(0, 3, "C;"));
    EXPECT_EQ(logic.ComboFor(0, 3)->Items, std::vector<std::string> { "C" });
    EXPECT_FALSE(logic.AddComboItems(0, 3, "D;E")); // a refused list leaves the cell's list alone
    EXPECT_EQ(logic.ComboFor(0, 3)->Items.front(), "C");
    EXPECT_TRUE(logic.RemoveComboItems(0, 3));
    EXPECT_FALSE(logic.RemoveComboItems(0, 3));
    EXPECT_EQ(logic.ComboFor(0, 3), nullptr);
}

TEST(ListLogic, HorizontalMovesStayBetweenColumnOneAndTheLast)
{
    CListCtrlLogic logic = MakeList(4, 3);
    logic.CurCol = 1;
    EXPECT_EQ(logic.ColumnAfterHorizontalMove(-1), 1);
    logic.CurCol = 0;
    EXPECT_EQ(logic.ColumnAfterHorizontalMove(-1), 1);
    logic.CurCol = 3;
    EXPECT_EQ(logic.ColumnAfterHorizontalMove(1), 3);
    logic.CurCol = 2;
    EXPECT_EQ(logic.ColumnAfterHorizontalMove(1), 3);
}

TEST(ListLogic, VerticalMovesStopAtTheEnds)
{
    CListCtrlLogic logic = MakeList(3, 5);
    logic.CurRow = 4;
    EXPECT_EQ(logic.RowAfterVerticalMove(1, 5), -1);
    EXPECT_EQ(logic.RowAfterVerticalMove(-1, 5), 3);
    logic.CurRow = 0;
    EXPECT_EQ(logic.RowAfterVerticalMove(-1, 5), -1);
}

TEST(ListLogic, CellColoursFollowCodesAndTheCurrentCell)
{
    CListCtrlLogic logic = MakeList(3, 4);
    logic.CurRow = 1;
    logic.CurCol = 2;
    const CellPaintState focused { false, true, true };
    const CellPaintState unfocused { false, true, false };

    // Default scheme.
    EXPECT_EQ(logic.PaintCell(1, 0, focused).Background, CListCtrlLogic::kRowFocused);
    EXPECT_EQ(logic.PaintCell(1, 0, unfocused).Background, CListCtrlLogic::kRowUnfocused);
    EXPECT_TRUE(logic.PaintCell(2, 0, focused).UseWindowColour);
    EXPECT_TRUE(logic.PaintCell(2, 2, focused).UseWindowColour);
    EXPECT_EQ(logic.PaintCell(1, 2, focused).Background, CListCtrlLogic::kCellFocused);
    EXPECT_EQ(logic.PaintCell(1, 2, unfocused).Background, CListCtrlLogic::kCellUnfocused);
    EXPECT_EQ(logic.PaintCell(1, 1, focused).Background, CListCtrlLogic::kRowFocused);

    // Code 1 stops the current-cell highlight; codes 2 to 9 win over everything.
    ASSERT_TRUE(logic.SetBackColour(1, 2, 1));
    EXPECT_EQ(logic.PaintCell(1, 2, focused).Background, CListCtrlLogic::kRowFocused);
    ASSERT_TRUE(logic.SetBackColour(1, 2, 7));
    EXPECT_EQ(logic.PaintCell(1, 2, focused).Background, (Rgb { 255, 255, 0 }));
    ASSERT_TRUE(logic.SetBackColour(3, 1, 6));
    EXPECT_EQ(logic.PaintCell(3, 1, focused).Background, (Rgb { 0, 0, 0 }));

    // Text codes: 2 to 9 colour the text, 6 means black like 0.
    ASSERT_TRUE(logic.SetTextColour(3, 1, 2));
    EXPECT_EQ(logic.PaintCell(3, 1, focused).Text, (Rgb { 255, 0, 0 }));
    ASSERT_TRUE(logic.SetTextColour(3, 1, 6));
    ASSERT_TRUE(logic.SetBackColour(3, 1, 0));
    EXPECT_EQ(logic.PaintCell(3, 1, focused).Text, CListCtrlLogic::kBlack);

    // A row painted whole takes the colours of its first cell.
    ASSERT_TRUE(logic.SetBackColour(2, 0, 3));
    EXPECT_EQ(logic.PaintWholeRow(2).Background, (Rgb { 0, 255, 0 }));
    EXPECT_TRUE(logic.PaintWholeRow(0).UseWindowColour);

    // Codes outside the arrays are refused.
    EXPECT_FALSE(logic.SetBackColour(4, 0, 2));
    EXPECT_FALSE(logic.SetTextColour(0, 3, 2));
}
