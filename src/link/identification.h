#pragma once

#include <cstdint>
#include <string>

#include "link/instrument_link.h"
#include "link/port_source.h"

// The maker's name in the first field of the instrument's identity.
inline constexpr const char* kMakerName = "ZORVI";
// Serial number shown when none is known.
inline constexpr const char* kNoSerialNumber = "--------";
// Baud rates tried, in this order, when probing a port.
inline constexpr uint32_t kProbeBaudRates[] = { 9600, 19200, 38400, 115200 };

// Why the instrument could not be reached, as a sentence for the operator (empty for None); a
// baud rate of 0 stands for every rate a search tried.
[[nodiscard]] std::string ConnectFaultText(ConnectFault fault, uint32_t baud, bool lan);

// `text` followed, on a second line, by the cause the link found when it knows one.
[[nodiscard]] std::string WithConnectCause(const std::string& text, const CInstrumentLink& link);

// "VX620x is not connected." followed by the cause the link found, when it knows one.
[[nodiscard]] std::string NotConnectedText(const CInstrumentLink& link);

// Rebuilds the link's port table from the source. The link's ComPort becomes `preferred` when that
// port is present, otherwise the first port listed; with no port it keeps its old value.
void EnumeratePorts(CInstrumentLink& link, IPortSource& source, const std::string& preferred);

// Asks the instrument for its identity ("*idn?"). True when the maker field is the maker's name;
// `supported` tells whether the model is one of the known models. Otherwise the link's LastFault
// tells why.
[[nodiscard]] bool Identify(
    CInstrumentLink& link, std::string& maker, std::string& model, std::string& serial, bool& supported);

// Tries each probe baud rate on the port until the maker answers; the port is closed afterwards.
[[nodiscard]] bool ProbePort(
    CInstrumentLink& link, const std::string& port, std::string& model, std::string& serial, uint32_t& baud);

// One probe: opens the port at the rate, asks for the identity and closes the port again.
[[nodiscard]] bool ProbePortAt(
    CInstrumentLink& link, const std::string& port, uint32_t baud, std::string& model, std::string& serial);

// The search of every listed port in steps of one probe (one port at one rate), so that a window
// can show which port and rate it tries and stay responsive between steps. A port is done when the
// maker answers (its row gets the label, serial number and rate) or every rate has failed (its row
// gets "?" and the most telling fault).
class CPortSearch {
public:
    explicit CPortSearch(CInstrumentLink& link)
        : m_link(link)
    {
    }
    [[nodiscard]] bool Done() const { return m_port >= m_link.PortTable.Size(); }
    // The row and the rate the next step tries.
    [[nodiscard]] size_t Port() const { return m_port; }
    [[nodiscard]] uint32_t Baud() const { return kProbeBaudRates[m_rate]; }
    void Step();

private:
    void NextPort();

    CInstrumentLink& m_link;
    size_t m_port = 0;
    size_t m_rate = 0;
    ConnectFault m_worst = ConnectFault::None;
};

// Probes every listed port and fills the serial number, label, baud rate and fault columns.
void SearchAllPorts(CInstrumentLink& link);
