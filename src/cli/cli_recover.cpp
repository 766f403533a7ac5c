// "recover": restores into a workbook the rows of a capture that was ended before it completed
// the workbook (the rows wait in the journal beside it).
#include <iostream>

#include "cli/cli_common.h"
#include "cli/cli_registry.h"
#include "recording/excel_automation.h"
#include "settings/numeric_locale.h"

namespace {

constexpr const char* kNothingToRecover = "No interrupted capture to recover for %s.";

int RunRecover(const std::string& workbook)
{
    if (!ExcelAutomation::HasJournal(workbook)) {
        std::cerr << FormatC(kNothingToRecover, workbook.c_str()) << '\n';
        return kExitOk;
    }
    CStderrPrompt prompt; // tells how many rows came back, and where they went
    ExcelAutomation excel(prompt);
    if (!excel.OpenExcel(workbook) || !excel.Close()) {
        std::cerr << "Failed to save data.\n";
        return kExitFailure;
    }
    return kExitOk;
}

const CCliRegistration kRecover("recover", "Restore the rows of an interrupted capture into its workbook",
    [](CLI::App& sub) -> CliRunner {
        auto workbook = std::make_shared<std::string>();
        sub.add_option("workbook", *workbook, "The .xlsx workbook the capture was writing")->required();
        return [workbook] { return RunRecover(*workbook); };
    });

} // namespace
