#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "settings/file_items.h"
#include "settings/file_manager.h"
#include "settings/model_info.h"
#include "settings/settings_test_support.h"

TEST(FileManager, OutputIsByteExact)
{
    CSettingsFolder folder;
    CRecordingPrompt prompt;
    CFileManager manager(prompt);
    manager.Data.ModelCode = 8;
    ASSERT_TRUE(manager.Save(folder / "d.vxf"));
    const std::string text = CSettingsFolder::Read(folder / "d.vxf");
    EXPECT_EQ(text.substr(0, 40), "FILE_VER,3\r\nMODEL,8\r\nMUX_ON,0\r\nMUX_SCAN,");
    for (const char* line :
        { "\r\nDT,0,23.000000,1.000000e+00,235.000000\r\n", "\r\nSCALING,0,1.000000e+00,0.000000e+00,0,\r\n",
            "\r\n0ADJ,9,0,0\r\nLP_0ADJ,0,0,0\r\n", "\r\nBIN_BIT,9,0,0,0,0\r\nOVER_RANGE",
            "\r\nMUX_BEEP_TYPE,4,0,2\r\n\r\nMUX_PIN,0,0,1,CH1,0,1,1,0,1\r\n", "\r\nMUX_COMP,0,41,0,0,0,0,0,2\r\n",
            "\r\nMUX_AUTO_HOLD,1,3,0\r\n", "\r\nMUX_TC,1,0,0,20.000000,3930\r\n" })
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(text.find("MUX_ATC_"), std::string::npos);
    EXPECT_EQ(text.find("0ADJ,10,"), std::string::npos);
    size_t lines = 0;
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2)
        ++lines;
    // 39 general keys (0ADJ 10 lines, LP_0ADJ 4, BEEP_TYPE 5, BIN_BIT 10, MUX_BEEP_TYPE 5), two separators,
    // 2 x 42 x (22 keys, MUX_0ADJ 10 lines and MUX_LP_0ADJ 4).
    EXPECT_EQ(lines, (39 - 5 + 10 + 4 + 5 + 10 + 5) + 2 + 2 * 42 * (22 - 2 + 10 + 4));
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);

    manager.Data.ModelCode = 2048;
    ASSERT_TRUE(manager.Save(folder / "d.vxf"));
    EXPECT_NE(CSettingsFolder::Read(folder / "d.vxf").find("\r\nMUX_ATC_100M_HI,1,41,0\r\n"), std::string::npos);
}

TEST(FileManager, ShortFilesAnyOrderAndLfEndingsLoad)
{
    CSettingsFolder folder;
    CRecordingPrompt prompt;
    CFileManager manager(prompt);
    ASSERT_TRUE(manager.Load(folder.Write("m.vxf", "MODEL,8\n"), 9));
    EXPECT_EQ(manager.Data.ModelCode, 9); // same family: the current model
    ASSERT_TRUE(manager.Load(folder.Write("m.vxf", "\nno comma here\nSPEED,3\r\nMODEL,8\r\n\r\n"), 2048));
    EXPECT_EQ(manager.Data.ModelCode, 8);
    EXPECT_EQ(manager.Data.Front.Cond.Speed, 3);
    ASSERT_TRUE(manager.Load(folder.Write("e.vxf", ""), 8));
    EXPECT_TRUE(prompt.Texts.empty());
}

TEST(FileManager, ModelReconciliationFollowsTheFileVersion)
{
    CSettingsFolder folder;
    CRecordingPrompt prompt;
    CFileManager manager(prompt);
    ASSERT_TRUE(manager.Load(folder.Write("a.vxf", "FILE_VER,3\nMODEL,12\nMUX_ON,1\n"), 9));
    EXPECT_EQ(manager.Data.ModelCode, 9);
    EXPECT_EQ(manager.Data.MuxOn, 0); // the VX6207-01 has no MUX
    ASSERT_TRUE(manager.Load(folder.Write("a.vxf", "FILE_VER,3\nMODEL,12\nMUX_ON,1\n"), 144));
    EXPECT_EQ(manager.Data.ModelCode, 12);
    EXPECT_EQ(manager.Data.MuxOn, 1);
    ASSERT_TRUE(manager.Load(folder.Write("b.vxf", "FILE_VER,1\nMODEL,2048\n"), 144));
    EXPECT_EQ(manager.Data.ModelCode, 8);
    // Without a FILE_VER line the version of the last one read stays in force.
    ASSERT_TRUE(manager.Load(folder.Write("c.vxf", "MODEL,2048\n"), 10));
    EXPECT_EQ(manager.Data.ModelCode, 10);
    CFileManager saver(prompt);
    ASSERT_TRUE(saver.Save(folder / "reset.vxf")); // a save brings back the current version
    EXPECT_EQ(FileVersion, 3);
}

TEST(FileManager, OldFilesPullTerminalsIntoRange)
{
    CSettingsFolder folder;
    CRecordingPrompt prompt;
    CFileManager manager(prompt);
    ASSERT_TRUE(manager.Load(folder.Write("old.vxf", "FILE_VER,0\nMODEL,10\nMUX_PIN,0,5,1,CH6,0,0,15,0,1\n"), 10));
    EXPECT_EQ(manager.Data.Pins4Wire[5].TermA, 1);
    EXPECT_EQ(manager.Data.Pins4Wire[5].TermB, 10);
    EXPECT_EQ(prompt.Texts, (std::vector<std::string> { kOldVersionNotice, kTerminalsAdjusted }));
    FileVersion = kCurrentFileVersion;
}

TEST(FileManager, MalformedFilesFailWithTheRightMessage)
{
    struct Case {
        std::string Text;
        int32_t Model;
        std::string Message; // empty: fails without a message of its own
    };
    const std::string huge = "MODEL," + std::string(10 * 1024 * 1024, '7') + ",1\n";
    const Case cases[] = {
        { "MODEL,8\nRANGE,5,1\n", 8, "Incorrect format found in Line 2." },
        { "MODEL,8\n\nAVG,1\n", 8, "Incorrect format found in Line 3." },
        { "MUX_PIN,0,0,1,ELEVENCHARS,0,1,1,0,1\n", 8, "Incorrect format found in Line 1." },
        { "MUX_PIN,0,0,1,A,B,0,1,1,0,1\n", 8, "Incorrect format found in Line 1." },
        { "MUX_PIN,0,42,1,CH,0,1,1,0,1\n", 8, "Incorrect format found in Line 1." },
        { "SCALING,0,1.0,0.0,2,ABCD\n", 8, "Incorrect format found in Line 1." },
        { "BEEP_TYPE,5,0,2\n", 8, "Incorrect format found in Line 1." },
        { "MODEL,8\nLP_0ADJ,10,1,5\n", 8, "Incorrect format found in Line 2." },
        { "MODEL,8\nSPEED,9\n", 8, "Errors found in the save settings." },
        { "MODEL,2048\nMUX_ATC_TC,0,0,0,20.0,3930\n", 8, "" },
        { "NO_SUCH_KEY,1\n", 8, "" },
        { huge, 8, "Incorrect format found in Line 1." },
        { std::string("\x00\x01\xff,\xfe\x80\n", 7), 8, "" },
    };
    for (const Case& c : cases) {
        CSettingsFolder folder;
        CRecordingPrompt prompt;
        CFileManager manager(prompt);
        EXPECT_FALSE(manager.Load(folder.Write("bad.vxf", c.Text), c.Model)) << c.Text.substr(0, 40);
        EXPECT_EQ(
            prompt.Texts, c.Message.empty() ? std::vector<std::string> {} : std::vector<std::string> { c.Message })
            << c.Text.substr(0, 40);
    }
    CSettingsFolder folder;
    CRecordingPrompt prompt;
    CFileManager manager(prompt);
    EXPECT_FALSE(manager.Load(folder / "", 8)); // a folder
    EXPECT_FALSE(manager.Load(folder / "missing.vxf", 8));
    EXPECT_TRUE(prompt.Texts.empty());
}

TEST(FileManager, ArrayIndexesOutsideTheModelAreIgnoredOrRefused)
{
    CSettingsFolder folder;
    CRecordingPrompt prompt;
    CFileManager manager(prompt);
    ASSERT_TRUE(manager.Load(folder.Write("z.vxf", "MODEL,8\n0ADJ,10,1,5\n"), 8));
    EXPECT_EQ(manager.Data.Front.Cond.ZeroAdjOn[10], 0);
    ASSERT_TRUE(manager.Load(folder.Write("z.vxf", "MODEL,144\n0ADJ,10,1,5\nLP_0ADJ,10,1,6\nDT,0,23,1,235.0\n"), 144));
    EXPECT_EQ(manager.Data.Front.Cond.ZeroAdjValue[10], 5);
    EXPECT_EQ(manager.Data.Front.Cond.LpZeroAdjValue[10], 6);
    EXPECT_EQ(manager.Data.Front.Cond.DtR1, 1.0);
    ASSERT_TRUE(manager.Load(
        folder.Write("h.vxf", "MODEL,10\nMUX_AUTO_HOLD,0,0,1\nMUX_AUTO_HOLD,1,41,0\nSCALING,0,1,0,2,\n"), 10));
    EXPECT_EQ(manager.Data.MuxAutoHold, 0); // the last line read wins
    EXPECT_EQ(manager.Data.Front.Cond.ScalingUnitText, "");
}

TEST(FileManager, AFailedSaveKeepsThePreviousFile)
{
    CSettingsFolder folder;
    CRecordingPrompt prompt;
    CFileManager manager(prompt);
    const std::string path = folder.Write("keep.vxf", "MODEL,8\n");
    EXPECT_FALSE(manager.Save(folder / "no-such-folder/x.vxf"));
    EXPECT_FALSE(manager.Save("/dev/full"));
    EXPECT_EQ(CSettingsFolder::Read(path), "MODEL,8\n");
    ASSERT_TRUE(manager.Save(path));
    EXPECT_EQ(std::filesystem::directory_iterator(folder / "") != std::filesystem::directory_iterator(), true);
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder / ""))
        ++files;
    EXPECT_EQ(files, 1U); // no temporary file left behind
}

#ifndef _WIN32 // POSIX file semantics: pipes, modes and symbolic links
TEST(FileManager, UnreadablePathsFailWithoutAMessage)
{
    CSettingsFolder folder;
    CRecordingPrompt prompt;
    CFileManager manager(prompt);
    // A pipe is no settings file; opening it for reading would wait for a writer.
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(manager.Load(folder / "pipe", 8));
    EXPECT_FALSE(manager.Load(folder / "missing/deeper.vxf", 8));
    EXPECT_TRUE(prompt.Texts.empty());
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads files without read permission";
    const std::string locked = folder.Write("locked.vxf", "MODEL,8\n");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    EXPECT_FALSE(manager.Load(locked, 8));
    EXPECT_TRUE(prompt.Texts.empty());
}
#endif

#ifndef _WIN32 // POSIX file semantics: pipes, modes and symbolic links
TEST(FileManager, SaveReplacesTheTargetAndKeepsWhatSurroundsIt)
{
    CSettingsFolder folder;
    CRecordingPrompt prompt;
    CFileManager manager(prompt);
    const std::string real = folder.Write("real.vxf", "MODEL,8\n");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    std::filesystem::create_symlink(real, folder / "link.vxf");
    ASSERT_TRUE(manager.Save(folder / "link.vxf"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.vxf")); // the link stays a link
    EXPECT_EQ(CSettingsFolder::Read(real).substr(0, 12), "FILE_VER,3\r\n");
    struct stat info { };
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640U); // the replaced file's permissions carry over

    EXPECT_FALSE(manager.Save(folder / "")); // a folder
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(real.c_str(), 0440), 0);
        EXPECT_FALSE(manager.Save(real)); // a write-protected file stays as it is
    }
}
#endif
