// Writes the workbooks that check_xlsx.py reads back: a single-value acquisition and a 42-channel
// scan with every capture item on.
#include <cstdio>

#include "recording/save_excel.h"
#include "recording/recording_test_support.h"

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string folder = argv[1];
    CRecordingPrompt prompt;
    {
        CSettingData config = ConfigWith(true, true, true, true, false, false);
        CSaveExcelNorm recorder(config, prompt, folder + "/single.xlsx");
        if (!recorder.Open("123456"))
            return 1;
        StepArrays steps;
        for (int i = 0; i < 3; ++i) {
            steps.Values[0] = "1.2345" + std::to_string(i) + "E-03";
            steps.Comps[0] = i == 1 ? "HI" : "IN";
            if (!recorder.Record(i, steps.Values, steps.Comps, steps.Judges, steps.Names, "", ""))
                return 1;
        }
        if (!recorder.Finish())
            return 1;
    }
    {
        CSettingData config = ConfigWith(true, true, true, true, true, true);
        CSaveExcelMuxScan recorder(config, 42, prompt, folder + "/scan.xlsx");
        if (!recorder.Open("123456") || recorder.Columns() != 131)
            return 1;
        StepArrays steps;
        for (size_t i = 0; i < kMaxSteps; ++i) {
            steps.Names[i] = "CH" + std::to_string(i + 1);
            steps.Values[i] = std::to_string(i + 1) + ".0E-03";
            steps.Comps[i] = "IN";
            steps.Judges[i] = i == 41 ? "FAIL" : "PASS";
        }
        for (int i = 0; i < 2; ++i) {
            if (!recorder.Record(i, steps.Values, steps.Comps, steps.Judges, steps.Names, "FAIL", "24.0"))
                return 1;
        }
        if (!recorder.Finish())
            return 1;
    }
    return prompt.Texts.empty() ? 0 : 1;
}
