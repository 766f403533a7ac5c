#include "sim/replay_session.h"

#include <algorithm>

#include "sim/command_line.h"

CReplayBook::CReplayBook(const std::vector<SimRecordEntry>& entries)
{
    struct SRequest {
        std::string Line;
        int64_t Ms = 0;
        std::vector<SimReplayStep> Steps;
    };
    std::vector<SRequest> connection;
    const auto close = [&] {
        for (SRequest& request : connection)
            m_answers[request.Line].push_back(std::move(request.Steps));
        connection.clear();
    };
    for (const SimRecordEntry& entry : entries) {
        if (entry.Kind == ERecordKind::Connect) {
            close();
        } else if (entry.Kind == ERecordKind::Request) {
            connection.push_back({ entry.Bytes, entry.Ms, {} });
        } else if (!connection.empty()) { // bytes before any request (a greeting) answer nothing
            SRequest& request = connection.back();
            const int64_t delay = std::max<int64_t>(0, entry.Ms - request.Ms);
            request.Steps.push_back({ delay, entry.Kind == ERecordKind::Reply ? entry.Bytes + "\r\n" : entry.Bytes });
        }
    }
    close();
}

bool CReplayBook::Take(const std::string& line, std::vector<SimReplayStep>& steps)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_answers.find(line);
    if (found == m_answers.end() || found->second.empty())
        return false;
    steps = std::move(found->second.front());
    found->second.pop_front();
    return true;
}

size_t CReplayBook::Unused() const
{
    std::lock_guard lock(m_mutex);
    size_t count = 0;
    for (const auto& [line, occurrences] : m_answers)
        count += occurrences.size();
    return count;
}

CReplaySession::CReplaySession(CReplayBook& book, CLineRecorder& recorder, Notice notice)
    : m_book(book)
    , m_recorder(recorder)
    , m_notice(std::move(notice))
{
}

void CReplaySession::Feed(std::string_view bytes, bool execute)
{
    m_cutter.Feed(
        bytes, [this, execute](const std::string& line, bool whole) { HandleLine(line, execute && whole); },
        [] { return false; });
}

void CReplaySession::HandleLine(const std::string& line, bool execute)
{
    m_recorder.Record(line);
    if (!execute)
        return;
    std::vector<SimReplayStep> steps;
    if (!m_book.Take(line, steps)) {
        if (!TrimBlanks(line).empty() && m_notice)
            m_notice("replay: no recorded answer for \"" + EscapeRecorded(line) + "\"");
        return;
    }
    const Clock::time_point now = Clock::now();
    for (SimReplayStep& step : steps) {
        SPending pending { now + std::chrono::milliseconds(step.DelayMs), std::move(step.Bytes) };
        const auto later = std::upper_bound(m_pending.begin(), m_pending.end(), pending.ReadyAt,
            [](Clock::time_point when, const SPending& queued) { return when < queued.ReadyAt; });
        m_pending.insert(later, std::move(pending));
    }
}

std::vector<std::string> CReplaySession::TakeDue()
{
    std::vector<std::string> due;
    const Clock::time_point now = Clock::now();
    while (!m_pending.empty() && m_pending.front().ReadyAt <= now) {
        due.push_back(std::move(m_pending.front().Bytes));
        m_pending.pop_front();
    }
    return due;
}

int CReplaySession::WaitHintMs() const
{
    if (m_pending.empty())
        return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_pending.front().ReadyAt - Clock::now());
    return left.count() <= 0 ? 0 : static_cast<int>(left.count()) + 1;
}
