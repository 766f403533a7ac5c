#include "commands/communicate_vx.h"

#include <algorithm>

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
    size_t start = 0;
    size_t comma = 0;
    while (start < text.size() && (comma = text.find(',', start)) != std::string::npos) {
        m_tokens.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    m_tokens.push_back(text.substr(std::min(start, text.size())));
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
    if (!Query(header, reply))
        return false;
    value = StrToDoubleC(reply);
    return true;
}

bool CCommunicateVx::QueryInteger(const std::string& header, int64_t& value)
{
    std::string reply;
    if (!Query(header, reply))
        return false;
    value = StrToLongLongC(reply);
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
