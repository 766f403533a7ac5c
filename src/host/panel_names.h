#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "settings/user_prompt.h"

class CInstrumentLink;

inline constexpr int kFrontPanels = 30;
inline constexpr int kMuxPanels = 8;
inline constexpr int kAllPanels = kFrontPanels + kMuxPanels;

// The names of the instrument's panels: entries 0-29 for front panels 1-30, 30-37 for MUX panels
// 31-38. A panel is in use when its name is not empty.
struct PanelNames {
    std::array<std::string, kAllPanels> Names;
    std::array<int32_t, kAllPanels> Used {};
};

// Reads the panel names from the instrument (the MUX panels too when muxPanels is set), checking
// first that the connected model is `model`. Messages go to the prompt; the link is closed after.
[[nodiscard]] bool ReadPanelNames(CInstrumentLink& link, int32_t model, bool muxPanels, PanelNames& panels,
    IUserPrompt& prompt);

// The instrument's panel number of a list index: 1.. for front panels, 31.. for MUX panels.
inline int PanelNumber(int index, bool muxPanels) { return index + (muxPanels ? 31 : 1); }

// Saves the instrument's present conditions into a panel and names it (at most 19 bytes of the
// name are sent). Shows "Failed to save panel information." when the link cannot be opened or a
// command cannot be sent; the link is closed afterwards in every case.
[[nodiscard]] bool SavePanel(CInstrumentLink& link, int panelNumber, const std::string& name, IUserPrompt& prompt);

// The save and name commands on a link already open; a failed send closes the link and tells so.
[[nodiscard]] bool SendPanelSave(CInstrumentLink& link, int panelNumber, const std::string& name, IUserPrompt& prompt);

// A panel name may hold "0"-"9", "A"-"Z", "a"-"z" and "_" only, at most 10 of them, and not none.
// Returns the message for a refused name, empty for an accepted one.
std::string CheckPanelName(const std::string& name);
