#pragma once

#include <string>
#include <string_view>
#include <vector>

// One received command line taken apart: the header (first word), whether it asks a question and
// its parameters split at commas outside double quotes.
struct SimCommand {
    std::string Line; // the whole line, blanks around it removed
    std::string Header; // as sent, without the question mark
    bool Query = false;
    std::string Parameters; // everything after the header, blanks around it removed
    std::vector<std::string> Arguments; // Parameters split at commas, each without surrounding blanks
};

// False for a line without a header (empty or blanks only).
[[nodiscard]] bool ParseCommandLine(std::string_view line, SimCommand& command);

// A text argument without its surrounding double quotes (unchanged when it has none).
[[nodiscard]] std::string Unquote(std::string_view text);
[[nodiscard]] std::string TrimBlanks(std::string_view text);
