// The IEEE 488.2 status commands and the SCPI error queue of the instrument.
#include "sim/instrument.h"

#include "settings/numeric_locale.h"

namespace {

// The mask argument of "*ESE" and "*SRE": an integer from 0 to 255.
ESimError MaskArgument(const SimCommand& command, int& mask)
{
    int64_t value = 0;
    if (const ESimError error = SingleInteger(command, value); error != ESimError::None)
        return error;
    if (value < 0 || value > 255)
        return ESimError::DataOutOfRange;
    mask = static_cast<int>(value);
    return ESimError::None;
}

} // namespace

SimResponse CInstrument::SetOperationComplete(const SimCommand&)
{
    // Every operation has ended by the time the parser reaches this; the adjustment and the
    // readings that run on report their own end.
    m_status.SetEvent(CStatusModel::kOperationComplete);
    return {};
}

SimResponse CInstrument::ClearStatus(const SimCommand&)
{
    m_status.Clear();
    return {};
}

SimResponse CInstrument::QueryEvents(const SimCommand&)
{
    return Answer(FormatC("%d", m_status.TakeEvents()));
}

SimResponse CInstrument::QueryStatusByte(const SimCommand&)
{
    return Answer(FormatC("%d", m_status.StatusByte()));
}

SimResponse CInstrument::SetEventEnable(const SimCommand& command)
{
    int mask = 0;
    if (const ESimError error = MaskArgument(command, mask); error != ESimError::None)
        return Reject(error);
    m_status.SetEventEnable(mask);
    return {};
}

SimResponse CInstrument::QueryEventEnable(const SimCommand&)
{
    return Answer(FormatC("%d", m_status.EventEnable()));
}

SimResponse CInstrument::SetServiceEnable(const SimCommand& command)
{
    int mask = 0;
    if (const ESimError error = MaskArgument(command, mask); error != ESimError::None)
        return Reject(error);
    m_status.SetServiceEnable(mask);
    return {};
}

SimResponse CInstrument::QueryServiceEnable(const SimCommand&)
{
    return Answer(FormatC("%d", m_status.ServiceEnable()));
}

SimResponse CInstrument::QueryError(const SimCommand&)
{
    return Answer(m_status.PopError());
}

SimResponse CInstrument::QueryErrorCount(const SimCommand&)
{
    return Answer(FormatC("%d", static_cast<int>(m_status.ErrorCount())));
}
