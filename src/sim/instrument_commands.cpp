// Common, range, zero-adjust and panel commands of the instrument.
#include "sim/instrument.h"

#include "settings/numeric_locale.h"

namespace {

constexpr const char* kMaker = "ZORVI";
constexpr const char* kPanelName = ":SYSTem:PANel:NAME";
constexpr int kPanels = 38;

// The smallest range whose full scale holds the value, -1 when none does.
template <typename FullScale> int RangeFor(double ohms, int count, FullScale fullScale)
{
    for (int index = 0; index < count; ++index) {
        if (fullScale(index) >= ohms * (1.0 - 1e-9))
            return index;
    }
    return -1;
}

} // namespace

SimResponse CInstrument::Identify(const SimCommand&)
{
    return Answer(std::string(kMaker) + "," + m_options.Model + "," + m_options.Serial + "," + m_options.Firmware);
}

SimResponse CInstrument::SelfTest(const SimCommand&)
{
    return Answer(FormatC("%d", m_options.SelfTestResult));
}

SimResponse CInstrument::OperationComplete(const SimCommand&)
{
    return Answer("1");
}

SimResponse CInstrument::Nothing(const SimCommand&)
{
    return {};
}

SimResponse CInstrument::Reset(const SimCommand&)
{
    // Panels outlive a reset of the measurement conditions.
    std::vector<std::string> names;
    for (int panel = 1; panel <= kPanels; ++panel)
        names.push_back(m_settings.Field(kPanelName, panel));
    ResetState();
    for (int panel = 1; panel <= kPanels; ++panel)
        m_settings.SetField(kPanelName, names[static_cast<size_t>(panel - 1)], panel);
    return {};
}

SimResponse CInstrument::SetRange(const SimCommand& command)
{
    double ohms = 0.0;
    if (const ESimError error = SingleReal(command, ohms); error != ESimError::None)
        return Reject(error);
    const int index = RangeFor(ohms, m_model.RangeCount, [this](int i) { return RangeOhms(m_model, i); });
    if (index < 0)
        return Reject(ESimError::DataOutOfRange);
    m_range = index;
    m_settings.SetField(SimHeader::kAutoRange, "OFF"); // choosing a range ends automatic ranging
    return {};
}

SimResponse CInstrument::QueryRange(const SimCommand&)
{
    return Answer(RangeText(m_model, m_range));
}

SimResponse CInstrument::SetLowPowerRange(const SimCommand& command)
{
    double ohms = 0.0;
    if (const ESimError error = SingleReal(command, ohms); error != ESimError::None)
        return Reject(error);
    const int index = RangeFor(ohms, kLowPowerRangeCount, [](int i) { return LowPowerRangeOhms(i); });
    if (index < 0)
        return Reject(ESimError::DataOutOfRange);
    m_lowPowerRange = index;
    return {};
}

SimResponse CInstrument::QueryLowPowerRange(const SimCommand&)
{
    return Answer(LowPowerRangeText(m_lowPowerRange));
}

int CInstrument::FrontAdjustRanges() const
{
    return m_settings.Flag(SimHeader::kLowPower) ? kLowPowerRangeCount : m_model.ZeroAdjustRanges;
}

int64_t* CInstrument::FrontAdjustSlot(const std::string& rangeText)
{
    int64_t index = -1;
    if (!ParseInt64C(rangeText, index)) {
        m_status.Push(ESimError::IllegalParameterValue);
        return nullptr;
    }
    if (index < 0 || index >= FrontAdjustRanges()) {
        m_status.Push(ESimError::DataOutOfRange);
        return nullptr;
    }
    int64_t* values = m_settings.Flag(SimHeader::kLowPower) ? m_lowPowerZeroAdjust.data() : m_zeroAdjust.data();
    return values + index;
}

SimResponse CInstrument::SetAdjust(const SimCommand& command)
{
    int64_t value = 0;
    if (const ESimError error = ArgumentCountError(command, 2); error != ESimError::None)
        return Reject(error);
    if (!ParseInt64C(command.Arguments[1], value))
        return Reject(ESimError::IllegalParameterValue);
    if (int64_t* slot = FrontAdjustSlot(command.Arguments[0]); slot != nullptr)
        *slot = value;
    return {};
}

SimResponse CInstrument::GetAdjust(const SimCommand& command)
{
    if (const ESimError error = ArgumentCountError(command, 1); error != ESimError::None)
        return Reject(error);
    const int64_t* slot = FrontAdjustSlot(command.Arguments[0]);
    return slot != nullptr ? Answer(FormatC("%lld", static_cast<long long>(*slot))) : SimResponse {};
}

SimResponse CInstrument::StartZeroAdjust(const SimCommand&)
{
    SimResponse response;
    response.HasReply = true;
    response.DelayMs = m_options.ZeroAdjustMs;
    response.Background = true;
    response.Abortable = true;
    response.Produce = [this] { return FinishZeroAdjust(); };
    return response;
}

SimResponse CInstrument::Abort(const SimCommand&)
{
    ++m_abortCount; // drops the replies of readings and adjustments still running
    return {};
}

SimResponse CInstrument::SavePanel(const SimCommand& command)
{
    int64_t panel = 0;
    if (const ESimError error = SingleInteger(command, panel); error != ESimError::None)
        return Reject(error);
    if (panel < 1 || panel > kPanels)
        return Reject(ESimError::DataOutOfRange);
    m_savedPanels.insert(static_cast<int>(panel));
    return {};
}
