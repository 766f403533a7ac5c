#include "recording/save_excel.h"

#include <algorithm>

#include "settings/numeric_locale.h"

CSaveExcelBase::CSaveExcelBase(const CSettingData& config, int steps, IUserPrompt& prompt, std::string workbookPath)
    : CSaveResult(config, steps, prompt)
    , m_excel(prompt)
    , m_workbookPath(std::move(workbookPath))
{
}

bool CSaveExcelBase::Open(const std::string& target)
{
    (void)CSaveResult::Open(target); // the serial number is kept, not otherwise used
    m_columns = CountColumns();
    if (!m_excel.OpenExcel(m_workbookPath)) {
        m_prompt.ShowMessage(m_excel.Problem.empty() ? std::string(kFailedToOpenExcel)
                                                     : std::string(kFailedToOpenExcel) + "\n" + m_excel.Problem);
        return false;
    }
    m_row = m_excel.StartRow;
    m_startColumn = m_excel.StartColumn;
    return true;
}

bool CSaveExcelBase::Finish()
{
    m_completed = m_excel.Close();
    return m_completed;
}

std::string CSaveExcelBase::KeptIn() const
{
    const std::string& workbook = m_excel.WorkbookPath().empty() ? m_workbookPath : m_excel.WorkbookPath();
    return m_completed ? workbook : CWorkbookJournal::PathFor(workbook);
}

std::string CSaveExcelBase::RecoverHint() const
{
    if (m_completed)
        return {};
    const std::string& workbook = m_excel.WorkbookPath().empty() ? m_workbookPath : m_excel.WorkbookPath();
    return FormatC(kRowsInJournal, CWorkbookJournal::PathFor(workbook).c_str(), workbook.c_str(), workbook.c_str());
}

bool CSaveExcelBase::PutNext(const std::string& text)
{
    return m_excel.PutCell(m_cell++, text);
}

bool CSaveExcelBase::RowReady(bool header)
{
    // A full worksheet continues on a new one; rows (not a header about to be written) get the
    // header again at its top.
    return m_row <= m_excel.MaxRows || m_excel.ContinueOnNewSheet(!header, m_row);
}

bool CSaveExcelBase::BeginRecord()
{
    return RowReady(false) && m_excel.BeginRow(m_startColumn, m_row, m_columns);
}

bool CSaveExcelBase::WriteIndex(int number)
{
    return !m_config.SaveDataIndex || PutNext(FormatC("%d", number + 1));
}

bool CSaveExcelBase::WriteDate()
{
    if (!m_config.SaveDate)
        return true;
    const int column = m_startColumn + m_cell;
    return PutNext(FormatC("%04d-%02d-%02d", m_stamp.tm_year + 1900, m_stamp.tm_mon + 1, m_stamp.tm_mday))
        && m_excel.SetCellFormat(column, m_row, "yyyy-mm-dd");
}

bool CSaveExcelBase::WriteTime()
{
    if (!m_config.SaveTime)
        return true;
    const int column = m_startColumn + m_cell;
    return PutNext(FormatC("%02d:%02d:%02d", m_stamp.tm_hour, m_stamp.tm_min, m_stamp.tm_sec))
        && m_excel.SetCellFormat(column, m_row, "hh:mm:ss");
}

bool CSaveExcelBase::WriteValues(
    const StepTexts& values, const StepTexts& comps, const StepTexts&, const std::string& temperature)
{
    if (!PutNext(values[0]) || (m_config.SaveJudge && !PutNext(comps[0])))
        return false;
    return !m_config.SaveTemp || PutNext(temperature);
}

bool CSaveExcelBase::EndRecord()
{
    if (!m_excel.FlushRow())
        return false;
    ++m_row;
    return true;
}

std::vector<std::string> CSaveExcelBase::LeadingHeaderWords() const
{
    std::vector<std::string> words;
    if (m_config.SaveDataIndex)
        words.emplace_back("Number");
    if (m_config.SaveDate)
        words.emplace_back("Date");
    if (m_config.SaveTime)
        words.emplace_back("Time");
    return words;
}

bool CSaveExcelBase::WriteHeaderRow(const std::vector<std::string>& words)
{
    if (!RowReady(true) || !m_excel.BeginRow(m_startColumn, m_row, m_columns))
        return false;
    for (const std::string& word : words) {
        if (!PutNext(word))
            return false;
    }
    m_excel.MarkHeader();
    return EndRecord();
}

bool CSaveExcelNorm::WriteHeader(const StepTexts&)
{
    std::vector<std::string> words = LeadingHeaderWords();
    words.emplace_back("MeasValue");
    if (m_config.SaveJudge)
        words.emplace_back("CompJudge");
    if (m_config.SaveTemp)
        words.emplace_back("Temperature");
    return WriteHeaderRow(words);
}

bool CSaveExcelMuxScan::WriteHeader(const StepTexts& names)
{
    std::vector<std::string> words = LeadingHeaderWords();
    words.emplace_back("TotalJudge");
    for (int i = 0; i < std::min<int>(m_steps, kMaxSteps); ++i) {
        const std::string& name = names[static_cast<size_t>(i)];
        words.push_back(name + "_MeasValue");
        if (m_config.SaveJudge)
            words.push_back(name + "_CompJudge");
        if (m_config.SaveMuxJudge)
            words.push_back(name + "_MuxJudge");
    }
    if (m_config.SaveTemp)
        words.emplace_back("Temperature");
    return WriteHeaderRow(words);
}

bool CSaveExcelMuxScan::WriteValues(
    const StepTexts& values, const StepTexts& comps, const StepTexts& judges, const std::string& temperature)
{
    for (int i = 0; i < std::min<int>(m_steps, kMaxSteps); ++i) {
        const auto position = static_cast<size_t>(i);
        if (!PutNext(values[position]) || (m_config.SaveJudge && !PutNext(comps[position]))
            || (m_config.SaveMuxJudge && !PutNext(judges[position])))
            return false;
    }
    return !m_config.SaveTemp || PutNext(temperature);
}

bool CSaveExcelMuxManual::WriteHeader(const StepTexts& names)
{
    std::vector<std::string> words = LeadingHeaderWords();
    words.push_back(names[0] + "_MeasValue");
    if (m_config.SaveJudge)
        words.push_back(names[0] + "_CompJudge");
    if (m_config.SaveTemp)
        words.emplace_back("Temperature");
    return WriteHeaderRow(words);
}
