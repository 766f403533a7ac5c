#include "uilogic/comm_test_logic.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "settings/numeric_locale.h"

namespace {

// The port needs a moment after closing before it can be opened again.
constexpr int kAfterCloseMs = 60;
constexpr int32_t kMaxTcpPort = 65535;

} // namespace

std::vector<std::string> PortRowTexts(const PortTableData& table)
{
    std::vector<std::string> rows;
    for (size_t i = 0; i < table.Size(); ++i) {
        std::string text = table.FriendlyNames[i];
        if (i < table.Labels.size() && table.Labels[i] != " ")
            text.append("-").append(table.Labels[i]);
        rows.push_back(std::move(text));
    }
    return rows;
}

int PortRowOf(const PortTableData& table, const std::string& comPort)
{
    if (table.Size() == 0)
        return -1;
    int row = 0;
    for (size_t i = 0; i < table.PortNames.size(); ++i) {
        if (table.PortNames[i] == comPort)
            row = static_cast<int>(i);
    }
    return row;
}

uint32_t BaudOfRow(const CInstrumentLink& link, int row)
{
    if (link.SearchDone && row >= 0 && static_cast<size_t>(row) < link.PortTable.BaudRates.size())
        return link.PortTable.BaudRates[static_cast<size_t>(row)];
    return link.BaudRate;
}

bool ParseTcpPort(const std::string& text, int32_t& port)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    int32_t value = 0;
    if (!ParseInt32C(text, value) || value < 1 || value > kMaxTcpPort)
        return false;
    port = value;
    return true;
}

bool CComTestLogic::CloseIfOpen()
{
    if (!m_link.IsOpen && m_link.Channel().Mode() == ChannelMode::None)
        return false;
    m_link.Close();
    std::this_thread::sleep_for(std::chrono::milliseconds(kAfterCloseMs));
    return true;
}

bool CComTestLogic::ApplyControls(const CommControls& controls)
{
    if (controls.Lan) {
        int32_t port = 0;
        if (!ParseTcpPort(controls.TcpPortText, port)) {
            m_prompt.ShowMessage(kFailedToPortNo);
            return false;
        }
        m_link.Interface = InterfaceKind::Lan;
        m_link.TcpPort = port;
        m_link.IpAddress = controls.IpAddress;
        for (int part = 0; part < 4; ++part)
            m_link.IpOctets[static_cast<size_t>(part)]
                = static_cast<int32_t>((controls.IpAddress >> (24 - 8 * part)) & 0xFF);
        return true;
    }
    m_link.Interface = InterfaceKind::Com;
    if (controls.PortRow < 0 || static_cast<size_t>(controls.PortRow) >= m_link.PortTable.Size())
        return false;
    m_link.ComPort = m_link.PortTable.PortNames[static_cast<size_t>(controls.PortRow)];
    if (controls.BaudIndex >= 0 && static_cast<size_t>(controls.BaudIndex) < kBaudRates.size())
        m_link.BaudRate = kBaudRates[static_cast<size_t>(controls.BaudIndex)];
    return true;
}

bool CComTestLogic::OpenIfClosed(const CommControls& controls)
{
    if (m_link.IsOpen)
        return true;
    bool opened = false;
    if (!controls.Lan) {
        const bool chosen = controls.PortRow >= 0 && controls.BaudIndex >= 0;
        opened = chosen && m_link.OpenPort(m_link.ComPort, m_link.BaudRate);
    } else {
        opened = m_link.Open();
    }
    if (!opened)
        m_prompt.ShowMessage(kFailedToOpenInterface);
    return opened;
}

bool CComTestLogic::Send(const CommControls& controls, const std::string& text)
{
    if (!ApplyControls(controls) || !OpenIfClosed(controls))
        return false;
    return m_link.SendCommand(text);
}

bool CComTestLogic::PollReply(std::string& line)
{
    if (!m_link.IsOpen || !m_link.PollLine())
        return false;
    line = m_link.LineText;
    return true;
}
