#include "sim/command_line.h"

#include "settings/numeric_locale.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The text cut at every separator outside double quotes, blanks around each piece removed.
std::vector<std::string> SplitOutsideQuotes(std::string_view text, char separator)
{
    std::vector<std::string> pieces;
    std::string current;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == separator && !quoted) {
            pieces.push_back(TrimBlanks(current));
            current.clear();
        } else {
            current += c;
        }
    }
    pieces.push_back(TrimBlanks(current));
    return pieces;
}

std::vector<std::string> SplitArguments(std::string_view text)
{
    return text.empty() ? std::vector<std::string> {} : SplitOutsideQuotes(text, ',');
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

std::vector<std::string> SplitChain(std::string_view line)
{
    return SplitOutsideQuotes(line, ';');
}

std::string HeaderPath(const std::string& header, const std::string& previousPath)
{
    if (!header.empty() && header.front() == '*')
        return previousPath;
    const size_t lastColon = header.rfind(':');
    if (lastColon == std::string::npos || lastColon == 0)
        return {};
    return (header.front() == ':' ? "" : ":") + header.substr(0, lastColon + 1);
}

ESimError ArgumentCountError(const SimCommand& command, size_t wanted)
{
    if (command.Arguments.size() < wanted)
        return ESimError::MissingParameter;
    return command.Arguments.size() > wanted ? ESimError::ParameterNotAllowed : ESimError::None;
}

ESimError SingleReal(const SimCommand& command, double& value)
{
    if (const ESimError error = ArgumentCountError(command, 1); error != ESimError::None)
        return error;
    return ParseDoubleC(command.Arguments[0], value) ? ESimError::None : ESimError::IllegalParameterValue;
}

ESimError SingleInteger(const SimCommand& command, int64_t& value)
{
    if (const ESimError error = ArgumentCountError(command, 1); error != ESimError::None)
        return error;
    return ParseInt64C(command.Arguments[0], value) ? ESimError::None : ESimError::IllegalParameterValue;
}
