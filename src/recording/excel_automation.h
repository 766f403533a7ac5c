#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "recording/workbook_journal.h"
#include "settings/file_io.h"
#include "settings/user_prompt.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;
struct WorkbookCell;
class CWorkbookReader;

// The workbook the Excel recorders write into: an .xlsx file, a row at a time. Cells whose text is
// a number are written as numbers, dates and times with their formats as date-time cells,
// everything else as text, as a spreadsheet would read the same texts typed in.
//
// An existing workbook keeps what it holds: its rows are carried over and the new rows follow the
// last used row. The workbook is written beside its target and put in place when it is completed,
// so the previous file stays whole until then; meanwhile every row also goes to a journal, whose
// rows a later open restores when the program was ended before the workbook was completed. A
// workbook that cannot be carried over faithfully is never overwritten: the rows go to a new file
// beside it (name-2.xlsx, ...) and the operator is told. A full worksheet continues on a new one.
class ExcelAutomation {
public:
    explicit ExcelAutomation(IUserPrompt& prompt);
    ~ExcelAutomation();
    ExcelAutomation(const ExcelAutomation&) = delete;
    ExcelAutomation& operator=(const ExcelAutomation&) = delete;

    // Reads the capabilities of the workbook format: its row and column limits.
    void Probe();
    // Opens the workbook (carrying over what it holds and restoring an interrupted capture's rows);
    // StartRow is then the row after the last used one.
    [[nodiscard]] bool OpenExcel(const std::string& workbookPath);
    [[nodiscard]] bool BeginRow(int startColumn, int row, int columns);
    [[nodiscard]] bool PutCell(int position, const std::string& text);
    [[nodiscard]] bool SetCellFormat(int column, int row, const std::string& format);
    // Marks the pending row as a header: it is repeated at the top of a continuation sheet.
    void MarkHeader() { m_rowIsHeader = true; }
    [[nodiscard]] bool FlushRow();
    // Continues on a new worksheet (the last header row repeated when `repeatHeader`); `row` becomes
    // the next row there.
    [[nodiscard]] bool ContinueOnNewSheet(bool repeatHeader, int& row);
    // Completes the workbook file; false when it could not be written (the journal then stays).
    [[nodiscard]] bool Close();

    // Excel's A1 column letters: 1 = A, 26 = Z, 27 = AA, 703 = AAA.
    static std::string ColumnLetters(int column);
    // Whether a workbook has rows of an interrupted capture waiting to be restored.
    static bool HasJournal(const std::string& workbookPath);

    // The file the rows go to: the workbook asked for, or the new one beside it.
    const std::string& WorkbookPath() const { return m_target; }
    int RestoredRows() const { return m_restoredRows; }
    int SheetCount() const { return static_cast<int>(m_sheetNames.size()); }

    double Version = -1;
    int MaxRows = 0; // lowered by tests to show the continuation sheet
    int MaxColumns = 0;
    int Errors = 0;
    int StartRow = 1;
    int StartColumn = 1;
    // Why OpenExcel failed, with the file it concerns ("PATH: is a folder", "PATH: another capture
    // is writing this file", ...); empty when it did not fail or the reason is unknown.
    std::string Problem;

private:
    enum class OpenOutcome { Opened, CannotCarryOver, Failed };
    OpenOutcome TryOpen(const std::string& candidate, std::string& problem);
    [[nodiscard]] bool CreateWorkbook(const std::string& candidate);
    [[nodiscard]] bool CarryOver(CWorkbookReader& reader);
    [[nodiscard]] bool CarryCell(int row, const WorkbookCell& cell);
    [[nodiscard]] bool AddSheet(const std::string& name);
    [[nodiscard]] bool RestoreJournals(const std::string& requested);
    [[nodiscard]] bool WriteRow(const JournalRow& row);
    [[nodiscard]] bool StoreRow(const JournalRow& row, int sheetRow, int startColumn, bool journal);
    void Discard();
    // Whether the completed file in m_partial holds the sheets and every row that was written.
    [[nodiscard]] bool ReadsBackWhole(size_t sheets) const;
    void ReportError(int error);
    [[nodiscard]] bool WriteCell(int row, int column, const std::string& text, const std::string& format);
    lxw_format* FormatFor(const std::string& format, int index = 0);

    IUserPrompt& m_prompt;
    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    std::vector<std::string> m_sheetNames;
    std::map<std::string, lxw_format*> m_formats;
    std::string m_target;
    std::string m_partial;
    CFileLock m_partialLock; // held from the open to the completed workbook: one capture per file
    std::string m_scratchFolder; // where the library keeps each sheet until the workbook is completed
    CWorkbookJournal m_journal;
    std::string m_appliedJournal; // the journal whose rows the carried-over workbook holds
    JournalRow m_header;
    int m_nextRow = 1; // the row after the last one written on the current sheet
    int m_restoredRows = 0;
    bool m_rowPending = false;
    bool m_rowIsHeader = false;
    std::vector<std::string> m_rowCells;
    std::map<int, std::string> m_rowFormats; // by position in the row
    int m_rowStartColumn = 0;
    int m_rowIndex = 0;
    int m_rowColumns = 0;
};

inline constexpr const char* kWorkbookDiverted
    = "The workbook %s holds %s, which cannot be carried over; the rows are saved to %s.";
inline constexpr const char* kRowsRestored = "Restored %d rows of an interrupted capture into %s.";
inline constexpr const char* kSheetContinued = "The worksheet is full: the rows continue on the worksheet %s.";
inline constexpr const char* kRowsInJournal
    = "The rows are kept in %s: \"vx6207-cli recover %s\" (or the next capture into %s) restores them.";
