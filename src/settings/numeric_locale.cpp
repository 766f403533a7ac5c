#include "settings/numeric_locale.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "settings/c_locale_guard.h"

namespace {

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

template <typename T> bool ParseWhole(std::string_view text, T& value)
{
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    T parsed {};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return false;
    value = parsed;
    return true;
}

} // namespace

std::string FormatC(const char* format, ...)
{
    CLocaleGuard guard;
    char small[256];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string result;
    if (length < 0) {
        va_end(again);
        return result;
    }
    if (static_cast<size_t>(length) < sizeof small) {
        result.assign(small, static_cast<size_t>(length));
    } else {
        result.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(result.data(), result.size(), format, again);
        result.resize(static_cast<size_t>(length));
    }
    va_end(again);
    return result;
}

bool ParseDoubleC(std::string_view text, double& value) { return ParseWhole(text, value); }
bool ParseInt64C(std::string_view text, int64_t& value) { return ParseWhole(text, value); }
bool ParseInt32C(std::string_view text, int32_t& value) { return ParseWhole(text, value); }

double StrToDoubleC(std::string_view text, size_t* used)
{
    const std::string copy(text); // strtod needs a terminated text
    CLocaleGuard guard;
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (used != nullptr)
        *used = static_cast<size_t>(end - copy.c_str());
    return value;
}

long long StrToLongLongC(std::string_view text, size_t* used)
{
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(copy.c_str(), &end, 10);
    if (used != nullptr)
        *used = static_cast<size_t>(end - copy.c_str());
    return value;
}
