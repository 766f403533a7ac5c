#include "sim/line_cutter.h"

void CLineCutter::Feed(std::string_view bytes, const LineHandler& onLine, const std::function<bool()>& stop)
{
    for (const char c : bytes) {
        if (stop())
            return;
        const bool lfAfterCr = c == '\n' && m_lastWasCr;
        m_lastWasCr = c == '\r';
        if (lfAfterCr)
            continue; // CR LF is one line end
        if (c == '\r' || c == '\n') {
            const std::string line = std::move(m_line);
            const bool whole = !m_overflow;
            m_line.clear();
            m_overflow = false;
            onLine(line, whole);
        } else if (m_line.size() < kMaxLineBytes) {
            m_line += c;
        } else {
            m_overflow = true;
        }
    }
}
