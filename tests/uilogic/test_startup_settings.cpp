// The start-up settings and the model change: what the operator is told and what is sent.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "host/model_change.h"
#include "host/startup_settings.h"
#include "link/instrument_link.h"
#include "settings/file_manager.h"
#include "settings/model_info.h"
#include "sim/simulator.h"
#include "temp_folder.h"

namespace {

class CProgressRecorder final : public IProgressWindow {
public:
    void ShowProgress(const std::string& text) override { Shown.push_back(text); }
    void CloseProgress() override { ++Closed; }
    std::vector<std::string> Shown;
    int Closed = 0;
};

class StartupSettings : public ::testing::Test {
protected:
    void SetUp() override { Folder = MakeTempFolder("vx-startup"); }
    void TearDown() override { std::filesystem::remove_all(Folder); }

    // A settings file of the model with a recognisable front range.
    std::string WriteSettings(const std::string& name, int32_t model, int32_t range)
    {
        CRecordingPrompt quiet;
        CFileManager file(quiet);
        InitMeasSetData(file.Data, model);
        file.Data.ModelCode = model;
        file.Data.Front.Cond.Range = range;
        const std::string path = Folder + "/" + name;
        EXPECT_TRUE(file.Save(path));
        return path;
    }

    static std::string TextOf(const MeasSetData& data)
    {
        CRecordingPrompt quiet;
        CFileManager file(quiet);
        file.Data = data;
        return file.Text();
    }

    std::string Folder;
};

} // namespace

TEST_F(StartupSettings, EachSourceGivesItsMessagesAndConditions)
{
    enum class Given { None, Autosave, LineFile, LineFileOtherModel, LineTxt, LineMissing, Malformed, NoModel };
    const struct {
        const char* Name;
        Given What;
        int32_t Configured;
        StartupSource Source;
        std::vector<std::string> Messages;
        int32_t Range; // expected front range; -1: the configured model's default
    } cases[] = {
        { "no file at all", Given::None, 144, StartupSource::Defaults, {}, -1 },
        { "autosave", Given::Autosave, 10, StartupSource::Autosave, {}, 2 },
        { "command-line file", Given::LineFile, 10, StartupSource::CommandLine, {}, 3 },
        { "file of another model", Given::LineFileOtherModel, 10, StartupSource::Defaults, { kSettingFileModelDiffers },
            -1 },
        { "not a .vxf file", Given::LineTxt, 10, StartupSource::Autosave, { kNotVxfFile }, 2 },
        { "missing file", Given::LineMissing, 10, StartupSource::Autosave, { kFileNotFound }, 2 },
        { "malformed autosave", Given::Malformed, 144, StartupSource::Defaults,
            { "Incorrect format found in Line 2.",
                std::string(kLaunchWithDefaults) + "\n{autosave}: line 2: incorrect format" },
            -1 },
        { "no model set", Given::NoModel, 0, StartupSource::CommandLineNoModel, { kSetTheModel }, 3 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::filesystem::remove_all(Folder);
        std::filesystem::create_directories(Folder);
        CSettingData config(Folder);
        config.ModelCode = c.Configured;
        std::vector<std::string> arguments;
        if (c.What == Given::Autosave || c.What == Given::LineTxt || c.What == Given::LineMissing)
            (void)WriteSettings("MeasSetData.ini", c.Configured, 2);
        if (c.What == Given::LineFile || c.What == Given::NoModel)
            arguments.push_back(WriteSettings("mine.vxf", c.Configured, 3));
        if (c.What == Given::LineFileOtherModel)
            arguments.push_back(WriteSettings("theirs.vxf", kModelVx6207A_1, 3));
        if (c.What == Given::LineTxt)
            arguments.push_back(WriteSettings("mine.txt", c.Configured, 3));
        if (c.What == Given::LineMissing)
            arguments.push_back(Folder + "/gone.vxf");
        if (c.What == Given::Malformed)
            std::ofstream(config.AutosavePath()) << "FILE_VER,3\r\nMODEL,10,11\r\n";
        MeasSetData data;
        InitMeasSetData(data, 0);
        CRecordingPrompt prompt;
        EXPECT_EQ(LoadStartupSettings(config, arguments, data, prompt), c.Source);
        std::vector<std::string> expected = c.Messages;
        for (std::string& text : expected) {
            const size_t at = text.find("{autosave}");
            if (at != std::string::npos)
                text.replace(at, std::strlen("{autosave}"), config.AutosavePath());
        }
        EXPECT_EQ(prompt.Texts, expected);
        EXPECT_EQ(data.ModelCode, c.Configured);
        if (c.Range >= 0) {
            EXPECT_EQ(data.Front.Cond.Range, c.Range);
        } else {
            MeasSetData defaults;
            InitMeasSetData(defaults, c.Configured);
            defaults.ModelCode = c.Configured;
            EXPECT_EQ(TextOf(data), TextOf(defaults)); // the configured model's, not model 0's
        }
    }
}

TEST_F(StartupSettings, TransferSendsOnlyToTheConfiguredModel)
{
    const struct {
        const char* Simulated;
        int32_t Configured;
        bool Sent;
        std::vector<std::string> Messages;
        std::vector<std::string> Progress;
    } cases[] = {
        { "VX6207-02", 10, true, {}, { "Transferring settings to VX6207...." } },
        { "VX6208", 2048, true, {}, { "Transferring settings to VX6208...." } },
        { "VX6208", 10, false, { "The model setting and the model of the connection destination are different." }, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Simulated);
        SimOptions options;
        options.Model = c.Simulated;
        CSimulator sim(options);
        ASSERT_TRUE(sim.StartTcp(0));
        CInstrumentLink link;
        link.Interface = InterfaceKind::Lan;
        link.IpAddress = 0x7F000001;
        link.TcpPort = sim.TcpPort();
        MeasSetData data;
        InitMeasSetData(data, c.Configured);
        data.ModelCode = c.Configured;
        data.Front.Cond.Range = 3;
        CRecordingPrompt prompt;
        CProgressRecorder progress;
        EXPECT_EQ(TransferStartupSettings(data, c.Configured, link, prompt, progress), c.Sent);
        EXPECT_EQ(prompt.Texts, c.Messages);
        EXPECT_EQ(progress.Shown, c.Progress);
        EXPECT_EQ(progress.Closed, c.Sent ? 1 : 0);
        // The connection check takes a handful of lines; the settings take dozens.
        EXPECT_EQ(sim.ReceivedLines().size() > 20, c.Sent) << sim.ReceivedLines().size();
        EXPECT_EQ(link.IsOpen, 0);
    }
    EXPECT_EQ(TransferTextOf(kModelVx6207A_1), "Transferring settings to VX6207A....");
}

TEST_F(StartupSettings, AFailedAutosaveIsTold)
{
    CSettingData config(Folder + "/no/such/folder");
    MeasSetData data;
    InitMeasSetData(data, 10);
    CRecordingPrompt prompt;
    EXPECT_FALSE(SaveStartupSettings(config, data, prompt));
    EXPECT_EQ(prompt.Texts, std::vector<std::string> { "Failed to save settings." });
    CSettingData good(Folder);
    prompt.Texts.clear();
    EXPECT_TRUE(SaveStartupSettings(good, data, prompt));
    EXPECT_TRUE(prompt.Texts.empty());
}

TEST(ModelChange, KeepsConditionsWithinAFamilyAndResetsAcross)
{
    const struct {
        int32_t From, To;
        bool Changed, Reset;
        int32_t MuxOnAfter;
    } cases[] = {
        { 8, 10, true, false, 1 },
        { 10, 8, true, false, 0 },
        { 8, 144, true, true, 0 },
        { 10, 2048, true, true, 0 },
        { 2048, 160, true, true, 0 },
        { 10, 10, false, false, 1 },
        { 10, 0, true, false, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.From) + " to " + std::to_string(c.To));
        CSettingData config("/nonexistent");
        config.ModelCode = c.From;
        MeasSetData data;
        InitMeasSetData(data, c.From);
        data.ModelCode = c.From;
        data.MuxOn = 1;
        data.Front.Cond.Speed = 3;
        CRecordingPrompt prompt;
        EXPECT_EQ(ChangeModel(c.To, config, data, prompt), c.Changed);
        EXPECT_EQ(config.ModelCode, c.To);
        EXPECT_EQ(prompt.Texts.size(), c.Reset ? 1U : 0U);
        EXPECT_EQ(data.MuxOn, c.MuxOnAfter);
        if (c.Changed && c.To != 0) {
            EXPECT_EQ(data.ModelCode, c.To);
        }
        EXPECT_EQ(data.Front.Cond.Speed == 3, !c.Reset);
    }
}

TEST(ModelChange, GoingThroughUnsetComparesWithTheConditionsModel)
{
    const struct {
        std::vector<int32_t> Path;
        bool Reset;
    } cases[] = {
        { { 8, 0, 8 }, false },
        { { 8, 0, 10 }, false },
        { { 8, 0, 144 }, true },
        { { 2048, 0, 2048 }, false },
        { { 0, 160 }, true },
    };
    for (const auto& c : cases) {
        CSettingData config("/nonexistent");
        config.ModelCode = c.Path.front();
        MeasSetData data;
        InitMeasSetData(data, c.Path.front());
        data.ModelCode = c.Path.front();
        data.Front.Cond.Speed = 3;
        CRecordingPrompt prompt;
        for (size_t step = 1; step < c.Path.size(); ++step)
            EXPECT_TRUE(ChangeModel(c.Path[step], config, data, prompt));
        SCOPED_TRACE(std::to_string(c.Path.front()) + " to " + std::to_string(c.Path.back()));
        EXPECT_EQ(config.ModelCode, c.Path.back());
        EXPECT_EQ(data.ModelCode, c.Path.back());
        EXPECT_EQ(prompt.Texts.size(), c.Reset ? 1U : 0U);
        EXPECT_EQ(data.Front.Cond.Speed == 3, !c.Reset);
    }
}
