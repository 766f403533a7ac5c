#include "recording/save_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "settings/file_io.h"
#include "settings/numeric_locale.h"

namespace {

constexpr char kPlaceholder = '\t';

char SeparatorOf(int32_t separator)
{
    switch (separator) {
    case 1:
        return ';';
    case 2:
        return '\t';
    case 3:
        return ' ';
    default:
        return ',';
    }
}

// Joins the placeholder-separated fields with the chosen separator. A field that holds a comma or
// semicolon separator itself (a value with a decimal comma between commas) is quoted as CSV
// readers expect, inner quotes doubled; blanks and TABs are never quoted.
std::string JoinFields(const std::string& line, char separator)
{
    std::string joined;
    joined.reserve(line.size() + 8);
    size_t start = 0;
    for (;;) {
        const size_t end = line.find(kPlaceholder, start);
        const std::string field = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const bool quote = (separator == ',' || separator == ';') && field.find(separator) != std::string::npos;
        if (quote) {
            joined += '"';
            for (const char c : field)
                joined += c == '"' ? std::string("\"\"") : std::string(1, c);
            joined += '"';
        } else {
            joined += field;
        }
        if (end == std::string::npos)
            return joined;
        joined += separator;
        start = end + 1;
    }
}

} // namespace

CSaveFileBase::CSaveFileBase(const CSettingData& config, int steps, IUserPrompt& prompt)
    : CSaveResult(config, steps, prompt)
{
}

CSaveFileBase::~CSaveFileBase()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool CSaveFileBase::Open(const std::string& target)
{
    (void)CSaveResult::Open(target); // only stores the target
    m_columns = CountColumns();
    m_fd = OpenFd(target, O_WRONLY | O_APPEND | O_CREAT);
    if (m_fd < 0) {
        m_prompt.ShowMessage(std::string(kFailedToOpenFile) + "\n" + target + ": " + FileErrorText(errno));
        return false;
    }
    // One capture per file for the whole run: two would interleave their rows under two headers.
    if (LockFd(m_fd) == LockOutcome::Busy) {
        ::close(m_fd);
        m_fd = -1;
        m_prompt.ShowMessage(std::string(kFailedToOpenFile) + "\n" + InUseText(target));
        return false;
    }
    return true;
}

bool CSaveFileBase::Finish()
{
    if (m_fd < 0)
        return true;
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    return closed;
}

void CSaveFileBase::AppendField(const std::string& text)
{
    // Counted, not judged by the line's length: an empty first field must still be followed by
    // a separator, or every later column would shift.
    if (m_cell > 0)
        m_line.push_back(kPlaceholder);
    m_line += text;
    ++m_cell;
}

void CSaveFileBase::AppendLeadingHeaderWords()
{
    if (m_config.SaveDataIndex)
        AppendHeaderWord("Number");
    if (m_config.SaveDate)
        AppendHeaderWord("Date");
    if (m_config.SaveTime)
        AppendHeaderWord("Time");
}

void CSaveFileBase::AppendHeaderWord(const std::string& word)
{
    m_line += word;
    m_line.push_back(kPlaceholder);
}

std::string CSaveFileBase::Decimal(const std::string& value) const
{
    std::string converted = value;
    if (m_config.Decimal == 1)
        std::replace(converted.begin(), converted.end(), '.', ',');
    return converted;
}

bool CSaveFileBase::WriteIndex(int number)
{
    if (m_config.SaveDataIndex)
        AppendField(FormatC("%d", number + 1));
    return true;
}

bool CSaveFileBase::WriteDate()
{
    if (m_config.SaveDate)
        AppendField(FormatC("\"%04d-%02d-%02d\"", m_stamp.tm_year + 1900, m_stamp.tm_mon + 1, m_stamp.tm_mday));
    return true;
}

bool CSaveFileBase::WriteTime()
{
    if (m_config.SaveTime)
        AppendField(FormatC("\"%02d:%02d:%02d\"", m_stamp.tm_hour, m_stamp.tm_min, m_stamp.tm_sec));
    return true;
}

bool CSaveFileBase::WriteValues(
    const StepTexts& values, const StepTexts& comps, const StepTexts&, const std::string& temperature)
{
    AppendField(Decimal(values[0]));
    if (m_config.SaveJudge)
        AppendField(comps[0]);
    if (m_config.SaveTemp)
        AppendField(Decimal(temperature));
    return true;
}

bool CSaveFileBase::EndRecord()
{
    if (m_fd < 0)
        return false;
    m_line = JoinFields(m_line, SeparatorOf(m_config.Separator));
    m_line += "\r\n";
    // Each line goes to the system at once, whole or not at all: a full disk never leaves half a row.
    return AppendWhole(m_fd, m_line);
}

bool CSaveFileNorm::WriteHeader(const StepTexts&)
{
    AppendLeadingHeaderWords();
    AppendHeaderWord("MeasValue");
    if (m_config.SaveJudge)
        AppendHeaderWord("CompJudge");
    if (m_config.SaveTemp)
        AppendHeaderWord("Temperature");
    return EndRecord();
}

bool CSaveFileMuxScan::WriteHeader(const StepTexts& names)
{
    AppendLeadingHeaderWords();
    AppendHeaderWord("TotalJudge");
    for (int i = 0; i < std::min<int>(m_steps, kMaxSteps); ++i) {
        const std::string& name = names[static_cast<size_t>(i)];
        AppendHeaderWord(name + "_MeasValue");
        if (m_config.SaveJudge)
            AppendHeaderWord(name + "_CompJudge");
        if (m_config.SaveMuxJudge)
            AppendHeaderWord(name + "_MuxJudge");
    }
    if (m_config.SaveTemp)
        AppendHeaderWord("Temperature");
    return EndRecord();
}

bool CSaveFileMuxScan::WriteTotalJudge(const std::string& totalJudge)
{
    AppendField(totalJudge);
    return true;
}

bool CSaveFileMuxScan::WriteValues(
    const StepTexts& values, const StepTexts& comps, const StepTexts& judges, const std::string& temperature)
{
    for (int i = 0; i < std::min<int>(m_steps, kMaxSteps); ++i) {
        const auto position = static_cast<size_t>(i);
        AppendField(Decimal(values[position]));
        if (m_config.SaveJudge)
            AppendField(comps[position]);
        if (m_config.SaveMuxJudge)
            AppendField(judges[position]);
    }
    if (m_config.SaveTemp)
        AppendField(Decimal(temperature));
    return true;
}

bool CSaveFileMuxManual::WriteHeader(const StepTexts& names)
{
    AppendLeadingHeaderWords();
    AppendHeaderWord(names[0] + "_MeasValue");
    if (m_config.SaveJudge)
        AppendHeaderWord(names[0] + "_CompJudge");
    if (m_config.SaveTemp)
        AppendHeaderWord(names[0] + "_Temperature");
    return EndRecord();
}
