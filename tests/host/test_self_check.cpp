#include <gtest/gtest.h>

#include "host/host_rig.h"
#include "host/panel_names.h"
#include "host/self_check.h"

TEST(SelfCheck, ResultTextsFollowTheReplyBits)
{
    const std::string header = "Self check result : ERROR\n Detail:\n";
    EXPECT_EQ(SelfCheckResultText("0", true), "Self check result : PASS\n");
    EXPECT_EQ(SelfCheckResultText("5", true), header + "  /CPU ROM Error\n  /Memory Error\n");
    EXPECT_EQ(SelfCheckResultText("-1", true), header + "  /Unknown Error\n");
    EXPECT_EQ(SelfCheckResultText("200", true), header + "  /Unknown Error\n");
    EXPECT_EQ(SelfCheckResultText("16", true), header);
    EXPECT_EQ(SelfCheckResultText("", false), "Failed to execute Self-Check.");
    // Only a whole integer is a result; anything else is no answer, never a pass.
    for (const char* garbled : { "", "#@!", "0x", "5 errors", "1.5" })
        EXPECT_EQ(SelfCheckResultText(garbled, true), "Failed to execute Self-Check.") << garbled;
}

TEST(SelfCheck, AGarbledReplyFailsAndTheLinkEndsClosed)
{
    const struct {
        const char* Garble;
        const char* Text;
    } cases[] = {
        { "*TST?", "Failed to execute Self-Check." },
        { "", "Self check result : PASS\n" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Garble);
        SimOptions options;
        options.Model = "VX6207";
        options.GarbleReplyTo = c.Garble;
        CHostRig rig(options);
        CRecordingPrompt prompt(true);
        int busy = 0;
        int done = 0;
        SelfCheckHooks hooks;
        hooks.Busy = [&] {
            EXPECT_EQ(rig.CountReceived("*TST?"), 0U); // the window is busy before the test is sent
            ++busy;
        };
        hooks.Done = [&] { ++done; };
        EXPECT_TRUE(RunSelfCheck(*rig.Controller, rig.Link, rig.Data, prompt, hooks));
        EXPECT_EQ(prompt.Texts.back(), c.Text);
        EXPECT_EQ(busy, 1);
        EXPECT_EQ(done, 1);
        EXPECT_FALSE(rig.Link.IsOpen);
    }
}

TEST(SelfCheck, AnsweringNoSendsNothing)
{
    SimOptions options;
    options.Model = "VX6207";
    options.SelfTestResult = 8;
    CHostRig declined(options);
    CRecordingPrompt no(false);
    EXPECT_FALSE(RunSelfCheck(*declined.Controller, declined.Link, declined.Data, no));
    EXPECT_TRUE(declined.Sim.ReceivedLines().empty());

    CHostRig rig(options);
    CRecordingPrompt yes(true);
    EXPECT_TRUE(RunSelfCheck(*rig.Controller, rig.Link, rig.Data, yes));
    EXPECT_EQ(yes.Texts, (std::vector<std::string> { "Execute self-check?",
                             "Self check result : ERROR\n Detail:\n  /Blown Fuse\n" }));
    EXPECT_FALSE(rig.Link.IsOpen);
}

TEST(Panels, NamesAreReadAndSavedPanelsShowUp)
{
    SimOptions options;
    options.Model = "VX6207-02";
    CHostRig rig(options);
    CRecordingPrompt prompt;
    ASSERT_TRUE(SavePanel(rig.Link, PanelNumber(0, true), "LINE_3_OVEN_EXTRA", prompt));
    ASSERT_TRUE(SavePanel(rig.Link, PanelNumber(29, false), "Bench", prompt));
    // The simulator reads the line on its own thread: wait for it rather than race the close.
    const std::string named = ":SYSTem:PANel:NAME 31,\"LINE_3_OVEN_EXTRA\"";
    EXPECT_TRUE(rig.Host.Pump([&] { return rig.CountReceived(named) >= 1; }, 5000));
    EXPECT_EQ(rig.CountReceived(named), 1U);
    PanelNames panels;
    ASSERT_TRUE(ReadPanelNames(rig.Link, 10, true, panels, prompt));
    EXPECT_EQ(panels.Names[29], "Bench");
    EXPECT_EQ(panels.Used[29], 1);
    EXPECT_EQ(panels.Used[0], 0);
    EXPECT_EQ(panels.Names[30], "LINE_3_OVEN_EXTRA");
    EXPECT_FALSE(rig.Link.IsOpen);
    EXPECT_TRUE(prompt.Texts.empty());
    EXPECT_FALSE(ReadPanelNames(rig.Link, 2048, false, panels, prompt));
    EXPECT_EQ(prompt.Texts.front(), "The model setting and the model of the connection destination are different.");
}

TEST(Panels, AFailedSaveTellsAndLeavesTheLinkClosed)
{
    SimOptions options;
    options.Model = "VX6207";
    CHostRig unreachable(options, false);
    CRecordingPrompt prompt;
    EXPECT_FALSE(SavePanel(unreachable.Link, 1, "Bench", prompt));
    EXPECT_EQ(prompt.Texts, std::vector<std::string> { "Failed to save panel information." });

    // The instrument hangs up after the first line: the name cannot be sent any more.
    options.CloseAfterLines = 1;
    CHostRig rig(options);
    ASSERT_TRUE(rig.Link.Open());
    ASSERT_TRUE(rig.Link.SendCommand("*CLS"));
    ASSERT_NE(rig.Link.WaitForInput(5000), WaitResult::Timeout); // the hang-up arrives as end of input
    prompt.Texts.clear();
    EXPECT_FALSE(SendPanelSave(rig.Link, 2, "Bench", prompt));
    EXPECT_EQ(prompt.Texts, std::vector<std::string> { "Failed to save panel information." });
    EXPECT_FALSE(rig.Link.IsOpen);
}

TEST(Panels, MuxPanelsNeedAMuxModelAndNamesAreChecked)
{
    SimOptions options;
    options.Model = "VX6207";
    CHostRig rig(options);
    CRecordingPrompt prompt;
    PanelNames panels;
    EXPECT_FALSE(ReadPanelNames(rig.Link, 8, true, panels, prompt));
    EXPECT_EQ(prompt.Texts, std::vector<std::string> { "MUX is unsupported." });
    EXPECT_EQ(CheckPanelName(""), "Panel name not entered.");
    EXPECT_EQ(CheckPanelName("bad name"), "Please use 0-9 or A-z.");
    EXPECT_EQ(CheckPanelName("Line_3"), "");
}
