// One capture per result file: while a recorder holds a file, a second recorder into it is refused
// and changes nothing; once the first has finished, the file is free again.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "recording/recording_test_support.h"
#include "recording/save_excel.h"
#include "recording/save_file.h"
#include "recording/workbook_journal.h"
#include "settings/file_io.h"

namespace {

struct Kind {
    const char* Name;
    const char* File;
    const char* Refusal;
    std::function<std::unique_ptr<CSaveResult>(const CSettingData&, CRecordingPrompt&, const std::string&)> Make;
    bool Workbook;
};

const Kind kKinds[] = {
    { "text file", "shared.csv", "Failed to open file.",
        [](const CSettingData& config, CRecordingPrompt& prompt, const std::string&) {
            return std::make_unique<CSaveFileNorm>(config, 1, prompt);
        },
        false },
    { "workbook", "shared.xlsx", "Failed to open Excel.",
        [](const CSettingData& config, CRecordingPrompt& prompt, const std::string& path) {
            return std::make_unique<CSaveExcelNorm>(config, prompt, path);
        },
        true },
};

bool OpenAndRecord(CSaveResult& recorder, const std::string& path, bool workbook)
{
    StepArrays steps;
    return recorder.Open(workbook ? "123456" : path)
        && recorder.Record(0, steps.Values, steps.Comps, steps.Judges, steps.Names, "", "");
}

} // namespace

TEST(FileLocks, ASecondRecorderIntoAFileInUseIsRefusedAndTheFileStaysTheFirstOnes)
{
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.Name);
        CTempFolder folder;
        const std::string path = folder / kind.File;
        CSettingData config = ConfigWith(true, false, false, false, false, false);
        CRecordingPrompt firstPrompt;
        auto first = kind.Make(config, firstPrompt, path);
        ASSERT_TRUE(OpenAndRecord(*first, path, kind.Workbook));
        const std::string journal = CWorkbookJournal::PathFor(path);
        const std::string journalBefore = kind.Workbook ? ReadAll(journal) : std::string();

        CRecordingPrompt secondPrompt;
        auto second = kind.Make(config, secondPrompt, path);
        EXPECT_FALSE(OpenAndRecord(*second, path, kind.Workbook));
        EXPECT_EQ(secondPrompt.Texts, std::vector<std::string> { std::string(kind.Refusal) + "\n" + InUseText(path) });
        if (kind.Workbook) {
            // The first capture's live journal was neither restored nor touched.
            EXPECT_EQ(ReadAll(journal), journalBefore);
        }
        second.reset();
        ASSERT_TRUE(first->Finish());
        first.reset();

        CRecordingPrompt thirdPrompt;
        auto third = kind.Make(config, thirdPrompt, path);
        EXPECT_TRUE(OpenAndRecord(*third, path, kind.Workbook));
        EXPECT_TRUE(third->Finish());
        EXPECT_TRUE(thirdPrompt.Texts.empty());
        if (!kind.Workbook) {
            EXPECT_EQ(CrLfLines(ReadAll(path)).size(), 4U); // a header and a row from each capture that ran
        }
    }
}

TEST(FileLocks, AJournalThatARunningCaptureHoldsIsNeverRestored)
{
    CTempFolder folder;
    const std::string book = folder / "book.xlsx";
    CWorkbookJournal live;
    ASSERT_TRUE(live.Create(CWorkbookJournal::PathFor(book)));
    ASSERT_TRUE(live.Commit());
    JournalRow row;
    row.Cells = { { "1", "" } };
    ASSERT_TRUE(live.Append(row));
    CSettingData config = ConfigWith(true, false, false, false, false, false);
    CRecordingPrompt prompt;
    CSaveExcelNorm recorder(config, prompt, book);
    EXPECT_FALSE(recorder.Open("123456"));
    EXPECT_EQ(prompt.Texts,
        std::vector<std::string> { "Failed to open Excel.\n" + InUseText(CWorkbookJournal::PathFor(book)) });
    EXPECT_FALSE(std::filesystem::exists(book));
    live.Close(false);
}
