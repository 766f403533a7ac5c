#pragma once

// The rules of the measurement settings dialog that need no window: the captions and texts of a
// model family, the record assembled from the two pages and the values the pages share.

#include <cstdint>
#include <string>

#include "settings/meas_set_data.h"

inline constexpr const char* kMeasSetTitle = "Measurement Settings";
inline constexpr const char* kFailedToSetParameters = "Failed to set parameters.\nThere may be erroneous data.";
inline constexpr const char* kFailedToSavePanel = "Failed to save panel information.";

// "Load from VX6207", "Send to VX6207A", ...: the family of the model names the instrument.
[[nodiscard]] std::string LoadButtonCaption(int32_t model);
[[nodiscard]] std::string SendButtonCaption(int32_t model);
[[nodiscard]] std::string CapturingTextOf(int32_t model);

// The whole record of the dialog: the model and page choice, the MUX page's portion (every field
// from MuxScan to Channels4Wire) and the front page's. The over-range error output and the current
// error mode exist in both portions; the page shown decides them.
[[nodiscard]] MeasSetData BuildSettingsBlock(
    int32_t model, int32_t muxSelected, const MeasSetData& muxPortion, const FrontSetData& front);

// The shared values taken from the page left into the page shown after a change of page.
void CarrySharedValues(bool toMux, MeasSetData& muxPortion, FrontSetData& front);
