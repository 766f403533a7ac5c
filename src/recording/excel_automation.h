#pragma once

#include <map>
#include <string>
#include <vector>

#include "settings/user_prompt.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// The workbook the Excel recorders write into: an .xlsx file with one sheet, a row at a time.
// Cells whose text is a number are written as numbers, dates and times with their formats as
// date-time cells, everything else as text, as a spreadsheet would read the same texts typed in.
class ExcelAutomation {
public:
    explicit ExcelAutomation(IUserPrompt& prompt);
    ~ExcelAutomation();
    ExcelAutomation(const ExcelAutomation&) = delete;
    ExcelAutomation& operator=(const ExcelAutomation&) = delete;

    // Reads the capabilities of the workbook format: its row and column limits.
    void Probe();
    // Creates the workbook and its sheet; the start cell is its first cell.
    [[nodiscard]] bool OpenExcel(const std::string& workbookPath);
    [[nodiscard]] bool BeginRow(int startColumn, int row, int columns);
    [[nodiscard]] bool PutCell(int position, const std::string& text);
    [[nodiscard]] bool SetCellFormat(int column, int row, const std::string& format);
    [[nodiscard]] bool FlushRow();
    // Completes the workbook file; false when it could not be written.
    [[nodiscard]] bool Close();

    // Excel's A1 column letters: 1 = A, 26 = Z, 27 = AA, 703 = AAA.
    static std::string ColumnLetters(int column);

    double Version = -1;
    int MaxRows = 0;
    int MaxColumns = 0;
    int Errors = 0;
    int StartRow = 1;
    int StartColumn = 1;

private:
    void ReportError(int error);
    [[nodiscard]] bool WriteCell(int row, int column, const std::string& text, const std::string& format);
    lxw_format* FormatFor(const std::string& format);

    IUserPrompt& m_prompt;
    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    std::map<std::string, lxw_format*> m_formats;
    bool m_rowPending = false;
    std::vector<std::string> m_rowCells;
    std::map<int, std::string> m_rowFormats; // by position in the row
    int m_rowStartColumn = 0;
    int m_rowIndex = 0;
    int m_rowColumns = 0;
};
