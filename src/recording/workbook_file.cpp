// Opening and completing the workbook file: carrying over an existing workbook, restoring the rows
// of an interrupted capture from its journal, continuation sheets, and putting the completed file
// in place.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <xlsxwriter.h>

#include "recording/excel_automation.h"
#include "recording/workbook_reader.h"
#include "settings/file_io.h"
#include "settings/numeric_locale.h"

namespace {

constexpr int kMaxCandidates = 100;
#ifdef _WIN32
constexpr const char* kNullDevice = "NUL";
#else
constexpr const char* kNullDevice = "/dev/null";
#endif

// The workbook library reports its own failures as raw "[ERROR][packager.c:..]" lines on the
// standard error; the operator is told the cause once, in the system's words, instead.
class CQuietStandardError {
public:
    CQuietStandardError()
    {
        std::fflush(stderr);
        m_saved = ::dup(2);
        const int null = OpenFd(kNullDevice, O_WRONLY);
        if (m_saved >= 0 && null >= 0)
            (void)::dup2(null, 2); // without it the lines show; nothing else changes
        if (null >= 0)
            ::close(null);
    }
    ~CQuietStandardError()
    {
        std::fflush(stderr);
        if (m_saved < 0)
            return;
        (void)::dup2(m_saved, 2); // the descriptor was valid a moment ago; nothing to do if it fails
        ::close(m_saved);
    }
    CQuietStandardError(const CQuietStandardError&) = delete;
    CQuietStandardError& operator=(const CQuietStandardError&) = delete;

private:
    int m_saved = -1;
};

// "book.xlsx" → "book-2.xlsx".
std::string Numbered(const std::string& path, int number)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    const std::string stem = hasExtension ? path.substr(0, dot) : path;
    return stem + "-" + std::to_string(number) + (hasExtension ? path.substr(dot) : std::string());
}

} // namespace

bool ExcelAutomation::HasJournal(const std::string& workbookPath)
{
    return FileExists(CWorkbookJournal::PathFor(workbookPath));
}

bool ExcelAutomation::OpenExcel(const std::string& workbookPath)
{
    if (m_workbook != nullptr)
        return true;
    Problem.clear();
    std::string problem;
    for (int number = 1; number <= kMaxCandidates; ++number) {
        const std::string candidate = number == 1 ? workbookPath : Numbered(workbookPath, number);
        std::string why;
        const OpenOutcome outcome = TryOpen(candidate, why);
        if (outcome == OpenOutcome::Failed)
            return false;
        if (outcome == OpenOutcome::CannotCarryOver) {
            if (problem.empty())
                problem = why;
            continue;
        }
        if (number > 1)
            m_prompt.ShowMessage(FormatC(kWorkbookDiverted, workbookPath.c_str(), problem.c_str(), candidate.c_str()));
        if (!RestoreJournals(workbookPath)) {
            Discard();
            return false;
        }
        StartRow = m_nextRow;
        StartColumn = 1;
        return true;
    }
    return false;
}

ExcelAutomation::OpenOutcome ExcelAutomation::TryOpen(const std::string& candidate, std::string& problem)
{
    struct stat info { };
    const bool exists = ::stat(candidate.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) {
        Problem = candidate + ": " + FileErrorText(EISDIR);
        return OpenOutcome::Failed;
    }
    // A file left empty (by a program killed before it wrote the workbook) holds nothing to keep.
    const bool carry = exists && info.st_size > 0;
    CWorkbookReader reader;
    if (carry && !reader.Open(candidate)) {
        problem = "content that is no workbook";
        return OpenOutcome::CannotCarryOver;
    }
    if (carry && !reader.Problem().empty()) {
        problem = reader.Problem();
        return OpenOutcome::CannotCarryOver;
    }
    if (!CreateWorkbook(candidate))
        return OpenOutcome::Failed;
    m_appliedJournal = carry ? reader.Property(CWorkbookReader::kJournalProperty) : std::string();
    if (carry ? CarryOver(reader) : AddSheet(""))
        return OpenOutcome::Opened;
    problem = reader.Problem().empty() ? "content that cannot be read" : reader.Problem();
    Discard();
    return carry ? OpenOutcome::CannotCarryOver : OpenOutcome::Failed;
}

bool ExcelAutomation::CreateWorkbook(const std::string& candidate)
{
    m_target = candidate;
    // The workbook file is written when it is completed; find out now whether it can be created
    // there, not after a whole acquisition, and keep every other capture away from it meanwhile.
    const std::string partial = candidate + ".partial";
    switch (m_partialLock.Acquire(partial, true)) {
    case LockOutcome::Locked:
        break;
    case LockOutcome::Busy:
        Problem = InUseText(candidate);
        return false;
    case LockOutcome::Failed:
        Problem = candidate + ": " + FileErrorText(errno);
        return false;
    }
    m_partial = partial;
    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE; // rows go out in order; memory stays flat for a million rows
    // The sheets wait in scratch files of the system's temporary folder (the library's default,
    // the root of the drive, is not writable for a user on Windows).
    std::error_code error;
    m_scratchFolder = std::filesystem::temp_directory_path(error).string();
    if (!error)
        options.tmpdir = m_scratchFolder.data();
    m_workbook = workbook_new_opt(m_partial.c_str(), &options);
    if (m_workbook == nullptr) {
        std::remove(m_partial.c_str());
        m_partial.clear();
        m_partialLock.Release();
        return false;
    }
    // The mark that lets a later capture carry over every sheet of this workbook.
    (void)workbook_set_custom_property_string(
        m_workbook, CWorkbookReader::kOwnerProperty, CWorkbookReader::kOwnerValue);
    return true;
}

bool ExcelAutomation::AddSheet(const std::string& name)
{
    m_sheet = workbook_add_worksheet(m_workbook, name.empty() ? nullptr : name.c_str());
    if (m_sheet == nullptr)
        return false;
    m_sheetNames.push_back(name.empty() ? "Sheet" + std::to_string(m_sheetNames.size() + 1) : name);
    m_nextRow = 1;
    return true;
}

bool ExcelAutomation::CarryOver(CWorkbookReader& reader)
{
    for (size_t sheet = 0; sheet < reader.Sheets().size(); ++sheet) {
        if (!AddSheet(reader.Sheets()[sheet].Name))
            return false;
        const bool read = reader.ReadRows(sheet, [this](int row, const std::vector<WorkbookCell>& cells) {
            for (const WorkbookCell& cell : cells) {
                if (!CarryCell(row, cell))
                    return false;
            }
            m_nextRow = row + 1;
            return true;
        });
        if (!read)
            return false;
    }
    return true;
}

bool ExcelAutomation::CarryCell(int row, const WorkbookCell& cell)
{
    if (row < 1 || row > MaxRows || cell.Column < 1 || cell.Column > MaxColumns)
        return false;
    const auto sheetRow = static_cast<lxw_row_t>(row - 1);
    const auto sheetColumn = static_cast<lxw_col_t>(cell.Column - 1);
    lxw_format* format = FormatFor(cell.FormatCode, cell.FormatIndex);
    switch (cell.Type) {
    case WorkbookCell::Kind::Number:
        return worksheet_write_number(m_sheet, sheetRow, sheetColumn, cell.Number, format) == LXW_NO_ERROR;
    case WorkbookCell::Kind::Boolean:
        return worksheet_write_boolean(m_sheet, sheetRow, sheetColumn, static_cast<int>(cell.Number), format)
            == LXW_NO_ERROR;
    case WorkbookCell::Kind::Text:
        break;
    }
    return worksheet_write_string(m_sheet, sheetRow, sheetColumn, cell.Text.c_str(), format) == LXW_NO_ERROR;
}

bool ExcelAutomation::RestoreJournals(const std::string& requested)
{
    const std::string journal = CWorkbookJournal::PathFor(m_target);
    if (!m_journal.Create(journal)
        || workbook_set_custom_property_string(m_workbook, CWorkbookReader::kJournalProperty, m_journal.Name().c_str())
            != LXW_NO_ERROR)
        return false;
    std::vector<std::string> sources { journal };
    if (requested != m_target)
        sources.push_back(CWorkbookJournal::PathFor(requested));
    int restored = 0;
    bool written = true;
    for (const std::string& source : sources) {
        // A journal the workbook already holds (the program ended before it could remove it).
        const std::string name = CWorkbookJournal::NameOf(source);
        if (!name.empty() && name == m_appliedJournal)
            continue;
        // A journal that a running capture holds is not interrupted: its rows are that capture's.
        CFileLock journalLock;
        if (journalLock.Acquire(source, false) == LockOutcome::Busy) {
            Problem = InUseText(source);
            return false;
        }
        (void)CWorkbookJournal::ForEachRow(source, [&](const JournalRow& row) {
            written = WriteRow(row);
            restored += written && !row.Header ? 1 : 0;
            return written;
        });
    }
    // The new journal holds every restored row before the old ones go.
    if (!written || !m_journal.Commit())
        return false;
    for (size_t i = 1; i < sources.size(); ++i)
        std::remove(sources[i].c_str());
    m_restoredRows = restored;
    if (restored > 0)
        m_prompt.ShowMessage(FormatC(kRowsRestored, restored, m_target.c_str()));
    return true;
}

bool ExcelAutomation::WriteRow(const JournalRow& row)
{
    int sheetRow = m_nextRow;
    if (sheetRow > MaxRows && !ContinueOnNewSheet(!row.Header, sheetRow))
        return false;
    return StoreRow(row, sheetRow, 1, true);
}

bool ExcelAutomation::ContinueOnNewSheet(bool repeatHeader, int& row)
{
    if (m_workbook == nullptr || Errors != 0)
        return false;
    std::string name;
    for (size_t number = m_sheetNames.size() + 1; name.empty(); ++number) {
        name = "Sheet" + std::to_string(number);
        for (const std::string& used : m_sheetNames)
            name = used == name ? std::string() : name;
    }
    if (!AddSheet(name))
        return false;
    m_prompt.ShowMessage(FormatC(kSheetContinued, name.c_str()));
    // The repeated header is the sheet's own, not a recorded row: it stays out of the journal.
    if (repeatHeader && !m_header.Cells.empty() && !StoreRow(JournalRow(m_header), 1, 1, false))
        return false;
    row = m_nextRow;
    return true;
}

void ExcelAutomation::Discard()
{
    if (m_workbook != nullptr)
        (void)workbook_close(m_workbook);
    m_workbook = nullptr;
    m_sheet = nullptr;
    m_formats.clear();
    m_sheetNames.clear();
    m_header = {};
    if (!m_partial.empty())
        std::remove(m_partial.c_str()); // ours: the lock has kept every other capture from it
    m_partial.clear();
    m_partialLock.Release();
    m_journal.Close(false);
}

bool ExcelAutomation::ReadsBackWhole(size_t sheets) const
{
    CWorkbookReader reader;
    if (!reader.Open(m_partial) || reader.Sheets().size() != sheets)
        return false;
    int lastRow = 0;
    for (size_t sheet = 0; sheet < reader.Sheets().size(); ++sheet) {
        lastRow = 0;
        if (!reader.ReadRows(sheet, [&lastRow](int row, const std::vector<WorkbookCell>&) {
                lastRow = row;
                return true;
            }))
            return false;
    }
    return lastRow == m_nextRow - 1;
}

bool ExcelAutomation::Close()
{
    if (m_workbook == nullptr)
        return true;
    const size_t sheets = m_sheetNames.size();
    bool completed = false;
    {
        const CQuietStandardError quiet;
        completed = workbook_close(m_workbook) == LXW_NO_ERROR;
    }
    m_workbook = nullptr;
    m_sheet = nullptr;
    m_formats.clear();
    m_sheetNames.clear();
    struct stat info { };
    if (::stat(m_target.c_str(), &info) == 0)
        (void)::chmod(m_partial.c_str(), info.st_mode & 07777); // the replaced file's permissions carry over
    // The library does not notice when its scratch files could not take every row (a full
    // temporary disk): a workbook that does not read back whole never replaces the target, and
    // its journal stays.
    completed = completed && SyncFile(m_partial) && ReadsBackWhole(sheets) && RenameOver(m_partial, m_target);
    if (completed)
        SyncFolderOf(m_target);
    else
        std::remove(m_partial.c_str());
    // Only a workbook in place makes the journal's rows redundant.
    m_journal.Close(completed);
    m_partialLock.Release(); // after the journal: a later capture must not find it and restore it
    m_partial.clear();
    return completed;
}
