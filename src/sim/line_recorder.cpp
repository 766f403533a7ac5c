#include "sim/line_recorder.h"

CLineRecorder::CLineRecorder(const std::string& transcriptPath)
{
    if (!transcriptPath.empty())
        m_file = std::fopen(transcriptPath.c_str(), "w");
}

CLineRecorder::~CLineRecorder()
{
    if (m_file != nullptr)
        (void)std::fclose(m_file); // nothing left to report a failed close to
}

void CLineRecorder::Record(const std::string& line)
{
    std::lock_guard lock(m_mutex);
    m_lines.push_back(line);
    if (m_file == nullptr)
        return;
    (void)std::fwrite(line.data(), 1, line.size(), m_file); // a full disk only loses transcript lines
    (void)std::fputc('\n', m_file);
    (void)std::fflush(m_file);
}

std::vector<std::string> CLineRecorder::Lines() const
{
    std::lock_guard lock(m_mutex);
    return m_lines;
}

void CLineRecorder::Clear()
{
    std::lock_guard lock(m_mutex);
    m_lines.clear();
}
