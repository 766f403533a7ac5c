#include "link/port_source.h"

#include <algorithm>

std::vector<PortInfo> CNamedPortSource::ListPorts()
{
    std::vector<PortInfo> ports = m_inner.ListPorts();
    for (const std::string& name : m_names ? m_names() : std::vector<std::string> {}) {
        const bool listed
            = std::any_of(ports.begin(), ports.end(), [&](const PortInfo& port) { return port.PortName == name; });
        if (!name.empty() && !listed && IsSerialDevice(name))
            ports.push_back({ name, name, "" });
    }
    return ports;
}
