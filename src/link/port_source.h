#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One serial port as the operating system lists it.
struct PortInfo {
    std::string FriendlyName; // the driver's description, e.g. "USB Serial (ttyUSB0)"
    std::string PortName;     // the name the port is opened by, e.g. "/dev/ttyUSB0"
    std::string UsbSerial;    // the USB serial number when the port is a USB adapter, else empty
};

// Where the port listing comes from: the system's enumerator, or a fixed list in tests.
class IPortSource {
public:
    virtual ~IPortSource() = default;
    virtual std::vector<PortInfo> ListPorts() = 0;
};

// Lists the serial ports of the machine (libserialport; SetupAPI on Windows).
std::unique_ptr<IPortSource> MakeSystemPortSource();

// Whether a port named by hand is a serial device the system can open (a terminal device on
// POSIX, a COM port on Windows).
[[nodiscard]] bool IsSerialDevice(const std::string& path);

// The ports of another source plus ports named by hand (the configured port, say a simulator's
// pseudo-terminal) that the enumerator does not list, as long as they are terminal devices: the
// port list and its search then offer them like any other port.
class CNamedPortSource final : public IPortSource {
public:
    CNamedPortSource(IPortSource& inner, std::function<std::vector<std::string>()> names)
        : m_inner(inner)
        , m_names(std::move(names))
    {
    }
    std::vector<PortInfo> ListPorts() override;

private:
    IPortSource& m_inner;
    std::function<std::vector<std::string>()> m_names;
};

// A fixed list, for tests and for ports the operator names by hand (pseudo-terminals).
class CFixedPortSource final : public IPortSource {
public:
    explicit CFixedPortSource(std::vector<PortInfo> ports)
        : m_ports(std::move(ports))
    {
    }
    std::vector<PortInfo> ListPorts() override { return m_ports; }

private:
    std::vector<PortInfo> m_ports;
};
