#include "sim/status_model.h"

#include "settings/numeric_locale.h"

namespace {

const char* ErrorMessage(ESimError error)
{
    switch (error) {
    case ESimError::None:
        return "No error";
    case ESimError::ParameterNotAllowed:
        return "Parameter not allowed";
    case ESimError::MissingParameter:
        return "Missing parameter";
    case ESimError::UndefinedHeader:
        return "Undefined header";
    case ESimError::DataOutOfRange:
        return "Data out of range";
    case ESimError::IllegalParameterValue:
        return "Illegal parameter value";
    case ESimError::QueueOverflow:
        return "Queue overflow";
    }
    return "Unknown error";
}

// The event bit of an error's class: -1xx command, -2xx execution, -3xx device-specific errors.
int EventBitOf(ESimError error)
{
    const int code = -static_cast<int>(error);
    if (code >= 100 && code < 200)
        return CStatusModel::kCommandError;
    if (code >= 200 && code < 300)
        return CStatusModel::kExecutionError;
    if (code >= 300 && code < 400)
        return CStatusModel::kDeviceError;
    return code >= 400 ? CStatusModel::kQueryError : 0;
}

} // namespace

std::string ErrorText(ESimError error)
{
    return FormatC("%d,\"%s\"", static_cast<int>(error), ErrorMessage(error));
}

void CStatusModel::Push(ESimError error)
{
    if (error == ESimError::None)
        return;
    m_events |= EventBitOf(error);
    if (m_queue.size() < kQueueSize)
        m_queue.push_back(error);
    else
        m_queue.back() = ESimError::QueueOverflow; // the newest entry says that errors were lost
}

std::string CStatusModel::PopError()
{
    if (m_queue.empty())
        return ErrorText(ESimError::None);
    const ESimError oldest = m_queue.front();
    m_queue.pop_front();
    return ErrorText(oldest);
}

int CStatusModel::TakeEvents()
{
    const int events = m_events;
    m_events = 0;
    return events;
}

int CStatusModel::StatusByte() const
{
    int status = m_queue.empty() ? 0 : kErrorQueueSummary;
    if ((m_events & m_eventEnable) != 0)
        status |= kEventSummary;
    if ((status & m_serviceEnable) != 0)
        status |= kMasterSummary;
    return status;
}

void CStatusModel::Clear()
{
    m_events = 0;
    m_queue.clear();
}
