#include "uilogic/field_exchange.h"

#include <cmath>

#include "settings/numeric_locale.h"

namespace {

size_t CodePoints(const std::string& text)
{
    size_t count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0U) != 0x80U ? 1 : 0;
    return count;
}

} // namespace

std::string FillPlaceholders(const std::string& pattern, long long first, long long second)
{
    std::string result = pattern;
    const std::string numbers[] = { std::to_string(first), std::to_string(second) };
    const char* marks[] = { "%1", "%2" };
    for (size_t i = 0; i < 2; ++i) {
        const size_t at = result.find(marks[i]);
        if (at != std::string::npos)
            result.replace(at, 2, numbers[i]);
    }
    return result;
}

bool ExchangeDouble(const std::string& text, double& value, std::string& message)
{
    double parsed = 0.0;
    if (!ParseDoubleC(text, parsed) || !std::isfinite(parsed)) {
        message = kEnterNumber;
        return false;
    }
    value = parsed;
    return true;
}

bool ExchangeInt(const std::string& text, int32_t& value, std::string& message)
{
    int32_t parsed = 0;
    if (!ParseInt32C(text, parsed)) {
        message = kEnterInteger;
        return false;
    }
    value = parsed;
    return true;
}

bool ExchangeIntRange(const std::string& text, int32_t low, int32_t high, int32_t& value, std::string& message)
{
    int32_t parsed = 0;
    if (!ParseInt32C(text, parsed) || parsed < low || parsed > high) {
        message = FillPlaceholders(kEnterIntegerBetween, low, high);
        return false;
    }
    value = parsed;
    return true;
}

bool ExchangeText(const std::string& text, size_t maxChars, std::string& value, std::string& message)
{
    if (CodePoints(text) > maxChars) {
        message = FillPlaceholders(kEnterNoMoreThan, static_cast<long long>(maxChars));
        return false;
    }
    value = text;
    return true;
}
