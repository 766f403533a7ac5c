#include "uilogic/small_dialog_logic.h"

#include <algorithm>

#include "uilogic/field_exchange.h"

CModelSetLogic::CModelSetLogic(int32_t openedWith)
    : m_openedWith(openedWith)
{
    const auto* found = std::find(kModelChoices.begin(), kModelChoices.end(), openedWith);
    m_index = found == kModelChoices.end() ? 0 : static_cast<int>(found - kModelChoices.begin());
}

void CModelSetLogic::Select(int index)
{
    if (index < 0 || index >= static_cast<int>(kModelChoices.size()))
        return;
    m_index = index;
    m_chosen = true;
}

int32_t CModelSetLogic::Accept() const
{
    return m_chosen ? kModelChoices[static_cast<size_t>(m_index)] : m_openedWith;
}

int BaudIndexOf(uint32_t baud)
{
    const auto* found = std::find(kBaudRates.begin(), kBaudRates.end(), baud);
    return found == kBaudRates.end() ? 0 : static_cast<int>(found - kBaudRates.begin());
}

int PortIndexOf(const std::vector<std::string>& names, const std::string& name)
{
    if (names.empty())
        return -1;
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? 0 : static_cast<int>(found - names.begin());
}

bool CheckFilterTime(const std::string& text, int32_t& value, std::string& message)
{
    return ExchangeIntRange(text, 0, 1000, value, message);
}
