#pragma once

#include <string>
#include <string_view>

// A text argument of the instrument's commands travels in double quotes; a quote inside it is
// doubled, so that the instrument does not take it for the end of the text.
[[nodiscard]] inline std::string QuotedText(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

// The text of a quoted reply: the outer quotes removed and each doubled quote made single. A reply
// without outer quotes is taken as it is.
[[nodiscard]] inline std::string UnquotedText(std::string_view text)
{
    if (text.size() < 2 || text.front() != '"' || text.back() != '"')
        return std::string(text);
    text = text.substr(1, text.size() - 2);
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        plain += text[i];
        if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"')
            ++i;
    }
    return plain;
}
