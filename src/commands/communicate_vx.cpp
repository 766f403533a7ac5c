#include "commands/communicate_vx.h"

#include <algorithm>
#include <cmath>

#include "commands/vocabulary.h"
#include "settings/numeric_locale.h"

namespace {

constexpr int kQueryTimeoutMs = 1000;
constexpr const char* kMuxAdjustGet = ":MUX:ADJust:VAR:GET";
constexpr const char* kOn = "ON";

} // namespace

CCommunicateVx::CCommunicateVx(CInstrumentLink& link, IUserPrompt& prompt, MeasSetData* settings)
    : m_link(link)
    , m_prompt(prompt)
    , m_settings(settings)
{
}

bool CCommunicateVx::SendAndReceive(const std::string& line, std::string& reply)
{
    reply.clear();
    if (!m_link.SendCommand(line))
        return false; // nothing was asked, so nothing is awaited
    bool timedOut = true;
    reply = m_link.ReceiveReply(timedOut, kQueryTimeoutMs);
    return !timedOut;
}

bool CCommunicateVx::Query(const std::string& header, std::string& reply)
{
    return SendAndReceive(header + "?", reply);
}

bool CCommunicateVx::QueryIndexed(const std::string& header, int n, std::string& reply)
{
    return SendAndReceive(FormatC("%s? %d", header.c_str(), n), reply);
}

bool CCommunicateVx::QueryWithText(const std::string& header, const std::string& text, std::string& reply)
{
    return SendAndReceive(FormatC("%s? %s", header.c_str(), text.c_str()), reply);
}

bool CCommunicateVx::QueryMuxAdjust(int channel, std::string& reply)
{
    return SendAndReceive(FormatC("%s? %d,%d", kMuxAdjustGet, 0, channel), reply);
}

bool CCommunicateVx::SplitReply(const std::string& text, size_t expected)
{
    m_tokens.clear();
    std::string token;
    bool quoted = false; // a comma inside a quoted text (the user unit) does not end a field
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted) {
            m_tokens.push_back(std::move(token));
            token.clear();
        } else {
            token += c;
        }
    }
    m_tokens.push_back(std::move(token));
    return m_tokens.size() == expected;
}

bool CCommunicateVx::SendSwitch(const std::string& header, int32_t value)
{
    return SendLine(FormatC("%s %d", header.c_str(), value != 0 ? 1 : 0));
}

bool CCommunicateVx::ReadSwitch(const std::string& header, int32_t& value)
{
    bool found = false;
    if (!m_link.QueryContains(header, found, kOn, true))
        return false;
    value = found ? 1 : 0;
    return true;
}

bool CCommunicateVx::SendChoice(const std::string& header, int position)
{
    const char* text = VocabularyText(position);
    if (text == nullptr)
        return false; // a value outside its vocabulary has no text to send
    return SendLine(FormatC("%s %s", header.c_str(), text));
}

bool CCommunicateVx::ReadChoice(const std::string& header, int first, int count, int& offset)
{
    std::string reply;
    if (!Query(header, reply))
        return false;
    for (int i = 0; i < count; ++i) {
        const char* text = VocabularyText(first + i);
        if (text != nullptr && reply == text) {
            offset = i;
            return true;
        }
    }
    return false;
}

bool CCommunicateVx::QueryDouble(const std::string& header, double& value)
{
    std::string reply;
    return Query(header, reply) && ParseDoubleC(reply, value);
}

bool ScaledStep(double value, double scale, int64_t low, int64_t high, int64_t& step)
{
    const double scaled = std::round(value * scale);
    // Compared as doubles first: a converted value beyond the 64-bit range is undefined.
    if (!std::isfinite(scaled) || scaled < static_cast<double>(low) || scaled > static_cast<double>(high))
        return false;
    step = static_cast<int64_t>(scaled);
    return step >= low && step <= high;
}

bool CCommunicateVx::QueryScaled(const std::string& header, double scale, int64_t low, int64_t high, int64_t& step)
{
    std::string reply;
    double value = 0.0;
    return Query(header, reply) && ParseDoubleC(reply, value) && ScaledStep(value, scale, low, high, step);
}

bool CCommunicateVx::QueryBounded(const std::string& header, int64_t low, int64_t high, int64_t& value)
{
    std::string reply;
    int64_t parsed = 0;
    if (!Query(header, reply) || !ParseInt64C(reply, parsed) || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool CCommunicateVx::TokenBounded(size_t index, int64_t low, int64_t high, int64_t& value) const
{
    int64_t parsed = 0;
    if (index >= m_tokens.size() || !ParseInt64C(m_tokens[index], parsed) || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

double CCommunicateVx::TokenDouble(size_t index) const
{
    return index < m_tokens.size() ? StrToDoubleC(m_tokens[index]) : 0.0;
}

int64_t CCommunicateVx::TokenInteger(size_t index) const
{
    return index < m_tokens.size() ? StrToLongLongC(m_tokens[index]) : 0;
}
