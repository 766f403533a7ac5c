#include "sim/sim_session.h"

#include <algorithm>

#include "sim/header_pattern.h"

namespace {

std::string NormaliseForFault(std::string_view text)
{
    std::string trimmed = TrimBlanks(text);
    if (!trimmed.empty() && trimmed.front() == ':')
        trimmed.erase(0, 1);
    return UpperCase(trimmed);
}

int MsUntil(CSimSession::Clock::time_point when, CSimSession::Clock::time_point now)
{
    if (when <= now)
        return 0;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(when - now).count();
    return static_cast<int>(ms) + 1;
}

} // namespace

bool FaultNamesLine(const std::string& option, const std::string& line)
{
    if (option.empty())
        return false;
    const std::string wanted = NormaliseForFault(option);
    const std::string whole = NormaliseForFault(line);
    const std::string header = whole.substr(0, whole.find_first_of(" \t"));
    return wanted == header || wanted == whole;
}

std::string GarbleText(size_t length)
{
    static constexpr char kNoise[] = "\x7F#@\xA5~\x01\xFE%\x1B?";
    std::string text;
    for (size_t i = 0; i < std::max<size_t>(length, 8); ++i)
        text += kNoise[i % (sizeof kNoise - 1)];
    return text;
}

CSimSession::CSimSession(CInstrument& instrument, CLineRecorder& recorder, const SimOptions& options)
    : m_instrument(instrument)
    , m_recorder(recorder)
    , m_options(options)
{
}

void CSimSession::Feed(std::string_view bytes, bool execute)
{
    m_cutter.Feed(
        bytes, [this, execute](const std::string& line, bool whole) { HandleLine(line, execute && whole); },
        [this] { return m_closeRequested; });
}

void CSimSession::HandleLine(const std::string& line, bool execute)
{
    m_recorder.Record(line);
    ++m_lineCount;
    if (m_options.CloseAfterLines > 0 && m_lineCount >= m_options.CloseAfterLines) {
        m_closeRequested = true;
        return;
    }
    if (!execute)
        return;
    SimResponse response = m_instrument.Execute(line);
    const bool hit = FaultHits(line);
    if (!response.HasReply || (hit && FaultNamesLine(m_options.DropReplyTo, line)))
        return;
    if (m_options.DelayReplyMs > 0 && FaultNamesLine(m_options.DelayReplyTo, line)
        && ++m_delayLines == std::max(1, m_options.DelayNth))
        response.DelayMs += m_options.DelayReplyMs;
    Enqueue(std::move(response), hit && FaultNamesLine(m_options.GarbleReplyTo, line));
}

bool CSimSession::FaultHits(const std::string& line)
{
    if (!FaultNamesLine(m_options.DropReplyTo, line) && !FaultNamesLine(m_options.GarbleReplyTo, line))
        return false;
    return m_options.FaultEvery <= 1 || m_faultLines++ % m_options.FaultEvery == 0;
}

void CSimSession::Enqueue(SimResponse response, bool garble)
{
    const Clock::time_point now = Clock::now();
    const auto latency = std::chrono::milliseconds(m_options.LatencyMs);
    const auto delay = std::chrono::milliseconds(response.DelayMs);
    SPending pending;
    pending.Garble = garble;
    if (response.WaitTrigger) {
        pending.Armed = false;
    } else if (response.Background) {
        pending.ReadyAt = now + delay + latency;
    } else {
        // The instrument answers in order: a reply is not due before the one queued ahead of it.
        m_sequenceEnd = std::max(now + delay, m_sequenceEnd);
        pending.ReadyAt = m_sequenceEnd + latency;
    }
    pending.Response = std::move(response);
    m_pending.push_back(std::move(pending));
}

std::vector<std::string> CSimSession::TakeDue()
{
    std::vector<std::string> due;
    const Clock::time_point now = Clock::now();
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        SimResponse& response = it->Response;
        if (response.Abortable && m_instrument.AbortCount() != response.AbortMark) {
            it = m_pending.erase(it);
            continue;
        }
        if (!it->Armed && m_instrument.TriggerCount() > response.TriggerMark) {
            it->Armed = true;
            it->ReadyAt = now + std::chrono::milliseconds(response.DelayMs + m_options.LatencyMs);
        }
        if (!it->Armed || it->ReadyAt > now) {
            ++it;
            continue;
        }
        std::string text = response.Produce ? response.Produce() : response.Text;
        if (it->Garble)
            text = GarbleText(text.size());
        due.push_back(text + "\r\n");
        it = m_pending.erase(it);
    }
    return due;
}

int CSimSession::WaitHintMs() const
{
    int hint = -1;
    const Clock::time_point now = Clock::now();
    for (const SPending& pending : m_pending) {
        const int ms = pending.Armed ? MsUntil(pending.ReadyAt, now) : 1; // triggers are watched closely
        hint = hint < 0 ? ms : std::min(hint, ms);
    }
    return hint;
}
