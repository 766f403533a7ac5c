#include <gtest/gtest.h>

#include "acquisition/reply_check.h"
#include "acquisition/reply_processing.h"

TEST(ReplyProcessing, SingleResultsSplitAndMapTheirJudgement)
{
    struct Case {
        const char* Reply;
        const char* Value;
        const char* Judge;
        int32_t Colour;
    };
    const Case cases[] = {
        { "1.23456E-03,IN", "1.23456E-03", "IN", kCompGreen },
        { "1.23456E-03,HI", "1.23456E-03", "Hi", kCompRed },
        { "1.23456E-03,LO", "1.23456E-03", "Lo", kCompRed },
        { "1.23456E-03,OFF", "1.23456E-03", "---", kCompWhite },
        { "1.23456E-03,in", "1.23456E-03", "---", kCompWhite },
        { "+OvrRange", "+OvrRange", "---", kCompWhite },
        { ",IN", "", "IN", kCompGreen },
        { "", "", "---", kCompWhite },
        { "1.0,IN,extra", "1.0", "---", kCompWhite },
    };
    for (const Case& c : cases) {
        const SingleResult result = ProcessSingleResult(c.Reply);
        EXPECT_EQ(result.Value, c.Value) << c.Reply;
        EXPECT_EQ(result.Judge, c.Judge) << c.Reply;
        EXPECT_EQ(result.Colour, c.Colour) << c.Reply;
    }
}

TEST(ReplyProcessing, ChannelResultsMapOffAndColourTheJudgeCell)
{
    struct Case {
        const char* Reply;
        const char* Value;
        const char* Comp;
        const char* Judge;
        uint8_t Cell;
    };
    const Case cases[] = {
        { "1.0E-03,IN,PASS", "1.0E-03", "IN", "PASS", 3 },
        { "9.9E+00,HI,FAIL", "9.9E+00", "HI", "FAIL", 2 },
        { "+OvrRange,OFF,ERR", "+OvrRange", "---", "ERR", 7 },
        { "1.0E-03,OFF,OFF", "1.0E-03", "---", "----", 5 },
        { "1.0E-03", "1.0E-03", "", "", 5 },
    };
    for (const Case& c : cases) {
        const ChannelResult result = ProcessChannelResult(c.Reply);
        EXPECT_EQ(result.Value, c.Value) << c.Reply;
        EXPECT_EQ(result.Comp, c.Comp) << c.Reply;
        EXPECT_EQ(result.Judge, c.Judge) << c.Reply;
        EXPECT_EQ(result.JudgeCellColour, c.Cell) << c.Reply;
    }
}

TEST(ReplyProcessing, TotalJudgementsKeepOnlyKnownWords)
{
    EXPECT_EQ(ProcessTotalJudgement("PASS").Colour, kTotalGreen);
    EXPECT_EQ(ProcessTotalJudgement("FAIL").Colour, kTotalRed);
    EXPECT_EQ(ProcessTotalJudgement("ERR").Colour, kTotalYellow);
    const TotalJudgement lower = ProcessTotalJudgement("pass");
    EXPECT_EQ(lower.Text, "----");
    EXPECT_EQ(lower.Colour, kTotalWhite);
    EXPECT_EQ(ValueBoxTitle(0), "Measurement Value No.1");
    EXPECT_EQ(ValueBoxTitle(-1), "Measurement Value");
}

TEST(ReplyProcessing, OnlyRepliesOfTheRequestedFormCountAsMeasurements)
{
    struct Case {
        const char* Reply;
        ReplyForm Form;
        bool Accepted;
    };
    const Case cases[] = {
        { "1.23456E-03", ReplyForm::Value, true },
        { "+1.2345E+02", ReplyForm::Value, true },
        { "OverRange", ReplyForm::Value, true },
        { "1.23456E-", ReplyForm::Value, false },
        { "E-03", ReplyForm::Value, false },
        { "", ReplyForm::Value, false },
        { "\x7F#@\x01\xFE%", ReplyForm::Value, false },
        { "1.23456E-03,IN", ReplyForm::Value, false },
        { "1.23456E-03,IN", ReplyForm::ValueAndJudge, true },
        { "OverRange,HI", ReplyForm::ValueAndJudge, true },
        { "1.23456E-03,OFF", ReplyForm::ValueAndJudge, true },
        { "1.23456E-03", ReplyForm::ValueAndJudge, false },
        { "1.23456E-03,in", ReplyForm::ValueAndJudge, false },
        { "1.23456E-03,IN,PASS", ReplyForm::Channel, true },
        { "--------,OFF,OFF", ReplyForm::Channel, true },
        { "1.23456E-03,HI,ERR", ReplyForm::Channel, true },
        { "1.23456E-03,IN,PASS,1", ReplyForm::Channel, false },
        { "1.23456E-03,IN", ReplyForm::Channel, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsMeasurementReply(c.Reply, c.Form), c.Accepted) << c.Reply;
}
