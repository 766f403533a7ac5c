// MUX, scan and measurement commands of the instrument.
#include "sim/instrument.h"

#include "settings/numeric_locale.h"

namespace {

struct SScanModeWord {
    const char* Word;
    ESimScanMode Mode;
};
constexpr SScanModeWord kScanModes[] { { "OFF", ESimScanMode::Off }, { "STEP", ESimScanMode::Step },
    { "AUTO", ESimScanMode::Auto } };

// The channel of "0,k" list queries; 0 when the form is wrong.
int ListChannel(const SimCommand& command)
{
    int64_t zero = -1;
    int64_t channel = 0;
    if (command.Arguments.size() != 2 || !ParseInt64C(command.Arguments[0], zero) || zero != 0
        || !ParseInt64C(command.Arguments[1], channel) || !CMuxState::ValidChannel(static_cast<int>(channel)))
        return 0;
    return static_cast<int>(channel);
}

bool ParseOnOff(const SimCommand& command, bool& on)
{
    std::string text;
    if (command.Arguments.size() != 1 || !NormaliseField(SimFieldDef {}, command.Arguments[0], text))
        return false;
    on = text == "ON";
    return true;
}

} // namespace

SimResponse CInstrument::SetPanelVariables(const SimCommand& command)
{
    (void)m_mux.SetPanel(command.Arguments); // a list of the wrong form is ignored
    return {};
}

SimResponse CInstrument::GetPanelVariables(const SimCommand& command)
{
    if (command.Arguments.size() != 1 || command.Arguments[0] != "0")
        return {};
    return Answer(m_mux.PanelText());
}

SimResponse CInstrument::SetChannelVariables(const SimCommand& command)
{
    (void)m_mux.SetChannel(command.Arguments); // a list of the wrong form is ignored
    return {};
}

SimResponse CInstrument::GetChannelVariables(const SimCommand& command)
{
    const int channel = ListChannel(command);
    return channel != 0 ? Answer(m_mux.ChannelText(channel)) : SimResponse {};
}

SimResponse CInstrument::SetAdjustVariables(const SimCommand& command)
{
    (void)m_mux.SetAdjust(command.Arguments); // a list of the wrong form is ignored
    return {};
}

SimResponse CInstrument::GetAdjustVariables(const SimCommand& command)
{
    const int channel = ListChannel(command);
    return channel != 0 ? Answer(m_mux.AdjustText(channel)) : SimResponse {};
}

SimResponse CInstrument::SelectChannel(const SimCommand& command)
{
    int64_t channel = -1;
    if (command.Arguments.size() != 1 || !ParseInt64C(command.Arguments[0], channel))
        return {};
    if (channel != 0 && !CMuxState::ValidChannel(static_cast<int>(channel)))
        return {};
    m_mux.Select(static_cast<int>(channel));
    m_measurement.ResetScan();
    return {};
}

SimResponse CInstrument::QueryChannel(const SimCommand&)
{
    return Answer(m_mux.Selected() == 0 ? std::string("FRONT") : FormatC("%d", m_mux.Selected()));
}

SimResponse CInstrument::QueryChannelState(const SimCommand& command)
{
    int64_t channel = 0;
    if (command.Arguments.size() != 1 || !ParseInt64C(command.Arguments[0], channel)
        || !CMuxState::ValidChannel(static_cast<int>(channel)))
        return {};
    return Answer(m_mux.Enabled(static_cast<int>(channel)) ? "ON" : "OFF");
}

SimResponse CInstrument::QueryFrontCable(const SimCommand&)
{
    return Answer(m_options.FrontCable ? "1" : "0");
}

SimResponse CInstrument::ResetScan(const SimCommand&)
{
    m_measurement.ResetScan();
    return {};
}

SimResponse CInstrument::SetScanMode(const SimCommand& command)
{
    if (command.Arguments.size() != 1)
        return {};
    for (const SScanModeWord& mode : kScanModes) {
        if (MatchesWord(mode.Word, command.Arguments[0])) {
            m_mux.SetScanMode(mode.Mode);
            m_measurement.ResetScan();
        }
    }
    return {};
}

SimResponse CInstrument::QueryScanMode(const SimCommand&)
{
    for (const SScanModeWord& mode : kScanModes) {
        if (mode.Mode == m_mux.ScanMode())
            return Answer(mode.Word);
    }
    return {};
}

SimResponse CInstrument::SetFailStop(const SimCommand& command)
{
    bool on = false;
    if (ParseOnOff(command, on))
        m_mux.SetFailStop(on);
    return {};
}

SimResponse CInstrument::QueryFailStop(const SimCommand&)
{
    return Answer(m_mux.FailStop() ? "ON" : "OFF");
}

SimResponse CInstrument::QueryScanState(const SimCommand&)
{
    return Answer(m_measurement.ScanInProgress() ? "1" : "0");
}

SimResponse CInstrument::Fetch(const SimCommand& command)
{
    const auto& arguments = command.Arguments;
    if (arguments.empty())
        return Answer(m_measurement.Fetch(false));
    if (arguments.size() == 1 && MatchesWord("LIMit", arguments[0]))
        return Answer(m_measurement.Fetch(true));
    int64_t channel = 0;
    if (arguments.size() == 2 && MatchesWord("LIMJdge", arguments[0]) && ParseInt64C(arguments[1], channel)
        && CMuxState::ValidChannel(static_cast<int>(channel)))
        return Answer(m_measurement.ChannelResult(static_cast<int>(channel)));
    return {};
}

SimResponse CInstrument::Read(const SimCommand& command)
{
    const auto& arguments = command.Arguments;
    const bool withLimit = arguments.size() == 1 && MatchesWord("LIMit", arguments[0]);
    if (!arguments.empty() && !withLimit)
        return {};
    SimResponse response;
    response.HasReply = true;
    response.Abortable = true;
    if (m_settings.ChoiceIndex(SimHeader::kTriggerSource) == 1) {
        // The reading starts on the next external trigger; the parser goes on meanwhile.
        response.Background = true;
        response.WaitTrigger = true;
        response.DelayMs = m_options.MeasureMs * m_measurement.ReadingsPerRead();
        response.Produce = [this, withLimit] { return CompleteRead(withLimit); };
        return response;
    }
    response.DelayMs = m_options.MeasureMs * m_measurement.ReadingsPerRead();
    response.Text = m_measurement.Read(withLimit);
    return response;
}

SimResponse CInstrument::FetchTemperature(const SimCommand&)
{
    return Answer(CMeasurement::Temperature());
}

SimResponse CInstrument::TotalJudgement(const SimCommand&)
{
    return Answer(m_measurement.TotalJudgement());
}

SimResponse CInstrument::InputState(const SimCommand&)
{
    // A trigger pulse is latched until it has been read once, so no pulse is missed or seen twice.
    const bool active = m_inputLatched;
    m_inputLatched = false;
    return Answer(FormatC("%02X", active ? 1 : 0));
}
