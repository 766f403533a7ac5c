#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "settings/setting_data.h"
#include "temp_folder.h"

namespace {

class CIniFolder {
public:
    CIniFolder()
    {
        m_path = MakeTempFolder("vx-ini");
    }
    ~CIniFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    const std::string& Path() const { return m_path; }
    void Write(const std::string& text) const { std::ofstream(m_path + "/Vx6207App.ini", std::ios::binary) << text; }
    std::string Read() const
    {
        std::ifstream file(m_path + "/Vx6207App.ini", std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

private:
    std::string m_path;
};

} // namespace

TEST(SettingData, AMissingOrCorruptFileGivesTheDefaults)
{
    for (const char* content : { "", "\x01\x02garbage\xff[[[\n=\n", "[COMM]\nBaudRate\n" }) {
        CIniFolder folder;
        if (*content != '\0')
            folder.Write(content);
        CSettingData config(folder.Path());
        config.Load();
        EXPECT_EQ(config.ModelCode, 0);
        EXPECT_EQ(config.ComNo, "COM1");
        EXPECT_EQ(config.BaudRate, 9600);
        EXPECT_EQ(config.LanPort, 23);
        EXPECT_EQ(config.LanIPAddr, 3232235521U);
        EXPECT_EQ(config.LanIPOctets, (std::array<int32_t, 4> { 192, 168, 0, 1 }));
        EXPECT_EQ(config.SaveDataIndex + config.SaveDate + config.SaveTime + config.SaveJudge, 4);
        EXPECT_EQ(config.SaveMuxJudge + config.SaveTemp + config.FilterEnable, 0);
        EXPECT_EQ(config.FilterTime, 100);
        EXPECT_EQ(config.FileDir, folder.Path());
        EXPECT_EQ(config.FileExtension, "csv");
        EXPECT_EQ(config.LogLimit, 1);
    }
}

TEST(SettingData, LoadingNormalisesFlagsAndExtensions)
{
    const std::pair<const char*, const char*> extensions[] = { { "CSV", "csv" }, { "log", "csv" }, { "txt", "txt" },
        { "dat", "dat" } };
    for (const auto& [stored, loaded] : extensions) {
        CIniFolder folder;
        folder.Write(std::string("[SAVE]\r\nSaveDate=5\r\nSaveTemp=-2\r\n[FILE_TYPE]\r\nFileExtension=") + stored + "\r\n");
        CSettingData config(folder.Path());
        config.Load();
        EXPECT_EQ(config.SaveDate, 1);
        EXPECT_EQ(config.SaveTemp, 1);
        EXPECT_EQ(config.FileExtension, loaded) << stored;
    }
}

TEST(SettingData, ValuesNotTakenAsStoredFallBackAndNameTheirKey)
{
    struct Case {
        const char* Stored;
        const char* Key; // the key a note names; empty: no note
        int32_t Separator;
        int32_t SaveDate;
    };
    const Case cases[] = {
        { "[FILE_TYPE]\r\nSeparator=7\r\n", "Separator", 0, 1 },
        { "[FILE_TYPE]\r\nSeparator=-1\r\n", "Separator", 0, 1 },
        { "[FILE_TYPE]\r\nSeparator=\"1\"\r\n", "Separator", 0, 1 },
        { "[FILE_TYPE]\r\nSeparator=3\r\n", "", 3, 1 },
        { "[SAVE]\r\nSaveDate=\"1\"\r\n", "SaveDate", 0, 0 }, // unreadable is 0, as it always was
        { "[SAVE]\r\nSaveDate=5\r\n", "", 0, 1 },                 // any non-zero flag is on
        { "[FILE_TYPE]\r\nFileExtension=log\r\n", "FileExtension", 0, 1 },
        { "[FILE_TYPE]\r\nDecimal=2\r\n", "Decimal", 0, 1 },
    };
    for (const Case& c : cases) {
        CIniFolder folder;
        folder.Write(c.Stored);
        CSettingData config(folder.Path());
        config.Load();
        EXPECT_EQ(config.Separator, c.Separator) << c.Stored;
        EXPECT_EQ(config.SaveDate, c.SaveDate) << c.Stored;
        EXPECT_EQ(config.Decimal, 0) << c.Stored;
        if (*c.Key == '\0') {
            EXPECT_TRUE(config.LoadWarnings.empty()) << c.Stored;
            continue;
        }
        ASSERT_EQ(config.LoadWarnings.size(), 1U) << c.Stored;
        EXPECT_EQ(config.LoadWarnings.begin()->first, c.Key);
        EXPECT_NE(config.LoadWarnings.begin()->second.find(std::string("Configuration: ") + c.Key + "="), std::string::npos)
            << config.LoadWarnings.begin()->second;
    }
}

TEST(SettingData, SaveAndLoadRoundTripWithTheAddressAsASignedNumber)
{
    CIniFolder folder;
    CSettingData config(folder.Path());
    config.ModelCode = 2048;
    config.ComNo = "/dev/ttyUSB3";
    config.BaudRate = 115200;
    config.IFSelect = 1;
    config.LanIPAddr = 3232235521U;
    config.LanPort = 5025;
    config.SaveTemp = 1;
    config.FilterEnable = 1;
    config.FilterTime = 250;
    config.Decimal = 1;
    config.Separator = 2;
    config.LogType = 2;
    config.LogInterval = 15;
    config.LogLimit = 40;
    config.FileExtension = "txt";
    CRecordingPrompt prompt;
    ASSERT_TRUE(config.Save(prompt));
    ASSERT_TRUE(config.SaveWindowKeys(prompt));
    const std::string text = folder.Read();
    EXPECT_NE(text.find("LanIPAddr=-1062731775\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[MODEL]\r\nModelCode=2048\r\n"), std::string::npos) << text;

    CSettingData loaded(folder.Path());
    loaded.Load();
    EXPECT_EQ(loaded.ModelCode, 2048);
    EXPECT_EQ(loaded.ComNo, "/dev/ttyUSB3");
    EXPECT_EQ(loaded.BaudRate, 115200);
    EXPECT_EQ(loaded.IFSelect, 1);
    EXPECT_EQ(loaded.LanIPAddr, 3232235521U);
    EXPECT_EQ(loaded.LanPort, 5025);
    EXPECT_EQ(loaded.SaveTemp, 1);
    EXPECT_EQ(loaded.FilterTime, 250);
    EXPECT_EQ(loaded.Decimal, 1);
    EXPECT_EQ(loaded.Separator, 2);
    EXPECT_EQ(loaded.LogType, 2);
    EXPECT_EQ(loaded.LogInterval, 15);
    EXPECT_EQ(loaded.LogLimit, 40);
    EXPECT_EQ(loaded.FileExtension, "txt");
    EXPECT_TRUE(prompt.Texts.empty());
}

TEST(SettingData, AFolderThatCannotBeWrittenReportsTheFailure)
{
    CSettingData config("/nonexistent-folder/deeper");
    CRecordingPrompt prompt;
    EXPECT_FALSE(config.Save(prompt));
    EXPECT_EQ(prompt.Texts, std::vector<std::string> { "Failed to save settings." });
}

#ifndef _WIN32 // the XDG folders of an installed copy
TEST(SettingData, InstalledExecutablesKeepTheirDataInTheUserConfigFolder)
{
    CIniFolder home;
    setenv("XDG_CONFIG_HOME", home.Path().c_str(), 1);
    EXPECT_EQ(CSettingData::DecideDataFolder("/usr/bin/vx6207-app"), home.Path() + "/ZORVI/VX6207App");
    EXPECT_TRUE(std::filesystem::is_directory(home.Path() + "/ZORVI/VX6207App"));
    EXPECT_EQ(CSettingData::DecideDataFolder("/opt/vx/bin/vx6207-app"), home.Path() + "/ZORVI/VX6207App");
    EXPECT_EQ(CSettingData::DecideDataFolder("/home/op/build/vx6207-app"), "/home/op/build");
    unsetenv("XDG_CONFIG_HOME");
}
#endif
