#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/status_model.h"

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

// The parts of a line whose commands are chained with ';' (outside double quotes), blanks around
// each removed; a line without ';' is its own single part.
[[nodiscard]] std::vector<std::string> SplitChain(std::string_view line);
// The path a following chained part continues from: the header without its last node, with a
// colon after it ("" for a root-level header); common ('*') commands leave the path as it was.
[[nodiscard]] std::string HeaderPath(const std::string& header, const std::string& previousPath);

// What is wrong with the number of arguments when the command takes exactly wanted of them.
[[nodiscard]] ESimError ArgumentCountError(const SimCommand& command, size_t wanted);
// The single argument as a number: the error says what is wrong when it is not one.
[[nodiscard]] ESimError SingleReal(const SimCommand& command, double& value);
[[nodiscard]] ESimError SingleInteger(const SimCommand& command, int64_t& value);
