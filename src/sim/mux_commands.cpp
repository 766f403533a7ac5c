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

// The channel of "0,k" list queries; the error says what is wrong with the form.
ESimError ListChannel(const SimCommand& command, int& channel)
{
    int64_t zero = -1;
    int64_t number = 0;
    if (const ESimError error = ArgumentCountError(command, 2); error != ESimError::None)
        return error;
    if (!ParseInt64C(command.Arguments[0], zero) || zero != 0 || !ParseInt64C(command.Arguments[1], number))
        return ESimError::IllegalParameterValue;
    if (!CMuxState::ValidChannel(static_cast<int>(number)))
        return ESimError::DataOutOfRange;
    channel = static_cast<int>(number);
    return ESimError::None;
}

// A channel number from 1 to 42 (or 0, the front terminals, when front is true).
ESimError ChannelArgument(const SimCommand& command, bool front, int& channel)
{
    int64_t number = 0;
    if (const ESimError error = SingleInteger(command, number); error != ESimError::None)
        return error;
    if (!(front && number == 0) && !CMuxState::ValidChannel(static_cast<int>(number)))
        return ESimError::DataOutOfRange;
    channel = static_cast<int>(number);
    return ESimError::None;
}

ESimError ParseOnOff(const SimCommand& command, bool& on)
{
    std::string text;
    if (const ESimError error = ArgumentCountError(command, 1); error != ESimError::None)
        return error;
    if (const ESimError error = NormaliseField(SimFieldDef {}, command.Arguments[0], text); error != ESimError::None)
        return error;
    on = text == "ON";
    return ESimError::None;
}

} // namespace

SimResponse CInstrument::SetPanelVariables(const SimCommand& command)
{
    // A list of the wrong form is ignored.
    return m_mux.SetPanel(command.Arguments) ? SimResponse {} : Reject(ESimError::IllegalParameterValue);
}

SimResponse CInstrument::GetPanelVariables(const SimCommand& command)
{
    if (const ESimError error = ArgumentCountError(command, 1); error != ESimError::None)
        return Reject(error);
    if (command.Arguments[0] != "0")
        return Reject(ESimError::IllegalParameterValue);
    return Answer(m_mux.PanelText());
}

SimResponse CInstrument::SetChannelVariables(const SimCommand& command)
{
    return m_mux.SetChannel(command.Arguments) ? SimResponse {} : Reject(ESimError::IllegalParameterValue);
}

SimResponse CInstrument::GetChannelVariables(const SimCommand& command)
{
    int channel = 0;
    if (const ESimError error = ListChannel(command, channel); error != ESimError::None)
        return Reject(error);
    return Answer(m_mux.ChannelText(channel));
}

SimResponse CInstrument::SetAdjustVariables(const SimCommand& command)
{
    return m_mux.SetAdjust(command.Arguments) ? SimResponse {} : Reject(ESimError::IllegalParameterValue);
}

SimResponse CInstrument::GetAdjustVariables(const SimCommand& command)
{
    int channel = 0;
    if (const ESimError error = ListChannel(command, channel); error != ESimError::None)
        return Reject(error);
    return Answer(m_mux.AdjustText(channel));
}

SimResponse CInstrument::SelectChannel(const SimCommand& command)
{
    int channel = 0;
    if (const ESimError error = ChannelArgument(command, true, channel); error != ESimError::None)
        return Reject(error);
    m_mux.Select(channel);
    m_measurement.ResetScan();
    return {};
}

SimResponse CInstrument::QueryChannel(const SimCommand&)
{
    return Answer(m_mux.Selected() == 0 ? std::string("FRONT") : FormatC("%d", m_mux.Selected()));
}

SimResponse CInstrument::QueryChannelState(const SimCommand& command)
{
    int channel = 0;
    if (const ESimError error = ChannelArgument(command, false, channel); error != ESimError::None)
        return Reject(error);
    return Answer(m_mux.Enabled(channel) ? "ON" : "OFF");
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
    if (const ESimError error = ArgumentCountError(command, 1); error != ESimError::None)
        return Reject(error);
    for (const SScanModeWord& mode : kScanModes) {
        if (MatchesWord(mode.Word, command.Arguments[0])) {
            m_mux.SetScanMode(mode.Mode);
            m_measurement.ResetScan();
            return {};
        }
    }
    return Reject(ESimError::IllegalParameterValue);
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
    if (const ESimError error = ParseOnOff(command, on); error != ESimError::None)
        return Reject(error);
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
    return Reject(ESimError::IllegalParameterValue);
}

SimResponse CInstrument::Read(const SimCommand& command)
{
    const auto& arguments = command.Arguments;
    const bool withLimit = arguments.size() == 1 && MatchesWord("LIMit", arguments[0]);
    if (!arguments.empty() && !withLimit)
        return Reject(ESimError::IllegalParameterValue);
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
