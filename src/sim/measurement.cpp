#include "sim/measurement.h"

#include <cmath>

#include "settings/numeric_locale.h"

namespace {

constexpr double kNoiseSpan = 2e-5; // relative, either way: a few counts of the last digit

int PassBit(const std::string& comparator)
{
    if (comparator == "HI")
        return 4;
    if (comparator == "IN")
        return 2;
    if (comparator == "LO")
        return 1;
    return 0;
}

} // namespace

std::string CompareLimits(double value, bool reference, double upper, double lower)
{
    if (reference) {
        const double deviation = upper != 0.0 ? (value - upper) / std::fabs(upper) * 100.0 : 0.0;
        if (deviation > lower)
            return "HI";
        return deviation < -lower ? "LO" : "IN";
    }
    if (value > upper)
        return "HI";
    return value < lower ? "LO" : "IN";
}

std::string JudgeChannel(const std::string& comparator, int passCode, bool error)
{
    if (passCode == 0)
        return "OFF";
    if (error)
        return "ERR";
    const int bit = PassBit(comparator);
    if (bit == 0)
        return "OFF";
    return (passCode & bit) != 0 ? "PASS" : "FAIL";
}

CMeasurement::CMeasurement(const CSettingStore& settings, const CMuxState& mux, double defaultOhms,
    std::map<int, double> channelOhms, bool overRange)
    : m_settings(settings)
    , m_mux(mux)
    , m_defaultOhms(defaultOhms)
    , m_channelOhms(std::move(channelOhms))
    , m_overRange(overRange)
{
}

double CMeasurement::Ohms(int channel) const
{
    const auto found = m_channelOhms.find(channel);
    return found != m_channelOhms.end() ? found->second : m_defaultOhms;
}

double CMeasurement::Noisy(double ohms)
{
    std::uniform_real_distribution<double> spread(-kNoiseSpan, kNoiseSpan);
    return ohms * (1.0 + spread(m_random));
}

std::string CMeasurement::FormatValue(double value)
{
    return FormatC("%.5E", value);
}

bool CMeasurement::Scanning() const
{
    return m_mux.Selected() != 0 && m_mux.ScanMode() != ESimScanMode::Off;
}

int CMeasurement::ReadingsPerRead() const
{
    if (Scanning() && m_mux.ScanMode() == ESimScanMode::Auto)
        return static_cast<int>(m_mux.EnabledChannels().size());
    return 1;
}

std::string CMeasurement::ReadFront(bool withLimit)
{
    if (m_mux.Selected() != 0) {
        const SimChannelResult result = MeasureChannel(m_mux.Selected());
        return withLimit ? result.Value + "," + result.Comparator : result.Value;
    }
    if (m_overRange) {
        const bool compOn = m_settings.Flag(SimHeader::kLimitState);
        return withLimit ? std::string(kOverRangeText) + "," + (compOn ? "HI" : "OFF") : kOverRangeText;
    }
    double value = Noisy(Ohms(0));
    if (m_settings.Flag(SimHeader::kScalingState))
        value = m_settings.Real(SimHeader::kScalingA) * value + m_settings.Real(SimHeader::kScalingB);
    const std::string text = FormatValue(value);
    if (!withLimit)
        return text;
    if (!m_settings.Flag(SimHeader::kLimitState))
        return text + ",OFF";
    const bool reference = m_settings.ChoiceIndex(SimHeader::kLimitMode) == 1;
    const double upper = m_settings.Real(reference ? SimHeader::kLimitReference : SimHeader::kLimitUpper);
    const double lower = m_settings.Real(reference ? SimHeader::kLimitPercent : SimHeader::kLimitLower);
    // The comparator sees the value as written, so judgement and value text agree.
    return text + "," + CompareLimits(StrToDoubleC(text), reference, upper, lower);
}

SimChannelResult CMeasurement::MeasureChannel(int channel)
{
    const SimChannelConditions conditions = m_mux.Conditions(channel);
    SimChannelResult result;
    result.Measured = true;
    if (m_overRange) {
        result.Value = kOverRangeText;
        result.Comparator = conditions.CompOn ? "HI" : "OFF";
        result.Judgement = JudgeChannel(result.Comparator, conditions.PassCode, true);
        return result;
    }
    double value = Noisy(Ohms(channel));
    if (conditions.ScalingOn)
        value = conditions.ScalingA * value + conditions.ScalingB;
    result.Value = FormatValue(value);
    value = StrToDoubleC(result.Value);
    if (channel == 1)
        m_channel1Value = value;
    if (conditions.CompOn) {
        double upper = conditions.Upper;
        if (conditions.Reference && conditions.ReferenceCh1)
            upper = m_results[0].Measured || channel == 1 ? m_channel1Value : Ohms(1);
        result.Comparator = CompareLimits(value, conditions.Reference, upper, conditions.Lower);
    }
    result.Judgement = JudgeChannel(result.Comparator, conditions.PassCode, false);
    return result;
}

void CMeasurement::ClearResults()
{
    m_results.fill(SimChannelResult {});
    m_lastChannel = 0;
}

void CMeasurement::ResetScan()
{
    ClearResults();
    m_stepPosition = 0;
}

bool CMeasurement::Failed(const SimChannelResult& result)
{
    return result.Judgement == "FAIL" || result.Judgement == "ERR";
}

std::string CMeasurement::ScanWhole()
{
    ClearResults();
    m_stepPosition = 0;
    for (const int channel : m_mux.EnabledChannels()) {
        SimChannelResult& result = m_results[static_cast<size_t>(channel - 1)];
        result = MeasureChannel(channel);
        m_lastChannel = channel;
        if (m_mux.FailStop() && Failed(result))
            break;
    }
    return m_lastChannel == 0 ? std::string(kNoValueText) : m_results[static_cast<size_t>(m_lastChannel - 1)].Value;
}

std::string CMeasurement::ScanStep()
{
    const std::vector<int> channels = m_mux.EnabledChannels();
    if (channels.empty())
        return kNoValueText;
    if (m_stepPosition == 0 || m_stepPosition >= channels.size()) {
        ClearResults();
        m_stepPosition = 0;
    }
    const int channel = channels[m_stepPosition];
    SimChannelResult& result = m_results[static_cast<size_t>(channel - 1)];
    result = MeasureChannel(channel);
    m_lastChannel = channel;
    ++m_stepPosition;
    if (m_stepPosition >= channels.size() || (m_mux.FailStop() && Failed(result)))
        m_stepPosition = 0; // the scan is complete
    return result.Value;
}

std::string CMeasurement::Read(bool withLimit)
{
    if (!Scanning())
        return ReadFront(withLimit);
    return m_mux.ScanMode() == ESimScanMode::Step ? ScanStep() : ScanWhole();
}

std::string CMeasurement::Fetch(bool withLimit)
{
    if (!Scanning())
        return ReadFront(withLimit);
    if (m_lastChannel == 0)
        return withLimit ? std::string(kNoValueText) + ",OFF" : kNoValueText;
    const SimChannelResult& result = m_results[static_cast<size_t>(m_lastChannel - 1)];
    return withLimit ? result.Value + "," + result.Comparator : result.Value;
}

std::string CMeasurement::ChannelResult(int channel) const
{
    if (!CMuxState::ValidChannel(channel))
        return {};
    const SimChannelResult& result = m_results[static_cast<size_t>(channel - 1)];
    return result.Value + "," + result.Comparator + "," + result.Judgement;
}

std::string CMeasurement::TotalJudgement() const
{
    bool anyJudged = false;
    bool anyFail = false;
    for (const SimChannelResult& result : m_results) {
        if (!result.Measured || result.Judgement == "OFF")
            continue;
        anyJudged = true;
        if (result.Judgement == "ERR")
            return "ERR";
        anyFail = anyFail || result.Judgement == "FAIL";
    }
    if (!anyJudged)
        return "OFF";
    return anyFail ? "FAIL" : "PASS";
}
