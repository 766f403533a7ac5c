// Writes 2,000,000 single-value rows through a workbook recorder, as a long capture does: rows per
// second, peak memory (the workbook is written in constant-memory mode, so it should stay flat) and
// the number of worksheets the rows took (a sheet holds 1,048,576 rows, header included).
// Usage: bench_recording [ROWS]. Prints figures; never asserts on time.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "recording/save_excel.h"
#include "recording/workbook_reader.h"
#include "settings/numeric_locale.h"

namespace {

double PeakMiB()
{
    rusage usage {};
    (void)::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

} // namespace

int main(int argc, char** argv)
{
    const long rows = argc > 1 ? std::atol(argv[1]) : 2000000;
    char pattern[] = "/tmp/vx-bench-recording-XXXXXX";
    const char* folder = ::mkdtemp(pattern);
    if (folder == nullptr)
        return 1;
    const std::string book = std::string(folder) + "/bench.xlsx";
    CSettingData config(folder);
    CRecordingPrompt prompt;
    CSaveExcelNorm recorder(config, prompt, book);
    if (!recorder.Open("123456"))
        return 1;
    StepArrays steps;
    steps.Comps[0] = "IN";
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < rows; ++i) {
        steps.Values[0] = FormatC("%.5E", 1.0e-3 + static_cast<double>(i % 1000) * 1.0e-9);
        if (!recorder.Record(static_cast<int>(i), steps.Values, steps.Comps, steps.Judges, steps.Names, "", "")) {
            std::fprintf(stderr, "row %ld was not recorded\n", i + 1);
            return 1;
        }
        if (i % 500000 == 0)
            std::printf("rows %ld peak_mib %.1f\n", i, PeakMiB());
    }
    if (!recorder.Finish())
        return 1;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // The sheets as a reader of the finished file finds them.
    CWorkbookReader reader;
    const int sheets = reader.Open(book) ? static_cast<int>(reader.Sheets().size()) : 0;
    for (const std::string& text : prompt.Texts)
        std::printf("%s\n", text.c_str());
    std::error_code error;
    std::printf("workbook %.1f MiB\n", static_cast<double>(std::filesystem::file_size(book, error)) / 1048576.0);
    std::filesystem::remove_all(folder, error);
    std::printf("rows_per_s %.0f peak_mib %.1f sheets %d\n", static_cast<double>(rows) / seconds, PeakMiB(), sheets);
    return 0;
}
