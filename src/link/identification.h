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

// "VX620x is not connected." followed by the cause the link found, when it knows one.
[[nodiscard]] std::string NotConnectedText(const CInstrumentLink& link);

// Rebuilds the link's port table from the source. The link's ComPort becomes `preferred` when that
// port is present, otherwise the first port listed; with no port it keeps its old value.
void EnumeratePorts(CInstrumentLink& link, IPortSource& source, const std::string& preferred);

// Asks the instrument for its identity ("*idn?"). True when the maker field is the maker's name;
// `supported` tells whether the model is one of the known models. Otherwise the link's LastFault
// tells why.
[[nodiscard]] bool Identify(CInstrumentLink& link, std::string& maker, std::string& model, std::string& serial,
    bool& supported);

// Tries each probe baud rate on the port until the maker answers; the port is closed afterwards.
[[nodiscard]] bool ProbePort(CInstrumentLink& link, const std::string& port, std::string& model, std::string& serial,
    uint32_t& baud);

// Probes every listed port and fills the serial number, label, baud rate and fault columns.
void SearchAllPorts(CInstrumentLink& link);
