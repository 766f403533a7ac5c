#include "sim/instrument.h"

#include "settings/numeric_locale.h"

namespace {

using Avail = ESimAvailability;

// The replies of a chain's parts as one reply line, parts separated by ';' as the instrument joins
// them; it waits for the slowest part.
SimResponse JoinReplies(std::vector<SimResponse> replies)
{
    if (replies.size() <= 1)
        return replies.empty() ? SimResponse {} : std::move(replies.front());
    SimResponse joined;
    joined.HasReply = true;
    bool computed = false;
    for (const SimResponse& reply : replies) {
        joined.DelayMs += reply.DelayMs;
        joined.Background = joined.Background || reply.Background;
        joined.WaitTrigger = joined.WaitTrigger || reply.WaitTrigger;
        joined.Abortable = joined.Abortable || reply.Abortable;
        computed = computed || static_cast<bool>(reply.Produce);
    }
    const auto join = [](const std::vector<SimResponse>& parts) {
        std::string text;
        for (const SimResponse& part : parts)
            text += (text.empty() ? "" : ";") + (part.Produce ? part.Produce() : part.Text);
        return text;
    };
    if (computed)
        joined.Produce = [join, parts = std::move(replies)] { return join(parts); };
    else
        joined.Text = join(replies);
    return joined;
}

} // namespace

const std::vector<CInstrument::SCommandDef>& CInstrument::CommandTable()
{
    using C = CInstrument;
    static const std::vector<SCommandDef> table {
        { "*IDN", Avail::All, nullptr, &C::Identify, false },
        { "*TST", Avail::All, nullptr, &C::SelfTest, false },
        { "*OPC", Avail::All, &C::SetOperationComplete, &C::OperationComplete, false },
        { "*RST", Avail::All, &C::Reset, nullptr, false },
        { "*CLS", Avail::All, &C::ClearStatus, nullptr, false },
        { "*ESR", Avail::All, nullptr, &C::QueryEvents, false },
        { "*STB", Avail::All, nullptr, &C::QueryStatusByte, false },
        { "*ESE", Avail::All, &C::SetEventEnable, &C::QueryEventEnable, false },
        { "*SRE", Avail::All, &C::SetServiceEnable, &C::QueryServiceEnable, false },
        { ":SYSTem:ERRor[:NEXT]", Avail::All, nullptr, &C::QueryError, false },
        { ":SYSTem:ERRor:COUNt", Avail::All, nullptr, &C::QueryErrorCount, false },
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
    // Channel 0 is the front terminals: their comparator, in absolute limits.
    if (const auto front = m_options.ChannelLimits.find(0); front != m_options.ChannelLimits.end()) {
        m_settings.SetField(SimHeader::kLimitState, "ON");
        m_settings.SetField(SimHeader::kLimitMode, "ABSOLUTE");
        m_settings.SetField(SimHeader::kLimitLower, FormatC("%.6E", front->second.first));
        m_settings.SetField(SimHeader::kLimitUpper, FormatC("%.6E", front->second.second));
    }
    if (m_model.Mux)
        ApplyMuxPreset();
}

void CInstrument::ApplyMuxPreset()
{
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
        m_mux.SetChannelLimits(channel, limits.first, limits.second); // skips the front terminals
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

const std::vector<CHeaderPattern>& CInstrument::CommandPatterns()
{
    static const std::vector<CHeaderPattern> patterns = [] {
        std::vector<CHeaderPattern> list;
        for (const SCommandDef& def : CommandTable())
            list.emplace_back(def.Pattern);
        return list;
    }();
    return patterns;
}

SimResponse CInstrument::Execute(const std::string& line)
{
    std::lock_guard lock(m_mutex);
    std::vector<SimResponse> replies;
    std::string path; // where a chained part without a leading colon continues from
    bool first = true;
    for (const std::string& part : SplitChain(line)) {
        SimCommand command;
        if (!ParseCommandLine(part, command))
            continue; // a bare line end, or an empty part of a chain, is ignored
        if (!first)
            ResolveChained(command, path);
        first = false;
        SimResponse response = ExecuteLocked(command);
        if (response.HasReply)
            replies.push_back(std::move(response));
        path = HeaderPath(command.Header, path);
    }
    SimResponse response = JoinReplies(std::move(replies));
    response.TriggerMark = m_triggerCount.load();
    response.AbortMark = m_abortCount.load();
    return response;
}

int CInstrument::FindCommand(const SimCommand& command) const
{
    const std::vector<CHeaderPattern>& patterns = CommandPatterns();
    for (size_t i = 0; i < patterns.size(); ++i) {
        if (IsAvailable(CommandTable()[i].Availability, m_model) && patterns[i].Matches(command.Header))
            return static_cast<int>(i);
    }
    return -1;
}

bool CInstrument::Knows(const SimCommand& command) const
{
    if (const int index = FindCommand(command); index >= 0) {
        const SCommandDef& def = CommandTable()[static_cast<size_t>(index)];
        return (command.Query ? def.Query : def.Set) != nullptr;
    }
    return m_settings.Find(command.Header, m_model) >= 0;
}

void CInstrument::ResolveChained(SimCommand& command, const std::string& path) const
{
    const std::string& header = command.Header;
    if (path.empty() || header.empty() || header.front() == ':' || header.front() == '*')
        return;
    SimCommand relative = command;
    relative.Header = path + header;
    // Scripts often restart every part at the root without its colon: taken so when the path
    // does not lead to a command.
    if (Knows(relative))
        command.Header = relative.Header;
}

SimResponse CInstrument::ExecuteLocked(const SimCommand& command)
{
    if (const int found = FindCommand(command); found >= 0) {
        const SCommandDef& def = CommandTable()[static_cast<size_t>(found)];
        const Handler handler = command.Query ? def.Query : def.Set;
        if (handler == nullptr)
            return Reject(ESimError::UndefinedHeader);
        SimResponse response = (this->*handler)(command);
        if (response.HasReply && def.Headed && m_settings.Flag(SimHeader::kHeader) && !response.Produce)
            response.Text = CommandPatterns()[static_cast<size_t>(found)].ReplyHeader() + " " + response.Text;
        return response;
    }
    const int index = m_settings.Find(command.Header, m_model);
    if (index < 0)
        return Reject(ESimError::UndefinedHeader); // no reply, as on the instrument; the queue says why
    if (!command.Query) {
        // A malformed setting is ignored like the instrument ignores it: no reply either way.
        m_status.Push(m_settings.Set(index, command));
        return {};
    }
    std::string answer;
    if (const ESimError error = m_settings.Query(index, command, answer); error != ESimError::None)
        return Reject(error);
    if (m_settings.Flag(SimHeader::kHeader))
        answer = CHeaderPattern(SettingTable()[static_cast<size_t>(index)].Pattern).ReplyHeader() + " " + answer;
    return Answer(answer);
}

SimResponse CInstrument::Reject(ESimError error)
{
    m_status.Push(error);
    return {};
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
