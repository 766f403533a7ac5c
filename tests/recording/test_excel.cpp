#include <gtest/gtest.h>

#include "recording/excel_automation.h"
#include "recording/recording_test_support.h"
#include "recording/save_excel.h"
#include "recording/workbook_journal.h"
#include "recording/workbook_reader.h"

TEST(Excel, ColumnLettersFollowTheA1Scheme)
{
    const std::pair<int, const char*> cases[]
        = { { 1, "A" }, { 26, "Z" }, { 27, "AA" }, { 131, "EA" }, { 702, "ZZ" }, { 703, "AAA" }, { 16384, "XFD" } };
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
    EXPECT_EQ(prompt.Texts,
        std::vector<std::string> { "Failed to open Excel.\n/nonexistent-folder/book.xlsx: no such file or folder" });
}

TEST(Excel, JournalRowsKeepTheirTextsAndACutLastRowIsLeftOut)
{
    CTempFolder folder;
    const std::string path = CWorkbookJournal::PathFor(folder / "book.xlsx");
    JournalRow header { true, { { "Number", "" }, { "Date", "" } } };
    JournalRow row { false, { { "1", "" }, { "2026-12-09", "yyyy-mm-dd" }, { "a\tb\\c\nd\r", "" }, { "", "" } } };
    {
        CWorkbookJournal journal;
        ASSERT_TRUE(journal.Create(path));
        ASSERT_TRUE(journal.Append(header));
        ASSERT_TRUE(journal.Commit());
        ASSERT_TRUE(journal.Append(row));
    } // closed without completing: the journal stays
    std::ofstream(path, std::ios::app | std::ios::binary) << "R\t\t2"; // the row being written at the kill
    std::vector<JournalRow> rows;
    ASSERT_TRUE(CWorkbookJournal::ForEachRow(path, [&](const JournalRow& read) {
        rows.push_back(read);
        return true;
    }));
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_TRUE(rows[0].Header);
    EXPECT_EQ(rows[0].Cells, header.Cells);
    EXPECT_FALSE(rows[1].Header);
    EXPECT_EQ(rows[1].Cells, row.Cells);
    EXPECT_FALSE(CWorkbookJournal::ForEachRow(folder / "none.journal", [](const JournalRow&) { return true; }));
}

TEST(Excel, WhatLiesAtTheTargetDecidesWhereTheRowsGo)
{
    struct Case {
        const char* Name;
        const char* Content; // nullptr: no file
        const char* Journal; // nullptr: none
        const char* Destination; // where the rows land
        const char* Message; // the start of the one message shown, or nullptr
    };
    const Case cases[] = {
        { "no file", nullptr, nullptr, "book.xlsx", nullptr },
        { "an empty file left by a killed program", "", nullptr, "book.xlsx", nullptr },
        { "something that is no workbook", "Number,Date\r\n", nullptr, "book-2.xlsx", "The workbook " },
        { "a journal of an interrupted capture", nullptr,
            "VX6207App workbook journal 1\nH\t\tMeasValue\nR\t\t1.5\nR\t\t2.5\n", "book.xlsx", "Restored 2 rows" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        CTempFolder folder;
        const std::string book = folder / "book.xlsx";
        if (c.Content != nullptr)
            std::ofstream(book, std::ios::binary) << c.Content;
        if (c.Journal != nullptr)
            std::ofstream(CWorkbookJournal::PathFor(book), std::ios::binary) << c.Journal;
        CSettingData config = ConfigWith(false, false, false, false, false, false);
        CRecordingPrompt prompt;
        {
            CSaveExcelNorm recorder(config, prompt, book);
            ASSERT_TRUE(recorder.Open("123456"));
            StepArrays steps;
            ASSERT_TRUE(recorder.Record(0, steps.Values, steps.Comps, steps.Judges, steps.Names, "", ""));
            ASSERT_TRUE(recorder.Finish());
            EXPECT_EQ(recorder.Excel().WorkbookPath(), folder / c.Destination);
        }
        if (c.Content != nullptr && std::string(c.Destination) != "book.xlsx") {
            EXPECT_EQ(ReadAll(book), c.Content) << "the file was overwritten";
        }
        EXPECT_EQ(ReadAll(folder / c.Destination).substr(0, 2), "PK");
        EXPECT_FALSE(std::filesystem::exists(CWorkbookJournal::PathFor(book)));
        EXPECT_FALSE(std::filesystem::exists(folder / (std::string(c.Destination) + ".partial")));
        if (c.Message == nullptr) {
            EXPECT_TRUE(prompt.Texts.empty());
        } else {
            ASSERT_EQ(prompt.Texts.size(), 1U);
            EXPECT_EQ(prompt.Texts[0].rfind(c.Message, 0), 0U) << prompt.Texts[0];
        }
    }
}

TEST(Excel, AJournalTheWorkbookAlreadyHoldsIsNotRestoredTwice)
{
    // The program ended after the completed workbook was put in place but before its journal went.
    CTempFolder folder;
    const std::string book = folder / "book.xlsx";
    CSettingData config = ConfigWith(false, false, false, false, false, false);
    CRecordingPrompt prompt;
    const auto capture = [&] {
        CSaveExcelNorm recorder(config, prompt, book);
        StepArrays steps;
        return recorder.Open("123456")
            && recorder.Record(0, steps.Values, steps.Comps, steps.Judges, steps.Names, "", "") && recorder.Finish();
    };
    ASSERT_TRUE(capture());
    std::string applied;
    {
        CWorkbookReader reader;
        ASSERT_TRUE(reader.Open(book));
        applied = reader.Property(CWorkbookReader::kJournalProperty);
    }
    ASSERT_FALSE(applied.empty());
    const std::string journal = "VX6207App workbook journal 1\t" + applied + "\nH\t\tMeasValue\nR\t\t-----------\n";
    std::ofstream(CWorkbookJournal::PathFor(book), std::ios::binary) << journal;
    ASSERT_TRUE(capture());
    EXPECT_TRUE(prompt.Texts.empty()) << prompt.Texts[0];
    EXPECT_FALSE(std::filesystem::exists(CWorkbookJournal::PathFor(book)));
    CWorkbookReader reader;
    ASSERT_TRUE(reader.Open(book));
    int rows = 0;
    ASSERT_TRUE(reader.ReadRows(0, [&](int, const std::vector<WorkbookCell>&) { return ++rows, true; }));
    EXPECT_EQ(rows, 4); // two captures of a header and a row each, nothing twice
}
