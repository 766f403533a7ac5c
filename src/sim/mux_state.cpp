#include "sim/mux_state.h"

#include <cmath>
#include <cstring>

#include "settings/numeric_locale.h"
#include "sim/command_line.h"

namespace {

constexpr int kTerminalsPerUnit = 10; // 4-wire numbering, the default method
constexpr size_t kUnitTextPosition = 34;

bool ParseInteger(const std::string& text, int64_t& value)
{
    return ParseInt64C(text, value);
}

// The leading "0," and channel number shared by the channel lists; 0 when either is wrong.
int ChannelOfArguments(const std::vector<std::string>& arguments)
{
    int64_t zero = -1;
    int64_t channel = 0;
    if (arguments.size() < 2 || !ParseInteger(arguments[0], zero) || zero != 0 || !ParseInteger(arguments[1], channel)
        || !CMuxState::ValidChannel(static_cast<int>(channel)))
        return 0;
    return static_cast<int>(channel);
}

std::string JoinNumbers(const std::vector<int64_t>& values)
{
    std::string text;
    for (const int64_t value : values)
        text += (text.empty() ? "" : ",") + FormatC("%lld", static_cast<long long>(value));
    return text;
}

} // namespace

void SplitRaw(double value, int32_t& low, int32_t& high)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    low = static_cast<int32_t>(static_cast<uint32_t>(bits & 0xFFFFFFFFu));
    high = static_cast<int32_t>(static_cast<uint32_t>(bits >> 32));
}

double JoinRaw(int64_t low, int64_t high)
{
    const uint64_t bits = (static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32) | static_cast<uint32_t>(low);
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

CMuxState::CMuxState(SimModel model)
    : m_model(std::move(model))
{
    Reset();
}

void CMuxState::Reset()
{
    m_panel.fill(0);
    for (const size_t count : { 4u, 5u, 6u, 8u, 10u })
        m_panel[count] = 2; // beeper counts of Hi, IN, Lo, PASS, FAIL
    m_panel[11] = 1; // first enabled channel
    m_panel[12] = 1; // 4-wire
    m_panel[38] = 1; // channel 1 enabled
    m_panel[40] = -1; // every channel takes part in zero-all: 42 bits
    m_panel[41] = (1 << (kSimChannels - 32)) - 1;
    for (int channel = 1; channel <= kSimChannels; ++channel) {
        m_channels[static_cast<size_t>(channel - 1)] = DefaultChannel(channel);
        SAdjust& adjust = m_adjust[static_cast<size_t>(channel - 1)];
        adjust.Mask = 0;
        adjust.Values.assign(static_cast<size_t>(m_model.ZeroAdjustRanges), kNoAdjustment);
    }
    m_selected = 0;
}

std::vector<std::string> CMuxState::DefaultChannel(int channel) const
{
    int unit = 0;
    int terminal = 1;
    if (channel <= kTerminalsPerUnit) {
        terminal = channel;
    } else if (channel <= 2 * kTerminalsPerUnit) {
        unit = 1;
        terminal = channel - kTerminalsPerUnit;
    }
    const int range = m_model.Extended ? 11 : 10;
    int32_t bLow = 0;
    int32_t bHigh = 0;
    SplitRaw(0.0, bLow, bHigh);
    int32_t r1Low = 0;
    int32_t r1High = 0;
    SplitRaw(1.0, r1Low, r1High);
    const std::vector<int64_t> head { 10, 2350, 10000, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, unit + 1, terminal,
        terminal, range, 3, 0, 0, 2, 0, 0, 1, 0, 200, 3930, 230 };
    std::vector<std::string> fields;
    for (const int64_t value : head)
        fields.push_back(FormatC("%lld", static_cast<long long>(value)));
    fields.emplace_back("\"\"");
    for (const int64_t value : std::vector<int64_t> { bLow, bHigh, r1Low, r1High, 0, 0, 0, 0 })
        fields.push_back(FormatC("%lld", static_cast<long long>(value)));
    if (m_model.ChannelFields > 42) {
        int32_t atcLow = 0;
        int32_t atcHigh = 0;
        SplitRaw(0.01, atcLow, atcHigh);
        const std::vector<int64_t> atc { 0, 1, 0, 1, 1, 1, 1, 1, 0, 0, 1, 0, 1, 1, 1, 11, 0, 0, 2, 0, 200, 3930, 2350,
            3930, 230, atcLow, atcHigh };
        for (const int64_t value : atc)
            fields.push_back(FormatC("%lld", static_cast<long long>(value)));
    }
    return fields;
}

bool CMuxState::SetPanel(const std::vector<std::string>& arguments)
{
    int64_t zero = -1;
    if (arguments.size() != kPanelFields + 1 || !ParseInteger(arguments[0], zero) || zero != 0)
        return false;
    std::array<int64_t, kPanelFields> values {};
    for (size_t i = 0; i < values.size(); ++i) {
        if (!ParseInteger(arguments[i + 1], values[i]))
            return false;
    }
    m_panel = values;
    return true;
}

std::string CMuxState::PanelText() const
{
    return JoinNumbers({ m_panel.begin(), m_panel.end() });
}

bool CMuxState::SetChannel(const std::vector<std::string>& arguments)
{
    const int channel = ChannelOfArguments(arguments);
    if (channel == 0 || arguments.size() != static_cast<size_t>(m_model.ChannelFields) + 2)
        return false;
    std::vector<std::string> fields;
    for (size_t position = 1; position <= static_cast<size_t>(m_model.ChannelFields); ++position) {
        const std::string& argument = arguments[position + 1];
        if (position == kUnitTextPosition) {
            fields.push_back("\"" + Unquote(argument) + "\"");
            continue;
        }
        int64_t value = 0;
        if (!ParseInteger(argument, value))
            return false;
        fields.push_back(FormatC("%lld", static_cast<long long>(value)));
    }
    m_channels[static_cast<size_t>(channel - 1)] = std::move(fields);
    return true;
}

std::string CMuxState::ChannelText(int channel) const
{
    std::string text;
    for (const std::string& field : m_channels[static_cast<size_t>(channel - 1)])
        text += (text.empty() ? "" : ",") + field;
    return text;
}

bool CMuxState::SetAdjust(const std::vector<std::string>& arguments)
{
    const int channel = ChannelOfArguments(arguments);
    const size_t ranges = static_cast<size_t>(m_model.ZeroAdjustRanges);
    if (channel == 0 || arguments.size() != ranges + 3)
        return false;
    SAdjust adjust;
    if (!ParseInteger(arguments[2], adjust.Mask))
        return false;
    adjust.Mask &= 0xFFFF;
    for (size_t j = 0; j < ranges; ++j) {
        int64_t value = 0;
        if (!ParseInteger(arguments[j + 3], value))
            return false;
        if (value == kNoAdjustment)
            adjust.Mask &= ~(int64_t { 1 } << j); // writing the missing value clears the adjustment
        adjust.Values.push_back(value);
    }
    m_adjust[static_cast<size_t>(channel - 1)] = std::move(adjust);
    return true;
}

std::string CMuxState::AdjustText(int channel) const
{
    const SAdjust& adjust = m_adjust[static_cast<size_t>(channel - 1)];
    std::vector<int64_t> values { adjust.Mask };
    values.insert(values.end(), adjust.Values.begin(), adjust.Values.end());
    return JoinNumbers(values);
}

void CMuxState::StoreAdjustment(int channel, int64_t value)
{
    const int range = static_cast<int>(ChannelField(channel, 22));
    SAdjust& adjust = m_adjust[static_cast<size_t>(channel - 1)];
    if (range < 0 || range >= static_cast<int>(adjust.Values.size()))
        return;
    adjust.Values[static_cast<size_t>(range)] = value;
    adjust.Mask |= int64_t { 1 } << range;
}

uint64_t CMuxState::Mask(size_t lowIndex) const
{
    const auto low = static_cast<uint32_t>(m_panel[lowIndex]);
    const auto high = static_cast<uint32_t>(m_panel[lowIndex + 1]);
    return (static_cast<uint64_t>(high) << 32) | low;
}

bool CMuxState::Enabled(int channel) const
{
    return ValidChannel(channel) && ((EnabledMask() >> (channel - 1)) & 1u) != 0;
}

std::vector<int> CMuxState::EnabledChannels() const
{
    std::vector<int> channels;
    for (int channel = 1; channel <= kSimChannels; ++channel) {
        if (Enabled(channel))
            channels.push_back(channel);
    }
    return channels;
}

ESimScanMode CMuxState::ScanMode() const
{
    if (m_panel[13] != 0)
        return ESimScanMode::Off;
    return m_panel[14] != 0 ? ESimScanMode::Step : ESimScanMode::Auto;
}

void CMuxState::SetScanMode(ESimScanMode mode)
{
    m_panel[13] = mode == ESimScanMode::Off ? 1 : 0;
    if (mode != ESimScanMode::Off)
        m_panel[14] = mode == ESimScanMode::Step ? 1 : 0;
}

int64_t CMuxState::ChannelField(int channel, int position) const
{
    const auto& fields = m_channels[static_cast<size_t>(channel - 1)];
    if (position < 1 || static_cast<size_t>(position) > fields.size())
        return 0;
    return StrToLongLongC(fields[static_cast<size_t>(position - 1)]);
}

int64_t CMuxState::ChannelPair(int channel, int position) const
{
    const auto low = static_cast<uint32_t>(ChannelField(channel, position));
    const auto high = static_cast<uint32_t>(ChannelField(channel, position + 1));
    return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}

SimChannelConditions CMuxState::Conditions(int channel) const
{
    SimChannelConditions conditions;
    if (!ValidChannel(channel))
        return conditions;
    conditions.CompOn = ChannelField(channel, 15) != 0;
    conditions.Reference = ChannelField(channel, 16) != 0;
    conditions.ReferenceCh1 = ChannelField(channel, 17) != 0;
    conditions.PassCode = static_cast<int>(ChannelField(channel, 26));
    const auto upper = static_cast<double>(ChannelPair(channel, 39));
    const auto lower = static_cast<double>(ChannelPair(channel, 41));
    conditions.Upper = upper / 1e9;
    conditions.Lower = conditions.Reference ? lower / 1000.0 : lower / 1e9;
    conditions.ScalingOn = ChannelField(channel, 11) != 0;
    const auto mantissa = static_cast<double>(ChannelField(channel, 3));
    const auto exponent = static_cast<double>(ChannelField(channel, 27));
    conditions.ScalingA = mantissa / 10000.0 * std::pow(10.0, exponent);
    conditions.ScalingB = JoinRaw(ChannelField(channel, 35), ChannelField(channel, 36));
    conditions.Range = static_cast<int>(ChannelField(channel, 22));
    return conditions;
}

void CMuxState::SetChannelField(int channel, int position, int64_t value)
{
    std::vector<std::string>& fields = m_channels[static_cast<size_t>(channel - 1)];
    if (position >= 1 && static_cast<size_t>(position) <= fields.size())
        fields[static_cast<size_t>(position - 1)] = FormatC("%lld", static_cast<long long>(value));
}

void CMuxState::EnableChannels(const std::vector<int>& channels)
{
    uint64_t mask = 0;
    for (const int channel : channels) {
        if (ValidChannel(channel))
            mask |= uint64_t { 1 } << (channel - 1);
    }
    m_panel[38] = static_cast<int32_t>(mask & 0xFFFFFFFFU);
    m_panel[39] = static_cast<int32_t>(mask >> 32);
}

void CMuxState::SetChannelLimits(int channel, double lowerOhms, double upperOhms)
{
    if (!ValidChannel(channel))
        return;
    SetChannelField(channel, 15, 1); // comparator on
    SetChannelField(channel, 16, 0); // absolute limits
    const auto upper = static_cast<int64_t>(upperOhms * 1e9);
    const auto lower = static_cast<int64_t>(lowerOhms * 1e9);
    SetChannelField(channel, 39, static_cast<int32_t>(upper & 0xFFFFFFFF));
    SetChannelField(channel, 40, static_cast<int32_t>(upper >> 32));
    SetChannelField(channel, 41, static_cast<int32_t>(lower & 0xFFFFFFFF));
    SetChannelField(channel, 42, static_cast<int32_t>(lower >> 32));
}
