// Writes the workbooks that check_xlsx.py reads back. Usage: write_xlsx_samples SCENARIO PATH [N]
//   single PATH N     one single-value acquisition of N rows into PATH (added to what it holds)
//   scan PATH         a 42-channel scan with every capture item on, 2 rows
//   limited PATH N    N single-value rows with the row limit lowered to 10 rows a sheet
// Every message the recorder shows is printed, one a line, so the script can check them.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "recording/recording_test_support.h"
#include "recording/save_excel.h"

namespace {

int Finish(CSaveResult& recorder, const CRecordingPrompt& prompt)
{
    const bool finished = recorder.Finish();
    for (const std::string& text : prompt.Texts)
        std::printf("%s\n", text.c_str());
    return finished ? 0 : 1;
}

int Single(const std::string& path, int rows, int maxRows)
{
    CRecordingPrompt prompt;
    CSettingData config = ConfigWith(true, true, true, true, false, false);
    CSaveExcelNorm recorder(config, prompt, path);
    if (maxRows > 0)
        recorder.Excel().MaxRows = maxRows;
    if (!recorder.Open("123456"))
        return Finish(recorder, prompt) + 1;
    StepArrays steps;
    for (int i = 0; i < rows; ++i) {
        steps.Values[0] = "1.2345" + std::to_string(i % 10) + "E-03";
        steps.Comps[0] = i == 1 ? "HI" : "IN";
        if (!recorder.Record(i, steps.Values, steps.Comps, steps.Judges, steps.Names, "", ""))
            return Finish(recorder, prompt) + 1;
    }
    return Finish(recorder, prompt);
}

int Scan(const std::string& path)
{
    CRecordingPrompt prompt;
    CSettingData config = ConfigWith(true, true, true, true, true, true);
    CSaveExcelMuxScan recorder(config, 42, prompt, path);
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
    return Finish(recorder, prompt);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const std::string scenario = argv[1];
    const std::string path = argv[2];
    const int rows = argc > 3 ? std::atoi(argv[3]) : 3;
    if (scenario == "single")
        return Single(path, rows, 0);
    if (scenario == "limited")
        return Single(path, rows, 10);
    if (scenario == "scan")
        return Scan(path);
    return 2;
}
