#include <gtest/gtest.h>

#include "host/host_rig.h"
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
