#include "acquisition/reply_check.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <vector>

#include "settings/numeric_locale.h"

namespace {

// What the instrument writes in place of a number: beyond the range, and a channel left unmeasured
// by its scan (a run of dashes).
constexpr std::string_view kOverRange = "OverRange";
constexpr std::array<std::string_view, 4> kCompWords = { "IN", "HI", "LO", "OFF" };
constexpr std::array<std::string_view, 4> kChannelWords = { "PASS", "FAIL", "ERR", "OFF" };
constexpr size_t kMaxInputDigits = 8;

std::vector<std::string_view> Fields(std::string_view reply)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const size_t comma = reply.find(',');
        fields.push_back(reply.substr(0, comma));
        if (comma == std::string_view::npos)
            return fields;
        reply.remove_prefix(comma + 1);
    }
}

bool IsValueField(std::string_view field)
{
    if (field == kOverRange)
        return true;
    if (!field.empty() && std::all_of(field.begin(), field.end(), [](char c) { return c == '-'; }))
        return true;
    // A number in the instrument's form: sign, digits, point, exponent; nothing else, and at
    // least one digit before the exponent.
    const bool plain = std::all_of(field.begin(), field.end(),
        [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'E' || c == 'e'; });
    if (field.empty() || !plain)
        return false;
    const size_t exponent = field.find_first_of("Ee");
    const std::string_view mantissa = field.substr(0, exponent);
    if (std::none_of(mantissa.begin(), mantissa.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    double value = 0.0;
    return ParseDoubleC(field, value);
}

template <size_t N> bool IsOneOf(std::string_view field, const std::array<std::string_view, N>& words)
{
    return std::find(words.begin(), words.end(), field) != words.end();
}

} // namespace

bool IsMeasurementReply(const std::string& reply, ReplyForm form)
{
    const std::vector<std::string_view> fields = Fields(reply);
    switch (form) {
    case ReplyForm::Value:
        return fields.size() == 1 && IsValueField(fields[0]);
    case ReplyForm::ValueAndJudge:
        return fields.size() == 2 && IsValueField(fields[0]) && IsOneOf(fields[1], kCompWords);
    case ReplyForm::Channel:
        return fields.size() == 3 && IsValueField(fields[0]) && IsOneOf(fields[1], kCompWords)
            && IsOneOf(fields[2], kChannelWords);
    case ReplyForm::ScanState:
        return reply == "0" || reply == "1";
    case ReplyForm::TotalJudge:
        return IsOneOf(std::string_view(reply), kChannelWords);
    case ReplyForm::InputBits:
        return !reply.empty() && reply.size() <= kMaxInputDigits && std::all_of(reply.begin(), reply.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c));
        });
    }
    return false;
}
