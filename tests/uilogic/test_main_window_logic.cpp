// The main window's rules without a window: enables per state and model, field exchange, the
// default result path, the model choice and the command line.
#include <gtest/gtest.h>

#include "uilogic/app_command_line.h"
#include "uilogic/field_exchange.h"
#include "uilogic/main_window_state.h"
#include "uilogic/result_path.h"
#include "uilogic/small_dialog_logic.h"

namespace {

struct EnableCase {
    const char* Name;
    MainWindowState State;
    MainWindowFacts Facts;
    bool Options, Start, Capture, Stop, ManualChannel;
    std::array<bool, kMenuCommandCount> Menu;
};

constexpr std::array<bool, kMenuCommandCount> kAllMenus = { true, true, true, true, true, true };
constexpr std::array<bool, kMenuCommandCount> kNoMenus = {};
constexpr std::array<bool, kMenuCommandCount> kModelAndHelp = { true, false, false, false, false, true };

} // namespace

TEST(MainWindowEnables, FollowStateMethodAndMux)
{
    const EnableCase cases[] = {
        { "idle front", MainWindowState::Idle, { 0, false, false, false }, true, true, false, true, false, kAllMenus },
        { "idle MUX manual", MainWindowState::Idle, { 2, false, true, false }, true, true, false, true, true,
            kAllMenus },
        { "idle MUX scan", MainWindowState::Idle, { 0, false, true, true }, true, true, false, true, false, kAllMenus },
        { "measuring by key", MainWindowState::Measuring, { 0, true, false, false }, false, false, true, true, false,
            kNoMenus },
        { "measuring by trigger", MainWindowState::Measuring, { 1, true, false, false }, false, false, false, true,
            false, kNoMenus },
        { "measuring MUX manual", MainWindowState::Measuring, { 2, true, true, false }, false, false, false, true,
            false, kNoMenus },
        { "self-check", MainWindowState::SelfCheck, { 0, false, false, false }, false, false, false, false, false,
            kNoMenus },
        { "no model", MainWindowState::NoModel, { 0, false, false, false }, false, false, false, false, false,
            kModelAndHelp },
        { "no model, interval", MainWindowState::NoModel, { 2, false, true, false }, false, false, false, false, true,
            kModelAndHelp },
    };
    for (const EnableCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const MainWindowEnables e = EnablesFor(c.State, c.Facts);
        EXPECT_EQ(e.Options, c.Options);
        EXPECT_EQ(e.Start, c.Start);
        EXPECT_EQ(e.Capture, c.Capture);
        EXPECT_EQ(e.FocusCapture, c.Capture);
        EXPECT_EQ(e.Stop, c.Stop);
        EXPECT_EQ(e.ManualChannel, c.ManualChannel);
        EXPECT_EQ(e.Menu, c.Menu);
    }
    EXPECT_EQ(StateForModel(0), MainWindowState::NoModel);
    EXPECT_EQ(StateForModel(10), MainWindowState::Idle);
}

TEST(FieldExchange, ReadsNumbersAndTextsOrSaysWhy)
{
    struct Case {
        const char* Text;
        bool DoubleOk;
        bool IntOk;
        bool RangeOk; // 1 to 42
    } const cases[] = {
        { "2.37", true, false, false },
        { " 5 ", true, true, true },
        { "-1", true, true, false },
        { "abc", false, false, false },
        { "", false, false, false },
        { "42", true, true, true },
        { "43", true, true, false },
        { "1e3", true, false, false },
        { "2,5", false, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        std::string message;
        double number = -7.0;
        EXPECT_EQ(ExchangeDouble(c.Text, number, message), c.DoubleOk);
        EXPECT_EQ(message, c.DoubleOk ? "" : kEnterNumber);
        message.clear();
        int32_t integer = -7;
        EXPECT_EQ(ExchangeInt(c.Text, integer, message), c.IntOk);
        EXPECT_EQ(message, c.IntOk ? "" : kEnterInteger);
        message.clear();
        int32_t channel = -7;
        EXPECT_EQ(ExchangeIntRange(c.Text, 1, 42, channel, message), c.RangeOk);
        EXPECT_EQ(message, c.RangeOk ? "" : "Enter an integer between 1 and 42.");
        if (!c.RangeOk) {
            EXPECT_EQ(channel, -7);
        }
    }
    std::string name;
    std::string message;
    EXPECT_TRUE(ExchangeText("CH_12", 5, name, message));
    EXPECT_FALSE(ExchangeText("CH_123", 5, name, message));
    EXPECT_EQ(message, "Enter no more than 5 characters.");
    EXPECT_EQ(name, "CH_12");
}

TEST(ResultPath, DateNamedFileInTheConfiguredFolder)
{
    std::tm when {};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 0;
    when.tm_mday = 2;
    when.tm_hour = 3;
    when.tm_min = 4;
    when.tm_sec = 5;
    EXPECT_EQ(DefaultResultPath("/data/results", "csv", when), "/data/results/20260102030405.csv");
    const struct {
        const char* Path;
        const char* Folder;
        const char* Extension;
    } cases[] = { { "/a/b/c.txt", "/a/b", "txt" }, { "/a.b/c", "/a.b", "" }, { "name.dat", "", "dat" } };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderOfPath(c.Path), c.Folder) << c.Path;
        EXPECT_EQ(ExtensionOfPath(c.Path), c.Extension) << c.Path;
    }
}

TEST(ModelSetting, ShowsTheModelAndReturnsTheChoiceOrTheModelItWasOpenedWith)
{
    const struct {
        int32_t OpenedWith;
        int Shown;
        int Choice; // -1: OK without a choice
        int32_t Returned;
    } cases[] = {
        { 10, 3, -1, 10 },
        { 12, 0, -1, 12 },
        { 12, 0, 0, 0 },
        { 0, 0, 6, 2048 },
        { 8, 1, 5, 160 },
        { 99, 0, 9, 99 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.OpenedWith);
        CModelSetLogic logic(c.OpenedWith);
        EXPECT_EQ(logic.SelectedIndex(), c.Shown);
        if (c.Choice >= 0)
            logic.Select(c.Choice);
        EXPECT_EQ(logic.Accept(), c.Returned);
    }
}

TEST(CaptureSettingsChoices, PortsBaudRatesAndFilterTime)
{
    EXPECT_EQ(BaudIndexOf(38400), 2);
    EXPECT_EQ(BaudIndexOf(4800), 0);
    EXPECT_EQ(PortIndexOf({ "/dev/ttyS0", "/dev/ttyUSB0" }, "/dev/ttyUSB0"), 1);
    EXPECT_EQ(PortIndexOf({ "/dev/ttyS0" }, "COM9"), 0);
    EXPECT_EQ(PortIndexOf({}, "COM9"), -1);
    const struct {
        const char* Text;
        bool Ok;
    } cases[] = { { "0", true }, { "1000", true }, { "1001", false }, { "-1", false }, { "10ms", false } };
    for (const auto& c : cases) {
        int32_t value = 5;
        std::string message;
        EXPECT_EQ(CheckFilterTime(c.Text, value, message), c.Ok) << c.Text;
        EXPECT_EQ(message, c.Ok ? "" : "Enter an integer between 0 and 1000.") << c.Text;
    }
}

TEST(AppCommandLine, SettingsFileAndSimulation)
{
    const struct {
        std::vector<std::string> Arguments;
        bool Ok;
        size_t Files;
        bool Simulate;
        std::string SimulatedAs; // configured model 8
    } cases[] = {
        { {}, true, 0, false, "VX6207" },
        { { "a.vxf" }, true, 1, false, "VX6207" },
        { { "--simulate" }, true, 0, true, "VX6207" },
        { { "a.vxf", "--simulate=VX6208" }, true, 1, true, "VX6208" },
        { { "--simulate=VX9999" }, false, 0, true, "" },
        { { "--verbose" }, false, 0, false, "" },
    };
    for (const auto& c : cases) {
        AppCommandLine parsed;
        std::string error;
        EXPECT_EQ(ParseAppCommandLine(c.Arguments, parsed, error), c.Ok);
        if (!c.Ok) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(parsed.Files.size(), c.Files);
        EXPECT_EQ(parsed.Simulate, c.Simulate);
        EXPECT_EQ(SimulatedModelName(parsed, 8), c.SimulatedAs);
    }
    AppCommandLine plain;
    EXPECT_EQ(SimulatedModelName(plain, 0), "VX6207-02");
}
