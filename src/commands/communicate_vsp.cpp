#include "commands/communicate_vsp.h"

#include <limits>

#include "commands/mux_channel_list.h"
#include "commands/mux_commands.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

constexpr const char* kChannelSet = ":MUX:CH:VAR:SET";
constexpr const char* kChannelGet = ":MUX:CH:VAR:GET";
constexpr const char* kAdjustSet = ":MUX:ADJust:VAR:SET";
constexpr const char* kOperationComplete = "*OPC";
constexpr int kMaskBits = 16;

} // namespace

bool CCommunicateVsp::SendSetting()
{
    const int32_t model = ModelCode();
    const auto& pins = ActivePins(*m_settings);
    const auto& channels = ActiveChannels(*m_settings);
    std::vector<std::string> lines;
    for (int k = 1; k <= kMuxChannels; ++k) {
        const auto index = static_cast<size_t>(k - 1);
        std::string line = FormatC("%s 0,%d", kChannelSet, k);
        for (const std::string& field : PackChannel(model, pins[index], channels[index]))
            line += "," + field;
        lines.push_back(std::move(line));
    }
    for (const std::string& line : lines) {
        if (!SendLine(line) || !SendLine(kOperationComplete))
            return false;
    }
    return true;
}

bool CCommunicateVsp::ReadSetting()
{
    const int32_t model = ModelCode();
    auto& pins = ActivePins(*m_settings);
    auto& channels = ActiveChannels(*m_settings);
    const auto fieldCount = static_cast<size_t>(ChannelFieldCount(model));
    for (int k = 1; k <= kMuxChannels; ++k) {
        std::string reply;
        const auto index = static_cast<size_t>(k - 1);
        if (!QueryWithText(kChannelGet, FormatC(" 0,%d", k), reply) || !SplitReply(reply, fieldCount)
            || !UnpackChannel(model, m_tokens, pins[index], channels[index]))
            return false;
    }
    return true;
}

bool CCommunicateCh0Adj::SendSetting()
{
    const int ranges = ZeroAdjustRangeCount(ModelCode());
    const auto& channels = ActiveChannels(*m_settings);
    for (int k = 1; k <= kMuxChannels; ++k) {
        const MeasCondition& cond = channels[static_cast<size_t>(k - 1)];
        const bool lowPower = cond.LowPower != 0;
        int32_t mask = 0;
        std::string values;
        for (int j = 0; j < ranges; ++j) {
            const auto index = static_cast<size_t>(j);
            const bool on = (lowPower ? cond.LpZeroAdjOn[index] : cond.ZeroAdjOn[index]) != 0;
            mask |= on ? (1 << j) : 0;
            const int64_t value = on ? (lowPower ? cond.LpZeroAdjValue[index] : cond.ZeroAdjValue[index]) : kNoAdjustValue;
            values += FormatC(",%lld", static_cast<long long>(value));
        }
        const auto wireMask = static_cast<long long>(Narrow(mask, kMaskBits, false));
        if (!SendLine(FormatC("%s 0,%d,%lld", kAdjustSet, k, wireMask) + values) || !SendLine(kOperationComplete))
            return false;
    }
    return true;
}

bool CCommunicateCh0Adj::ReadSetting()
{
    const int ranges = ZeroAdjustRangeCount(ModelCode());
    auto& channels = ActiveChannels(*m_settings);
    for (int k = 1; k <= kMuxChannels; ++k) {
        std::string reply;
        if (!QueryMuxAdjust(k, reply) || !SplitReply(reply, static_cast<size_t>(ranges) + 1))
            return false;
        MeasCondition& cond = channels[static_cast<size_t>(k - 1)];
        const bool lowPower = cond.LowPower != 0;
        int64_t wireMask = 0;
        if (!TokenBounded(0, 0, (int64_t { 1 } << kMaskBits) - 1, wireMask))
            return false;
        const int64_t mask = wireMask;
        for (int j = 0; j < ranges; ++j) {
            const auto index = static_cast<size_t>(j);
            int64_t value = 0;
            if (!TokenBounded(index + 1, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), value))
                return false;
            const bool on = ((mask >> j) & 1) != 0 && value != kNoAdjustValue;
            (lowPower ? cond.LpZeroAdjOn[index] : cond.ZeroAdjOn[index]) = on ? 1 : 0;
            (lowPower ? cond.LpZeroAdjValue[index] : cond.ZeroAdjValue[index])
                = value == kNoAdjustValue ? 0 : static_cast<int32_t>(value);
        }
    }
    return true;
}
