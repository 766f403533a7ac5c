#include <gtest/gtest.h>

#include <regex>

#include "recording/recording_test_support.h"
#include "recording/save_file.h"

namespace {

StepArrays Steps(std::initializer_list<const char*> names)
{
    StepArrays steps;
    size_t i = 0;
    for (const char* name : names)
        steps.Names[i++] = name;
    return steps;
}

bool RecordOne(CSaveResult& recorder, int number, const StepArrays& steps, const std::string& total = "PASS",
    const std::string& temperature = "23.5")
{
    return recorder.Record(number, steps.Values, steps.Comps, steps.Judges, steps.Names, total, temperature);
}

} // namespace

TEST(TextRecorders, HeaderAndRowsFollowTheCaptureItems)
{
    CTempFolder folder;
    CSettingData config = ConfigWith(true, true, false, false, false, false);
    CRecordingPrompt prompt;
    CSaveFileNorm recorder(config, 1, prompt);
    ASSERT_TRUE(recorder.Open(folder / "a.csv"));
    StepArrays steps;
    for (int i = 0; i < 3; ++i) {
        steps.Values[0] = "1.2345" + std::to_string(i) + "E-03";
        ASSERT_TRUE(RecordOne(recorder, i, steps));
    }
    ASSERT_TRUE(recorder.Finish());
    const std::vector<std::string> lines = CrLfLines(ReadAll(folder / "a.csv"));
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_EQ(lines[0], "Number,Date,MeasValue,");
    EXPECT_TRUE(std::regex_match(lines[3], std::regex(R"(3,"\d{4}-\d{2}-\d{2}",1\.23452E-03)"))) << lines[3];
    EXPECT_TRUE(prompt.Texts.empty());
}

TEST(TextRecorders, EverySeparatorAndDecimalPointReadsBackAsTheSameFields)
{
    const char separators[] = { ',', ';', '\t', ' ' };
    for (int separator = 0; separator < 4; ++separator) {
        for (int decimal = 0; decimal < 2; ++decimal) {
            if (separator == 0 && decimal == 1)
                continue; // a comma for both would make the file ambiguous
            CTempFolder folder;
            CSettingData config = ConfigWith(true, true, true, true, false, true);
            config.Separator = separator;
            config.Decimal = decimal;
            CRecordingPrompt prompt;
            CSaveFileNorm recorder(config, 1, prompt);
            ASSERT_TRUE(recorder.Open(folder / "r.txt"));
            StepArrays steps;
            steps.Values[0] = "1.2345E-03";
            steps.Comps[0] = "IN";
            ASSERT_TRUE(RecordOne(recorder, 0, steps, "", "23.5"));
            ASSERT_TRUE(recorder.Finish());
            const std::vector<std::string> lines = CrLfLines(ReadAll(folder / "r.txt"));
            ASSERT_EQ(lines.size(), 2U);
            const auto header = SplitCsv(lines[0], separators[separator]);
            const auto row = SplitCsv(lines[1], separators[separator]);
            const std::vector<std::string> words { "Number", "Date", "Time", "MeasValue", "CompJudge", "Temperature",
                "" };
            EXPECT_EQ(header, words) << separator << decimal;
            ASSERT_EQ(row.size(), 6U) << lines[1];
            EXPECT_EQ(row[0], "1");
            EXPECT_EQ(row[3], decimal ? "1,2345E-03" : "1.2345E-03");
            EXPECT_EQ(row[4], "IN");
            EXPECT_EQ(row[5], decimal ? "23,5" : "23.5");
        }
    }
}

TEST(TextRecorders, ScanRowsHoldOneGroupPerStepAndKeepEarlierTexts)
{
    CTempFolder folder;
    CSettingData config = ConfigWith(false, false, false, true, true, false);
    CRecordingPrompt prompt;
    CSaveFileMuxScan recorder(config, 3, prompt);
    ASSERT_TRUE(recorder.Open(folder / "scan.csv"));
    StepArrays steps = Steps({ "CH1", "CH2", "CH5" });
    const char* values[] = { "1.0E-03", "2.0E-03", "5.0E-03" };
    for (size_t i = 0; i < 3; ++i) {
        steps.Values[i] = values[i];
        steps.Comps[i] = "IN";
        steps.Judges[i] = "PASS";
    }
    ASSERT_TRUE(RecordOne(recorder, 0, steps, "PASS"));
    // A fail-stop scan reads only the first step; the others keep the texts of the earlier scan.
    steps.Values[0] = "9.0E-03";
    steps.Judges[0] = "FAIL";
    ASSERT_TRUE(RecordOne(recorder, 1, steps, "FAIL"));
    ASSERT_TRUE(recorder.Finish());
    const std::vector<std::string> lines = CrLfLines(ReadAll(folder / "scan.csv"));
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0],
        "TotalJudge,CH1_MeasValue,CH1_CompJudge,CH1_MuxJudge,CH2_MeasValue,CH2_CompJudge,"
        "CH2_MuxJudge,CH5_MeasValue,CH5_CompJudge,CH5_MuxJudge,");
    EXPECT_EQ(lines[1], "PASS,1.0E-03,IN,PASS,2.0E-03,IN,PASS,5.0E-03,IN,PASS");
    EXPECT_EQ(lines[2], "FAIL,9.0E-03,IN,FAIL,2.0E-03,IN,PASS,5.0E-03,IN,PASS");
}

TEST(TextRecorders, ManualChannelLayoutNamesTheChannel)
{
    CTempFolder folder;
    CSettingData config = ConfigWith(true, false, false, true, true, true);
    config.Separator = 1;
    CRecordingPrompt prompt;
    CSaveFileMuxManual recorder(config, 4, prompt);
    ASSERT_TRUE(recorder.Open(folder / "m.csv"));
    StepArrays steps = Steps({ "PUMP" });
    steps.Values[0] = "1.5E+00";
    steps.Comps[0] = "HI";
    ASSERT_TRUE(RecordOne(recorder, 0, steps));
    ASSERT_TRUE(recorder.Finish());
    const std::vector<std::string> lines = CrLfLines(ReadAll(folder / "m.csv"));
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0], "Number;PUMP_MeasValue;PUMP_CompJudge;PUMP_Temperature;");
    EXPECT_EQ(lines[1], "1;1.5E+00;HI;23.5");
}

TEST(TextRecorders, ASecondAcquisitionAppendsItsOwnHeader)
{
    CTempFolder folder;
    CSettingData config = ConfigWith(true, false, false, false, false, false);
    config.Separator = 3;
    for (int run = 0; run < 2; ++run) {
        CRecordingPrompt prompt;
        CSaveFileNorm recorder(config, 1, prompt);
        ASSERT_TRUE(recorder.Open(folder / "twice.dat"));
        StepArrays steps;
        steps.Values[0] = "a b"; // a value with a blank is written as it is
        ASSERT_TRUE(RecordOne(recorder, 0, steps));
        ASSERT_TRUE(RecordOne(recorder, 1, steps));
    }
    EXPECT_EQ(ReadAll(folder / "twice.dat"),
        "Number MeasValue \r\n1 a b\r\n2 a b\r\n"
        "Number MeasValue \r\n1 a b\r\n2 a b\r\n");
}

TEST(TextRecorders, AnEmptyFirstFieldStillKeepsTheColumnsInPlace)
{
    CTempFolder folder;
    CSettingData config = ConfigWith(false, false, false, true, false, false);
    CRecordingPrompt prompt;
    CSaveFileNorm recorder(config, 1, prompt);
    ASSERT_TRUE(recorder.Open(folder / "e.csv"));
    StepArrays steps;
    steps.Values[0] = "";
    steps.Comps[0] = "LO";
    ASSERT_TRUE(RecordOne(recorder, 1, steps));
    ASSERT_TRUE(recorder.Finish());
    EXPECT_EQ(ReadAll(folder / "e.csv"), ",LO\r\n");
}

TEST(TextRecorders, UnwritableDestinationsFailWithoutLosingEarlierRows)
{
    CTempFolder folder;
    CSettingData config = ConfigWith(true, false, false, false, false, false);
    {
        CRecordingPrompt prompt;
        CSaveFileNorm recorder(config, 1, prompt);
        EXPECT_FALSE(recorder.Open(folder / "missing-folder/x.csv"));
        EXPECT_EQ(prompt.Texts,
            std::vector<std::string> {
                "Failed to open file.\n" + (folder / "missing-folder/x.csv") + ": no such file or folder" });
    }
    {
        CRecordingPrompt prompt;
        CSaveFileNorm recorder(config, 1, prompt);
        ASSERT_TRUE(recorder.Open("/dev/full"));
        StepArrays steps;
        EXPECT_FALSE(RecordOne(recorder, 0, steps)); // the disk is full
    }
    {
        CRecordingPrompt prompt;
        CSaveFileNorm recorder(config, 1, prompt);
        ASSERT_TRUE(recorder.Open(folder / "kept.csv"));
        StepArrays steps;
        ASSERT_TRUE(RecordOne(recorder, 0, steps));
        // Every line is on disk as soon as it is recorded, before the recorder closes.
        EXPECT_EQ(ReadAll(folder / "kept.csv"), "Number,MeasValue,\r\n1,-----------\r\n");
    }
}
