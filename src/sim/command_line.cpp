#include "sim/command_line.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::string> SplitArguments(std::string_view text)
{
    std::vector<std::string> arguments;
    if (text.empty())
        return arguments;
    std::string current;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted) {
            arguments.push_back(TrimBlanks(current));
            current.clear();
        } else {
            current += c;
        }
    }
    arguments.push_back(TrimBlanks(current));
    return arguments;
}

} // namespace

std::string TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::string Unquote(std::string_view text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return std::string(text.substr(1, text.size() - 2));
    return std::string(text);
}

bool ParseCommandLine(std::string_view line, SimCommand& command)
{
    command = SimCommand {};
    command.Line = TrimBlanks(line);
    if (command.Line.empty())
        return false;
    const std::string_view whole = command.Line;
    size_t end = 0;
    while (end < whole.size() && !IsBlank(whole[end]))
        ++end;
    std::string_view header = whole.substr(0, end);
    if (!header.empty() && header.back() == '?') {
        command.Query = true;
        header.remove_suffix(1);
    }
    command.Header = std::string(header);
    command.Parameters = TrimBlanks(whole.substr(end));
    command.Arguments = SplitArguments(command.Parameters);
    return true;
}
