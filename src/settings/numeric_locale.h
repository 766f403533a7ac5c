#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Every number exchanged with the instrument, written to a settings file or to a text record is
// formatted and parsed with a point as decimal separator, whatever the operator's locale. These
// helpers switch the calling thread to the "C" numeric convention for the one call only, so they
// are safe on any thread while the GUI runs under the user's locale.

// printf-style formatting in the "C" numeric convention.
[[nodiscard]] std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Whole-text parsers in the "C" convention; leading and trailing blanks are allowed, anything else
// makes them fail and leave the output untouched.
[[nodiscard]] bool ParseDoubleC(std::string_view text, double& value);
[[nodiscard]] bool ParseInt64C(std::string_view text, int64_t& value);
[[nodiscard]] bool ParseInt32C(std::string_view text, int32_t& value);

// strtod/strtol-like prefix parsers in the "C" convention: read a number at the start of text
// (after blanks) and report how many characters were used (0 when there is no number).
[[nodiscard]] double StrToDoubleC(std::string_view text, size_t* used = nullptr);
[[nodiscard]] long long StrToLongLongC(std::string_view text, size_t* used = nullptr);
