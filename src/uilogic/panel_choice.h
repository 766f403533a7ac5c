#pragma once

#include <string>
#include <vector>

#include "host/panel_names.h"

inline constexpr const char* kPanelSaved = "Saved";
inline constexpr const char* kPanelFree = "-";

// The panel numbers the panel dialog offers: 1-30 for front panels, 31-38 for MUX panels.
[[nodiscard]] std::vector<std::string> PanelNumberTexts(bool muxPanels);

// The panel the dialog opens on: the first one not in use, so that a save overwrites nothing
// unless the operator chooses so; the first panel when every one is in use.
[[nodiscard]] int InitialPanelIndex(const PanelNames& panels, bool muxPanels);

// The entry of a list index in the names read ("Saved"/"-" and the name).
[[nodiscard]] size_t PanelEntry(int index, bool muxPanels);
[[nodiscard]] const char* PanelStateText(const PanelNames& panels, int index, bool muxPanels);
