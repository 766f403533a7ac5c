#pragma once

#include <ctime>
#include <memory>
#include <string>

#include "acquisition/step_arrays.h"
#include "settings/setting_data.h"
#include "settings/user_prompt.h"

// Base of the result recorders: one row per recorded result or scan, a header row in front of the
// first row of every acquisition. The concrete recorders differ only in the steps they override.
class CSaveResult {
public:
    CSaveResult(const CSettingData& config, int steps, IUserPrompt& prompt);
    virtual ~CSaveResult() = default;
    CSaveResult(const CSaveResult&) = delete;
    CSaveResult& operator=(const CSaveResult&) = delete;

    // Prepares the destination: a text file path, or the instrument's serial number for workbooks.
    [[nodiscard]] virtual bool Open(const std::string& target);

    // Records one result: the header first when number is 0, then the row.
    [[nodiscard]] bool Record(int number, const StepTexts& values, const StepTexts& comps, const StepTexts& judges,
        const StepTexts& names, const std::string& totalJudge, const std::string& temperature);

    // Completes the destination (closes the file or finishes the workbook); false when what was
    // recorded could not be made durable. Called by Stop before the recorder is deleted.
    [[nodiscard]] virtual bool Finish() { return true; }

    // Where the recorded rows are after Finish (the file; a workbook's journal when the workbook
    // could not be completed), and what the operator can do to get them back (empty: nothing needed).
    [[nodiscard]] virtual std::string KeptIn() const { return m_target; }
    [[nodiscard]] virtual std::string RecoverHint() const { return {}; }

    int Columns() const { return m_columns; }

protected:
    [[nodiscard]] virtual bool WriteHeader(const StepTexts& names) = 0;
    [[nodiscard]] virtual bool WriteIndex(int number) = 0;
    [[nodiscard]] virtual bool WriteDate() = 0;
    [[nodiscard]] virtual bool WriteTime() = 0;
    [[nodiscard]] virtual bool WriteTotalJudge(const std::string& totalJudge) = 0;
    [[nodiscard]] virtual bool WriteValues(
        const StepTexts& values, const StepTexts& comps, const StepTexts& judges, const std::string& temperature)
        = 0;
    [[nodiscard]] virtual bool EndRecord() = 0;
    [[nodiscard]] virtual bool BeginRecord() = 0;

    // Column counts of the two row shapes.
    int SingleColumns() const;
    int MuxColumns() const;
    // Empties the row being assembled.
    void ClearRow();

    std::string m_target;
    std::tm m_stamp {};
    const CSettingData& m_config;
    std::string m_line;
    int m_cell = 0;
    int m_steps;
    int m_columns = 0;
    int m_startColumn = 1;
    int m_row = 1;
    IUserPrompt& m_prompt;
};

// Where results go.
enum class SaveTarget : int32_t { File = 0, Excel = 1 };

// The recorder for a destination and MUX state; the workbook path is used by the Excel recorders.
std::unique_ptr<CSaveResult> CreateRecorder(SaveTarget target, bool muxOn, bool muxScan, const CSettingData& config,
    int steps, IUserPrompt& prompt, const std::string& workbookPath);

inline constexpr const char* kFailedToOpenFile = "Failed to open file.";
inline constexpr const char* kFailedToOpenExcel = "Failed to open Excel.";
