#include "acquisition/reply_processing.h"

#include "settings/numeric_locale.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kYellow = 0xFFFF00;

} // namespace

SingleResult ProcessSingleResult(const std::string& reply)
{
    SingleResult result;
    std::string judge = "--";
    const size_t comma = reply.find(',');
    if (comma != std::string::npos) {
        result.Value = reply.substr(0, comma);
        judge = reply.substr(comma + 1);
    } else {
        result.Value = reply;
    }
    if (judge == "IN") {
        result.Judge = "IN";
        result.Colour = kCompGreen;
    } else if (judge == "HI") {
        result.Judge = "Hi";
        result.Colour = kCompRed;
    } else if (judge == "LO") {
        result.Judge = "Lo";
        result.Colour = kCompRed;
    } else {
        result.Judge = kNoJudge;
        result.Colour = kCompWhite;
    }
    return result;
}

ChannelResult ProcessChannelResult(const std::string& reply)
{
    ChannelResult result;
    const size_t first = reply.find(',');
    result.Value = reply.substr(0, first);
    const std::string rest = first == std::string::npos ? std::string() : reply.substr(first + 1);
    const size_t second = rest.find(',');
    result.Comp = rest.substr(0, second);
    result.Judge = second == std::string::npos ? std::string() : rest.substr(second + 1);
    if (result.Comp == "OFF")
        result.Comp = "---";
    if (result.Judge == "OFF")
        result.Judge = "----";
    if (result.Judge == "PASS")
        result.JudgeCellColour = 3;
    else if (result.Judge == "FAIL")
        result.JudgeCellColour = 2;
    else if (result.Judge == "ERR")
        result.JudgeCellColour = 7;
    else
        result.JudgeCellColour = 5;
    return result;
}

TotalJudgement ProcessTotalJudgement(const std::string& reply)
{
    if (reply == "PASS")
        return { reply, kTotalGreen };
    if (reply == "FAIL")
        return { reply, kTotalRed };
    if (reply == "ERR")
        return { reply, kTotalYellow };
    return { kNoTotal, kTotalWhite };
}

std::string ValueBoxTitle(int64_t number)
{
    if (number < 0)
        return kValueBoxCaption;
    return FormatC("%s No.%lld", kValueBoxCaption, static_cast<long long>(number + 1));
}

uint32_t CompColourRgb(int32_t colour)
{
    switch (colour) {
    case kCompRed: return kRed;
    case kCompGreen: return kGreen;
    default: return kWhite;
    }
}

uint32_t TotalColourRgb(int32_t colour)
{
    switch (colour) {
    case kTotalGreen: return kGreen;
    case kTotalRed: return kRed;
    case kTotalYellow: return kYellow;
    default: return kWhite;
    }
}
