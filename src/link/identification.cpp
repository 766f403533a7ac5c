#include "link/identification.h"

#include <cctype>
#include <chrono>
#include <cstring>
#include <iterator>
#include <thread>

#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

constexpr int kIdentifyTimeoutMs = 1000;
constexpr int kFieldsBeforeFirmware = 3;
constexpr const char* kIdentityQuery = "*idn?";
constexpr const char* kNotConnectedText = "VX620x is not connected.";
constexpr const char* kNoPortText = "The port cannot be opened.";
constexpr const char* kPortInUseText = "The port is in use by another program.";
constexpr const char* kNoConnectionText = "No connection at this address: check the address, the port and the cable.";
constexpr const char* kNoReplyAtBaudText = "No reply at %u baud: check the cable and the baud rate.";
constexpr const char* kNoReplyAtAnyBaudText = "No reply at any baud rate tried: check the cable and the port.";
constexpr const char* kNoReplyLanText
    = "No reply at this address: check that the instrument is switched on and its LAN settings.";
constexpr const char* kNoLineEndText
    = "A reply came without the expected line end (CR LF): check the instrument's terminator.";
constexpr const char* kEchoText = "The port echoes what is sent: check the cable (a loop-back or an echoing adapter).";
constexpr const char* kNotInstrumentText = "Something answered that is not a VX620x.";

// How telling a fault is: a search over several baud rates reports the most telling one.
int Weight(ConnectFault fault)
{
    return static_cast<int>(fault);
}

bool IsEcho(const std::string& reply)
{
    if (reply.size() < std::strlen(kIdentityQuery))
        return false;
    for (size_t i = 0; kIdentityQuery[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(reply[i])) != kIdentityQuery[i])
            return false;
    }
    return true;
}

} // namespace

std::string ConnectFaultText(ConnectFault fault, uint32_t baud, bool lan)
{
    switch (fault) {
    case ConnectFault::None:
        return {};
    case ConnectFault::NoPort:
        return kNoPortText;
    case ConnectFault::PortInUse:
        return kPortInUseText;
    case ConnectFault::NoConnection:
        return kNoConnectionText;
    case ConnectFault::NoReply:
        if (lan)
            return kNoReplyLanText;
        return baud != 0 ? FormatC(kNoReplyAtBaudText, baud) : kNoReplyAtAnyBaudText;
    case ConnectFault::NoLineEnd:
        return kNoLineEndText;
    case ConnectFault::Echo:
        return kEchoText;
    case ConnectFault::NotInstrument:
        return kNotInstrumentText;
    }
    return {};
}

std::string WithConnectCause(const std::string& text, const CInstrumentLink& link)
{
    const std::string cause
        = ConnectFaultText(link.LastFault, link.Channel().Baud(), link.Interface == InterfaceKind::Lan);
    return cause.empty() ? text : text + "\n" + cause;
}

std::string NotConnectedText(const CInstrumentLink& link)
{
    return WithConnectCause(kNotConnectedText, link);
}

void EnumeratePorts(CInstrumentLink& link, IPortSource& source, const std::string& preferred)
{
    link.PortTable.Clear();
    bool first = true;
    for (const PortInfo& port : source.ListPorts()) {
        if (port.PortName.empty())
            continue;
        if (first)
            link.ComPort = port.PortName;
        first = false;
        link.PortTable.FriendlyNames.push_back(port.FriendlyName);
        link.PortTable.PortNames.push_back(port.PortName);
        link.PortTable.SerialNumbers.emplace_back(" ");
        link.PortTable.Labels.emplace_back(" ");
        link.PortTable.BaudRates.push_back(9600);
        link.PortTable.Faults.push_back(ConnectFault::None);
        if (port.PortName == preferred)
            link.ComPort = port.PortName;
    }
}

bool Identify(CInstrumentLink& link, std::string& maker, std::string& model, std::string& serial, bool& supported)
{
    if (link.IsOpen)
        (void)link.SendBareLine(); // wakes an instrument that holds a half line; it ignores the empty line
    std::string reply;
    bool timedOut = true;
    if (link.SendCommand(kIdentityQuery))
        reply = link.ReceiveReply(timedOut, kIdentifyTimeoutMs);
    if (!link.IsOpen)
        return false; // the open already told why
    if (timedOut)
        link.LastFault = link.LastReplyBytes > 0 ? ConnectFault::NoLineEnd : ConnectFault::NoReply;
    else
        link.LastFault = IsEcho(reply) ? ConnectFault::Echo : ConnectFault::NotInstrument;

    std::string fields[kFieldsBeforeFirmware + 1];
    bool present[kFieldsBeforeFirmware + 1] {};
    int field = 0;
    for (; field < kFieldsBeforeFirmware && !reply.empty(); ++field) {
        const size_t comma = reply.find(',');
        if (comma == std::string::npos)
            break;
        fields[field] = reply.substr(0, comma);
        present[field] = true;
        reply.erase(0, comma + 1);
    }
    if (field == kFieldsBeforeFirmware)
        fields[kFieldsBeforeFirmware] = reply;

    if (!present[0] || fields[0] != kMakerName)
        return false;
    supported = true;
    const int32_t code = ModelCodeOfName(fields[1]);
    bool serialPresent = present[2];
    if (code == 0) {
        supported = false;
        serialPresent = false;
    }
    link.LastFault = ConnectFault::None;
    maker = fields[0];
    model = fields[1];
    serial = serialPresent ? fields[2] : kNoSerialNumber;
    link.SerialNumber = serial;
    return true;
}

bool ProbePortAt(CInstrumentLink& link, const std::string& port, uint32_t baud, std::string& model, std::string& serial)
{
    if (!link.OpenPort(port, baud))
        return false;
    std::string maker;
    bool supported = false;
    const bool identified = Identify(link, maker, model, serial, supported);
    link.Close();
    return identified;
}

bool ProbePort(CInstrumentLink& link, const std::string& port, std::string& model, std::string& serial, uint32_t& baud)
{
    ConnectFault worst = ConnectFault::None;
    for (const uint32_t rate : kProbeBaudRates) {
        if (ProbePortAt(link, port, rate, model, serial)) {
            baud = rate;
            return true;
        }
        if (Weight(link.LastFault) > Weight(worst))
            worst = link.LastFault;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    link.LastFault = worst;
    return false;
}

void CPortSearch::Step()
{
    if (Done())
        return;
    PortTableData& table = m_link.PortTable;
    std::string model;
    std::string serial;
    if (ProbePortAt(m_link, table.PortNames[m_port], Baud(), model, serial)) {
        std::string label = kMakerName;
        label.append("-").append(model).append("-").append(serial);
        table.Labels[m_port] = std::move(label);
        table.SerialNumbers[m_port] = serial;
        table.BaudRates[m_port] = Baud();
        NextPort();
        return;
    }
    if (Weight(m_link.LastFault) > Weight(m_worst))
        m_worst = m_link.LastFault;
    std::this_thread::sleep_for(std::chrono::milliseconds(1)); // as between the rates of one probe
    if (++m_rate < std::size(kProbeBaudRates))
        return;
    table.Faults[m_port] = m_worst;
    table.Labels[m_port].assign(1, '?'); // assign(1, c): GCC 12 misreports operator= of a literal here
    m_link.LastFault = m_worst;
    NextPort();
}

void CPortSearch::NextPort()
{
    ++m_port;
    m_rate = 0;
    m_worst = ConnectFault::None;
}

void SearchAllPorts(CInstrumentLink& link)
{
    CPortSearch search(link);
    while (!search.Done())
        search.Step();
}
