// A full disk in the middle of a capture: the text file keeps whole rows only. The disks are a
// small tmpfs (where the test may mount one) and a file size limit set on the test process, which
// makes the system accept part of a write and refuse the rest, as a disk filling up does.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/mount.h>
#include <sys/resource.h>

#include "recording/recording_test_support.h"
#include "recording/save_excel.h"
#include "recording/save_file.h"
#include "recording/workbook_journal.h"

namespace {

// A full-disk situation for a folder; Ready false (with the reason) when it cannot be made here.
struct FullDisk {
    const char* Name;
    std::function<bool(const std::string& folder, std::string& reason)> Make;
    std::function<void(const std::string& folder)> Undo;
};

const FullDisk kDisks[] = {
    { "tmpfs of 8 KiB",
        [](const std::string& folder, std::string& reason) {
            if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=8k") == 0)
                return true;
            reason = "cannot mount a tmpfs here";
            return false;
        },
        [](const std::string& folder) { (void)::umount(folder.c_str()); } },
    { "file size limit of 3000 bytes",
        [](const std::string&, std::string&) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit {};
            (void)::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 3000;
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        },
        [](const std::string&) {
            rlimit limit {};
            (void)::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = limit.rlim_max;
            (void)::setrlimit(RLIMIT_FSIZE, &limit);
        } },
};

} // namespace

TEST(FullDisk, ATextFileKeepsOnlyWholeRows)
{
    for (const FullDisk& disk : kDisks) {
        SCOPED_TRACE(disk.Name);
        CTempFolder folder;
        const std::string mountPoint = folder / "disk";
        std::filesystem::create_directory(mountPoint);
        std::string reason;
        if (!disk.Make(mountPoint, reason)) {
            std::printf("skipping the %s: %s\n", disk.Name, reason.c_str());
            continue;
        }
        CSettingData config = ConfigWith(true, true, true, true, false, true);
        CRecordingPrompt prompt;
        int recorded = 0;
        {
            CSaveFileNorm recorder(config, 1, prompt);
            StepArrays steps;
            steps.Values[0] = "1.23455E-03";
            steps.Comps[0] = "IN";
            bool ok = recorder.Open(mountPoint + "/full.csv");
            for (; ok && recorded < 100000; ++recorded)
                ok = recorder.Record(recorded, steps.Values, steps.Comps, steps.Judges, steps.Names, "", "23.5");
            EXPECT_FALSE(ok) << "the disk never filled";
            (void)recorder.Finish();
        }
        const std::string text = ReadAll(mountPoint + "/full.csv");
        disk.Undo(mountPoint);
        ASSERT_GT(recorded, 2);
        EXPECT_TRUE(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) << "a partial row is left";
        // Every row before the failed one is there, complete.
        const std::vector<std::string> lines = CrLfLines(text);
        EXPECT_EQ(static_cast<int>(lines.size()), recorded); // header + rows, the failed row absent
        for (size_t i = 1; i < lines.size(); ++i)
            EXPECT_EQ(SplitCsv(lines[i], ',').size(), 6U) << lines[i];
    }
}

TEST(FullDisk, AWorkbookCaptureKeepsEveryRecordedRowInItsJournal)
{
    const FullDisk& disk = kDisks[0]; // the workbook's scratch files lie outside a size limit's reach
    CTempFolder folder;
    const std::string mountPoint = folder / "disk";
    std::filesystem::create_directory(mountPoint);
    std::string reason;
    if (!disk.Make(mountPoint, reason)) {
        GTEST_SKIP() << reason;
    }
    const std::string book = mountPoint + "/full.xlsx";
    CSettingData config = ConfigWith(true, true, true, true, false, true);
    CRecordingPrompt prompt;
    int recorded = 0;
    {
        CSaveExcelNorm recorder(config, prompt, book);
        StepArrays steps;
        steps.Values[0] = "1.23455E-03";
        bool ok = recorder.Open("123456");
        for (; ok && recorded < 100000; ++recorded)
            ok = recorder.Record(recorded, steps.Values, steps.Comps, steps.Judges, steps.Names, "", "23.5");
        EXPECT_FALSE(ok) << "the disk never filled";
        EXPECT_FALSE(recorder.Finish()); // no room for the workbook either
        // The operator is told where the rows wait and how they come back.
        EXPECT_EQ(recorder.KeptIn(), CWorkbookJournal::PathFor(book));
        EXPECT_NE(recorder.RecoverHint().find("\"vx6207-cli recover " + book + "\""), std::string::npos);
    }
    const std::string journal = ReadAll(CWorkbookJournal::PathFor(book));
    disk.Undo(mountPoint);
    ASSERT_GT(recorded, 2);
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.back(), '\n') << "a partial row is left";
    const std::string copy = folder / "copy.journal";
    std::ofstream(copy, std::ios::binary) << journal;
    int rows = 0;
    ASSERT_TRUE(CWorkbookJournal::ForEachRow(copy, [&](const JournalRow& row) {
        rows += row.Header ? 0 : 1;
        return true;
    }));
    EXPECT_EQ(rows, recorded - 1); // every row before the failed one, ready to be restored
}
