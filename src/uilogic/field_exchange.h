#pragma once

#include <cstdint>
#include <string>

// Reading the text of an edit into a member, with the messages the operator sees when the text
// does not fit. Numbers are read in the "C" convention whatever the locale.
inline constexpr const char* kEnterNumber = "Enter a number.";
inline constexpr const char* kEnterInteger = "Enter an integer.";
inline constexpr const char* kEnterNoMoreThan = "Enter no more than %1 characters.";
inline constexpr const char* kEnterIntegerBetween = "Enter an integer between %1 and %2.";

// False with the message when the text is not a number (surrounding blanks are allowed).
[[nodiscard]] bool ExchangeDouble(const std::string& text, double& value, std::string& message);
// False with the message when the text is not an integer.
[[nodiscard]] bool ExchangeInt(const std::string& text, int32_t& value, std::string& message);
// An integer within [low, high]; the value is left alone on failure.
[[nodiscard]] bool ExchangeIntRange(
    const std::string& text, int32_t low, int32_t high, int32_t& value, std::string& message);
// A text of at most maxChars characters (counted as UTF-8 code points).
[[nodiscard]] bool ExchangeText(const std::string& text, size_t maxChars, std::string& value, std::string& message);

// "%1", "%2" replaced by the given numbers.
[[nodiscard]] std::string FillPlaceholders(const std::string& pattern, long long first, long long second = 0);
