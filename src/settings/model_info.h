#pragma once

#include <cstdint>
#include <string>

// The instrument models, in one place for every part of the system.
inline constexpr int32_t kModelUnset = 0;
inline constexpr int32_t kModelVx6207 = 8;
inline constexpr int32_t kModelVx6207_01 = 9;
inline constexpr int32_t kModelVx6207_02 = 10;
inline constexpr int32_t kModelVx6207_03 = 12;
inline constexpr int32_t kModelVx6207A_1 = 144;
inline constexpr int32_t kModelVx6207A_2 = 160;
inline constexpr int32_t kModelVx6208 = 2048;

// Every model code of the table, "Unset" first.
inline constexpr int32_t kModelCodes[] = { 0, 8, 9, 10, 12, 144, 160, 2048 };

// "Unset" for 0, the model's name for a known code, empty text for any other code.
std::string ModelNameOfCode(int32_t code);
// The code of a model name (whole text, case-sensitive); 0 for any other text.
int32_t ModelCodeOfName(const std::string& name);
// The family caption of the system's questions and progress texts: "VX6208", "VX6207A" (144, 160)
// or "VX6207" for every other code.
std::string ModelFamilyName(int32_t code);
// Whether the model appears in the operator's model choice list.
bool InModelChoiceList(int32_t code);

// The extended models have one more, lower, range and one more zero-adjust range.
bool ExtendedRangeModel(int32_t code);
// Models that can drive the MUX unit.
bool IsMuxModel(int32_t code);
// Zero-adjust ranges of the model: 11 (extended) or 10.
int ZeroAdjustRangeCount(int32_t code);
// The highest usable range index: 12 (extended) or 11, one less with the 100 MΩ high accuracy.
int HighestRangeIndex(int32_t code, bool highAccuracy100M);
// The lowest range index of the 2-wire MUX table (the 100 Ω range).
int LowestTwoWireRange(int32_t code);
// The default range index, the 100 MΩ range.
int DefaultRangeIndex(int32_t code);
// Whether settings made for one model may be taken over for the other: codes with bit 3 set,
// the pair 144 and 160, or 2048 alone.
bool SameModelFamily(int32_t first, int32_t second);
