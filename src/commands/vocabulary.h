#pragma once

#include <array>
#include <cstddef>

// The texts the command classes send and compare replies with, by table position. The leading
// blanks of the range texts are part of what is sent.
inline constexpr std::array<const char*, 56> kVocabulary {
    // 0-6: functions a MUX scan does not use, switched off before the front settings are sent
    ":CALCulate:SCALing:STATe", ":CALCulate:LIMit:STATe", ":CALCulate:BIN:STATe", ":CALCulate:STATistics:STATe",
    "RESistance:LP:STATe", "RESistance:PRECision", ":CALCulate:TCONversion:DELTa:STATe",
    // 7-8: current error mode; 9-10: over-range error output on, off
    "ERROR", "OVER", "ERROR", "NORMAL",
    // 11-13: scaling unit (the third is never sent); 14-15: comparator and BIN mode
    "OHM", "OFF", "USR", "ABSOLUTE", "REFERENCE",
    // 16-17: measurement current; 18-21: speed
    "HIGH", "LOW", "SLOW2", "SLOW1", "MEDIUM", "FAST",
    // 22-25: low-power ranges
    "1000.0E-3", "  10.0", " 100.0", "1000.0",
    // 26-38: ranges of the extended models
    "  1000.0E-6", "  10.0E-3", " 100.0E-3", "1000.0E-3", "  10.0", " 100.0", "1000.0", "  10.0E+3", " 100.0E+3",
    "1000.0E+3", "  10.0E+6", " 100.0E+6", "1000.0E+6",
    // 39-50: ranges of the other models
    "  10.0E-3", " 100.0E-3", "1000.0E-3", "  10.0", " 100.0", "1000.0", "  10.0E+3", " 100.0E+3", "1000.0E+3",
    "  10.0E+6", " 100.0E+6", "1000.0E+6",
    // 51-55: beeper events in the order of the beeper settings
    "HI", "IN", "LO", "PASS", "FAIL"
};

// Positions of the groups above.
namespace Vocab {
inline constexpr int kMiscOffFirst = 0;
inline constexpr int kMiscOffCount = 7;
inline constexpr int kLowPowerState = 4;
inline constexpr int kCurrentError = 7;
inline constexpr int kOverRangeError = 9;
inline constexpr int kUnitOhm = 11;
inline constexpr int kUnitOff = 12;
inline constexpr int kAbsolute = 14;
inline constexpr int kReference = 15;
inline constexpr int kCurrentHigh = 16;
inline constexpr int kSpeed = 18;
inline constexpr int kSpeedCount = 4;
inline constexpr int kLowPowerRange = 22;
inline constexpr int kLowPowerRangeCount = 4;
inline constexpr int kExtendedRange = 26;
inline constexpr int kExtendedRangeCount = 13;
inline constexpr int kNormalRange = 39;
inline constexpr int kNormalRangeCount = 12;
inline constexpr int kBeepEvent = 51;
inline constexpr int kBeepEventCount = 5;
} // namespace Vocab

// The text at a position; null outside the table.
[[nodiscard]] constexpr const char* VocabularyText(int position)
{
    return position >= 0 && static_cast<size_t>(position) < kVocabulary.size() ? kVocabulary[static_cast<size_t>(position)]
                                                                               : nullptr;
}
