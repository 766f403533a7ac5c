#include "link/identification.h"

#include <chrono>
#include <thread>

#include "settings/model_info.h"

namespace {

constexpr int kIdentifyTimeoutMs = 1000;
constexpr int kFieldsBeforeFirmware = 3;

} // namespace

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
    if (link.SendCommand("*idn?"))
        reply = link.ReceiveReply(timedOut, kIdentifyTimeoutMs);

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
    maker = fields[0];
    model = fields[1];
    serial = serialPresent ? fields[2] : kNoSerialNumber;
    link.SerialNumber = serial;
    return true;
}

bool ProbePort(CInstrumentLink& link, const std::string& port, std::string& model, std::string& serial, uint32_t& baud)
{
    for (const uint32_t rate : kProbeBaudRates) {
        if (link.OpenPort(port, rate)) {
            std::string maker;
            bool supported = false;
            const bool identified = Identify(link, maker, model, serial, supported);
            link.Close();
            if (identified) {
                baud = rate;
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

void SearchAllPorts(CInstrumentLink& link)
{
    PortTableData& table = link.PortTable;
    for (size_t i = 0; i < table.Size(); ++i) {
        std::string model;
        std::string serial;
        uint32_t baud = 0;
        if (ProbePort(link, table.PortNames[i], model, serial, baud)) {
            std::string label = kMakerName;
            label.append("-").append(model).append("-").append(serial);
            table.Labels[i] = std::move(label);
            table.SerialNumbers[i] = serial;
            table.BaudRates[i] = baud;
        } else {
            table.Labels[i].assign(1, '?'); // assign(1, c): GCC 12 misreports operator= of a literal here
        }
    }
}
