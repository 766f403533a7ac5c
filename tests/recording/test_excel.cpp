#include <gtest/gtest.h>

#include "recording/excel_automation.h"
#include "recording/recording_test_support.h"
#include "recording/save_excel.h"

TEST(Excel, ColumnLettersFollowTheA1Scheme)
{
    const std::pair<int, const char*> cases[] = { { 1, "A" }, { 26, "Z" }, { 27, "AA" }, { 131, "EA" }, { 702, "ZZ" },
        { 703, "AAA" }, { 16384, "XFD" } };
    for (const auto& [column, letters] : cases)
        EXPECT_EQ(ExcelAutomation::ColumnLetters(column), letters) << column;
}

TEST(Excel, RowsPastTheLimitAndRowsAfterAnErrorAreRefused)
{
    CTempFolder folder;
    CRecordingPrompt prompt;
    ExcelAutomation excel(prompt);
    EXPECT_EQ(excel.MaxRows, 1048576);
    EXPECT_EQ(excel.MaxColumns, 16384);
    EXPECT_FALSE(excel.BeginRow(1, 1, 3)); // no workbook yet
    ASSERT_TRUE(excel.OpenExcel(folder / "limits.xlsx"));
    EXPECT_FALSE(excel.BeginRow(1, 1048577, 3));
    EXPECT_FALSE(excel.BeginRow(16384, 1, 2));
    ASSERT_TRUE(excel.BeginRow(1, 1048576, 3));
    EXPECT_TRUE(excel.PutCell(2, "x"));
    EXPECT_FALSE(excel.PutCell(3, "beyond the row"));
    EXPECT_TRUE(excel.FlushRow());
    excel.Errors = 1;
    EXPECT_FALSE(excel.BeginRow(1, 2, 3));
    EXPECT_TRUE(excel.Close());
}

TEST(Excel, AWorkbookThatCannotBeCreatedIsReported)
{
    CSettingData config = ConfigWith(true, true, true, true, false, false);
    CRecordingPrompt prompt;
    CSaveExcelNorm recorder(config, prompt, "/nonexistent-folder/book.xlsx");
    EXPECT_FALSE(recorder.Open("123456"));
    EXPECT_EQ(prompt.Texts, std::vector<std::string> { "Failed to open Excel." });
}
