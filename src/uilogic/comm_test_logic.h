#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "link/instrument_link.h"
#include "settings/user_prompt.h"
#include "uilogic/small_dialog_logic.h" // kBaudRates and BaudIndexOf: the one baud list

inline constexpr const char* kFailedToOpenInterface = "Failed to open interface.";
inline constexpr const char* kFailedToPortNo = "Failed to Port no.";
inline constexpr const char* kSearchQuestion = "Send [*idn?] to all ports?";
// The search's progress: %1 the port, %2 the baud rate.
inline constexpr const char* kSearchProgress = "Searching %1 at %2 baud...";

// The port list's rows: the friendly name, followed by "-" and the instrument label once a search
// has labelled the row.
[[nodiscard]] std::vector<std::string> PortRowTexts(const PortTableData& table);

// The row to select for a port name: the last row of that port, else row 0 (-1: no rows).
[[nodiscard]] int PortRowOf(const PortTableData& table, const std::string& comPort);

// The baud rate shown for a row: the rate a search found there, else the link's.
[[nodiscard]] uint32_t BaudOfRow(const CInstrumentLink& link, int row);

// A TCP port text: decimal digits only, 1 to 65535. An empty text is no port.
[[nodiscard]] bool ParseTcpPort(const std::string& text, int32_t& port);

// What the dialog's controls hold when an action reads them.
struct CommControls {
    bool Lan = false;
    int PortRow = -1; // selected row of the port list, -1 for none
    int BaudIndex = -1; // selected row of the baud list, -1 for none
    std::string TcpPortText;
    uint32_t IpAddress = 0; // first part most significant
};

// The communication test's rules over the link: what the controls write into the link's
// configuration, when the test connection is opened and closed, and what a send does.
class CComTestLogic {
public:
    CComTestLogic(CInstrumentLink& link, IUserPrompt& prompt)
        : m_link(link)
        , m_prompt(prompt)
    {
    }

    // Closes the test connection when one is open; true when it closed one.
    bool CloseIfOpen();
    // Writes the controls into the link's configuration; false (with its message) when refused.
    [[nodiscard]] bool ApplyControls(const CommControls& controls);
    // Opens the test connection unless it is open; false (with its message) when it cannot.
    [[nodiscard]] bool OpenIfClosed(const CommControls& controls);
    // Applies, opens and sends one line (8-bit text; the link adds CR LF). False when nothing was
    // sent; a send the link refuses shows nothing.
    bool Send(const CommControls& controls, const std::string& text);
    // A complete reply line collected since the last poll.
    [[nodiscard]] bool PollReply(std::string& line);

private:
    CInstrumentLink& m_link;
    IUserPrompt& m_prompt;
};
