#pragma once

#include "recording/excel_automation.h"
#include "recording/save_result.h"

// The workbook recorders: a header row, then one row per result or scan, after the rows the
// workbook already holds.
// Texts go to the cells as they are (no decimal-point or separator handling).
class CSaveExcelBase : public CSaveResult {
public:
    CSaveExcelBase(const CSettingData& config, int steps, IUserPrompt& prompt, std::string workbookPath);

    bool Open(const std::string& target) override;
    bool Finish() override;
    std::string KeptIn() const override;
    std::string RecoverHint() const override;
    ExcelAutomation& Excel() { return m_excel; }

protected:
    virtual int CountColumns() const { return MuxColumns(); }
    bool BeginRecord() override;
    bool WriteIndex(int number) override;
    bool WriteDate() override;
    bool WriteTime() override;
    bool WriteTotalJudge(const std::string&) override { return true; }
    bool WriteValues(const StepTexts& values, const StepTexts& comps, const StepTexts& judges,
        const std::string& temperature) override;
    bool EndRecord() override;

    [[nodiscard]] bool PutNext(const std::string& text);
    // Makes room for the next row: a full worksheet continues on a new one.
    [[nodiscard]] bool RowReady(bool header);
    // Writes one header row of the given words.
    [[nodiscard]] bool WriteHeaderRow(const std::vector<std::string>& words);
    // The header words shared by the layouts: Number, Date, Time as configured.
    std::vector<std::string> LeadingHeaderWords() const;

    ExcelAutomation m_excel;
    std::string m_workbookPath;
    bool m_completed = true;
};

class CSaveExcelNorm final : public CSaveExcelBase {
public:
    CSaveExcelNorm(const CSettingData& config, IUserPrompt& prompt, std::string workbookPath)
        : CSaveExcelBase(config, 1, prompt, std::move(workbookPath))
    {
    }

protected:
    int CountColumns() const override { return SingleColumns(); }
    bool WriteHeader(const StepTexts& names) override;
};

class CSaveExcelMuxScan final : public CSaveExcelBase {
public:
    using CSaveExcelBase::CSaveExcelBase;

protected:
    bool WriteHeader(const StepTexts& names) override;
    bool WriteTotalJudge(const std::string& totalJudge) override { return PutNext(totalJudge); }
    bool WriteValues(const StepTexts& values, const StepTexts& comps, const StepTexts& judges,
        const std::string& temperature) override;
};

class CSaveExcelMuxManual final : public CSaveExcelBase {
public:
    using CSaveExcelBase::CSaveExcelBase;

protected:
    bool WriteHeader(const StepTexts& names) override;
};
