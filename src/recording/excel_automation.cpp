#include "recording/excel_automation.h"

#include <cmath>
#include <cstdio>

#include <xlsxwriter.h>

#include "settings/numeric_locale.h"

namespace {

constexpr int kExcel2007Version = 12;
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

// "yyyy-mm-dd" or "hh:mm:ss" texts as a date-time value; false when the text is not of that form.
bool ParseDateTime(const std::string& text, const std::string& format, lxw_datetime& value)
{
    value = {};
    int a = 0;
    int b = 0;
    int c = 0;
    char tail = 0;
    if (format == "yyyy-mm-dd" && std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &a, &b, &c, &tail) == 3) {
        value.year = a;
        value.month = b;
        value.day = c;
        return a >= 1900 && b >= 1 && b <= 12 && c >= 1 && c <= 31;
    }
    if (format == "hh:mm:ss" && std::sscanf(text.c_str(), "%2d:%2d:%2d%c", &a, &b, &c, &tail) == 3) {
        value.hour = a;
        value.min = b;
        value.sec = c;
        return a < 24 && b < 60 && c < 60;
    }
    return false;
}

} // namespace

ExcelAutomation::ExcelAutomation(IUserPrompt& prompt)
    : m_prompt(prompt)
{
    Probe();
}

ExcelAutomation::~ExcelAutomation() { (void)Close(); }

void ExcelAutomation::Probe()
{
    Version = 16.0;
    MaxRows = Version >= kExcel2007Version ? kMaxRows : 65536;
    MaxColumns = Version >= kExcel2007Version ? kMaxColumns : 256;
}

std::string ExcelAutomation::ColumnLetters(int column)
{
    std::string letters;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        letters.insert(letters.begin(), static_cast<char>('A' + digit));
        column = (column - 1) / 26;
    }
    return letters;
}

void ExcelAutomation::ReportError(int error)
{
    ++Errors;
    const char* description = lxw_strerror(static_cast<lxw_error>(error));
    m_prompt.ShowMessage(std::string("Workbook - ")
        + (description != nullptr && *description != '\0' ? description : "Excel error"));
}

bool ExcelAutomation::BeginRow(int startColumn, int row, int columns)
{
    if (Errors != 0 || m_sheet == nullptr || row > MaxRows || columns < 1 || startColumn + columns - 1 > MaxColumns)
        return false;
    m_rowCells.assign(static_cast<size_t>(columns), std::string());
    m_rowFormats.clear();
    m_rowStartColumn = startColumn;
    m_rowIndex = row;
    m_rowColumns = columns;
    m_rowPending = true;
    m_rowIsHeader = false;
    return true;
}

bool ExcelAutomation::PutCell(int position, const std::string& text)
{
    if (!m_rowPending || Errors != 0 || position < 0 || position >= m_rowColumns)
        return false;
    m_rowCells[static_cast<size_t>(position)] = text;
    return true;
}

bool ExcelAutomation::SetCellFormat(int column, int row, const std::string& format)
{
    if (Errors != 0 || !m_rowPending || row != m_rowIndex || column < m_rowStartColumn
        || column >= m_rowStartColumn + m_rowColumns)
        return false;
    m_rowFormats[column - m_rowStartColumn] = format;
    return true;
}

lxw_format* ExcelAutomation::FormatFor(const std::string& format, int index)
{
    if (format.empty() && index <= 0)
        return nullptr;
    const std::string key = format.empty() ? "#" + std::to_string(index) : format;
    auto found = m_formats.find(key);
    if (found != m_formats.end())
        return found->second;
    lxw_format* created = workbook_add_format(m_workbook);
    if (format.empty())
        format_set_num_format_index(created, static_cast<uint8_t>(index));
    else
        format_set_num_format(created, format.c_str());
    m_formats.emplace(key, created);
    return created;
}

bool ExcelAutomation::WriteCell(int row, int column, const std::string& text, const std::string& format)
{
    const auto sheetRow = static_cast<lxw_row_t>(row - 1);
    const auto sheetColumn = static_cast<lxw_col_t>(column - 1);
    lxw_error error = LXW_NO_ERROR;
    lxw_datetime when {};
    double number = 0;
    if (!format.empty() && ParseDateTime(text, format, when))
        error = worksheet_write_datetime(m_sheet, sheetRow, sheetColumn, &when, FormatFor(format));
    else if (ParseDoubleC(text, number) && std::isfinite(number))
        error = worksheet_write_number(m_sheet, sheetRow, sheetColumn, number, nullptr);
    else
        error = worksheet_write_string(m_sheet, sheetRow, sheetColumn, text.c_str(), nullptr);
    if (error != LXW_NO_ERROR) {
        ReportError(error);
        return false;
    }
    return true;
}

bool ExcelAutomation::FlushRow()
{
    if (m_sheet == nullptr || !m_rowPending || Errors != 0)
        return false;
    m_rowPending = false;
    JournalRow row;
    row.Header = m_rowIsHeader;
    row.Cells.reserve(static_cast<size_t>(m_rowColumns));
    for (int i = 0; i < m_rowColumns; ++i) {
        const auto format = m_rowFormats.find(i);
        row.Cells.emplace_back(
            std::move(m_rowCells[static_cast<size_t>(i)]), format == m_rowFormats.end() ? "" : format->second);
    }
    return StoreRow(row, m_rowIndex, m_rowStartColumn, true);
}

bool ExcelAutomation::StoreRow(const JournalRow& row, int sheetRow, int startColumn, bool journal)
{
    // The journal first: a row the journal could not take is reported as not saved.
    if (journal && !m_journal.Append(row))
        return false;
    for (size_t i = 0; i < row.Cells.size(); ++i) {
        const auto& [text, format] = row.Cells[i];
        if (!text.empty() && !WriteCell(sheetRow, startColumn + static_cast<int>(i), text, format))
            return false; // a cell never filled stays empty
    }
    if (row.Header)
        m_header = row;
    m_nextRow = sheetRow + 1;
    return true;
}
