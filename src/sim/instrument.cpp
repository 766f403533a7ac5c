#include "sim/instrument.h"

#include "settings/numeric_locale.h"

namespace {
using Avail = ESimAvailability;
} // namespace

const std::vector<CInstrument::SCommandDef>& CInstrument::CommandTable()
{
    using C = CInstrument;
    static const std::vector<SCommandDef> table {
        { "*IDN", Avail::All, nullptr, &C::Identify, false },
        { "*TST", Avail::All, nullptr, &C::SelfTest, false },
        { "*OPC", Avail::All, &C::Nothing, &C::OperationComplete, false },
        { "*RST", Avail::All, &C::Reset, nullptr, false },
        { "*CLS", Avail::All, &C::Nothing, nullptr, false },
        { "[SENSe:]RESistance:RANGe", Avail::All, &C::SetRange, &C::QueryRange, true },
        { "[SENSe:]RESistance:LP:RANGe", Avail::Not2048, &C::SetLowPowerRange, &C::QueryLowPowerRange, true },
        { ":ADJust:SET", Avail::All, &C::SetAdjust, nullptr, true },
        { ":ADJust:GET", Avail::All, nullptr, &C::GetAdjust, true },
        { ":ADJust", Avail::All, nullptr, &C::StartZeroAdjust, false },
        { ":ABORt", Avail::All, &C::Abort, nullptr, false },
        { ":SYSTem:PANel:SAVE", Avail::All, &C::SavePanel, nullptr, true },
        { ":MUX:PANel:VAR:SET", Avail::Mux, &C::SetPanelVariables, nullptr, true },
        { ":MUX:PANel:VAR:GET", Avail::Mux, nullptr, &C::GetPanelVariables, true },
        { ":MUX:CH:VAR:SET", Avail::Mux, &C::SetChannelVariables, nullptr, true },
        { ":MUX:CH:VAR:GET", Avail::Mux, nullptr, &C::GetChannelVariables, true },
        { ":MUX:ADJust:VAR:SET", Avail::Mux, &C::SetAdjustVariables, nullptr, true },
        { ":MUX:ADJust:VAR:GET", Avail::Mux, nullptr, &C::GetAdjustVariables, true },
        { ":MUX:VAR:SET:START", Avail::Mux, &C::Nothing, nullptr, true },
        { ":MUX:VAR:SET:END", Avail::Mux, &C::Nothing, nullptr, true },
        { "CH", Avail::Mux, &C::SelectChannel, &C::QueryChannel, true },
        { "CH:STATe", Avail::Mux, nullptr, &C::QueryChannelState, true },
        { "FRONtcheck", Avail::Mux, nullptr, &C::QueryFrontCable, true },
        { "SCAN:RESet", Avail::Mux, &C::ResetScan, nullptr, true },
        { "SCAN:MODE", Avail::Mux, &C::SetScanMode, &C::QueryScanMode, true },
        { "SCAN:FAIL:STOP", Avail::Mux, &C::SetFailStop, &C::QueryFailStop, true },
        { "SCAN:STATe", Avail::Mux, nullptr, &C::QueryScanState, false },
        { ":FETCh", Avail::All, nullptr, &C::Fetch, false },
        { ":READ", Avail::All, nullptr, &C::Read, false },
        { ":FETCh:TEMPerature", Avail::All, nullptr, &C::FetchTemperature, false },
        { ":CALCulate:LIMit:JUDGe:TOTal", Avail::All, nullptr, &C::TotalJudgement, false },
        { "IO:INPut", Avail::All, nullptr, &C::InputState, false },
    };
    return table;
}

CInstrument::CInstrument(const SimOptions& options)
    : m_options(options)
    , m_model(ModelByName(options.Model))
    , m_mux(m_model)
    , m_measurement(m_settings, m_mux, options.DefaultResistance, options.ChannelResistance, options.OverRange)
{
    ResetState();
    ApplyPowerOnPreset();
}

void CInstrument::ApplyPowerOnPreset()
{
    if (!m_model.Mux)
        return;
    if (!m_options.MuxChannels.empty())
        m_mux.EnableChannels(m_options.MuxChannels);
    if (m_options.MuxSelect != 0 && CMuxState::ValidChannel(m_options.MuxSelect))
        m_mux.Select(m_options.MuxSelect);
    if (m_options.MuxScanMode == "OFF")
        m_mux.SetScanMode(ESimScanMode::Off);
    else if (m_options.MuxScanMode == "STEP")
        m_mux.SetScanMode(ESimScanMode::Step);
    else if (m_options.MuxScanMode == "AUTO")
        m_mux.SetScanMode(ESimScanMode::Auto);
    m_mux.SetFailStop(m_options.MuxFailStop);
    for (const auto& [channel, limits] : m_options.ChannelLimits)
        m_mux.SetChannelLimits(channel, limits.first, limits.second);
}

void CInstrument::ResetState()
{
    m_settings.Reset();
    m_mux.Reset();
    m_measurement.ResetScan();
    m_range = m_model.Extended ? 11 : 10; // 100 MΩ
    m_lowPowerRange = 3;
    m_zeroAdjust.fill(kNoAdjustment);
    m_lowPowerZeroAdjust.fill(kNoAdjustment);
}

SimResponse CInstrument::Execute(const std::string& line)
{
    SimCommand command;
    if (!ParseCommandLine(line, command))
        return {}; // a bare line end is ignored
    std::lock_guard lock(m_mutex);
    SimResponse response = ExecuteLocked(command);
    response.TriggerMark = m_triggerCount.load();
    response.AbortMark = m_abortCount.load();
    return response;
}

SimResponse CInstrument::ExecuteLocked(const SimCommand& command)
{
    static const std::vector<CHeaderPattern> patterns = [] {
        std::vector<CHeaderPattern> list;
        for (const SCommandDef& def : CommandTable())
            list.emplace_back(def.Pattern);
        return list;
    }();
    const bool headersOn = m_settings.Flag(SimHeader::kHeader);
    for (size_t i = 0; i < patterns.size(); ++i) {
        const SCommandDef& def = CommandTable()[i];
        const CHeaderPattern& pattern = patterns[i];
        if (!IsAvailable(def.Availability, m_model) || !pattern.Matches(command.Header))
            continue;
        const Handler handler = command.Query ? def.Query : def.Set;
        if (handler == nullptr)
            return {};
        SimResponse response = (this->*handler)(command);
        if (response.HasReply && def.Headed && headersOn && !response.Produce)
            response.Text = pattern.ReplyHeader() + " " + response.Text;
        return response;
    }
    const int index = m_settings.Find(command.Header, m_model);
    if (index < 0)
        return {}; // unknown commands get no reply, as on the instrument
    if (!command.Query) {
        // A malformed setting is ignored like the instrument ignores it: no reply either way.
        (void)m_settings.Set(index, command);
        return {};
    }
    std::string answer;
    if (!m_settings.Query(index, command, answer))
        return {};
    if (headersOn)
        answer = CHeaderPattern(SettingTable()[static_cast<size_t>(index)].Pattern).ReplyHeader() + " " + answer;
    return Answer(answer);
}

SimResponse CInstrument::Answer(std::string text) const
{
    SimResponse response;
    response.HasReply = true;
    response.Text = std::move(text);
    return response;
}

void CInstrument::FireTrigger()
{
    std::lock_guard lock(m_mutex);
    m_inputLatched = true;
    ++m_triggerCount;
}

void CInstrument::SetChannelResistance(int channel, double ohms)
{
    std::lock_guard lock(m_mutex);
    m_measurement.SetChannelResistance(channel, ohms);
}

std::string CInstrument::CompleteRead(bool withLimit)
{
    std::lock_guard lock(m_mutex);
    return m_measurement.Read(withLimit);
}

std::string CInstrument::FinishZeroAdjust()
{
    std::lock_guard lock(m_mutex);
    if (m_options.ZeroAdjustFails)
        return "1";
    // A successful adjustment leaves a small offset on the ranges it adjusted.
    if (m_mux.Selected() != 0 && m_settings.Flag(SimHeader::kZeroAdjustEnable)) {
        const uint64_t zeroAll = m_mux.ZeroAllMask();
        for (int channel = 1; channel <= kSimChannels; ++channel) {
            if (((zeroAll >> (channel - 1)) & 1u) != 0)
                m_mux.StoreAdjustment(channel, 100 + channel);
        }
    } else if (m_settings.Flag(SimHeader::kLowPower)) {
        m_lowPowerZeroAdjust[static_cast<size_t>(m_lowPowerRange)] = 12;
    } else if (m_range < m_model.ZeroAdjustRanges) {
        m_zeroAdjust[static_cast<size_t>(m_range)] = 12;
    }
    return "0";
}
