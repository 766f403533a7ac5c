#pragma once

#include <cstdint>
#include <string>

// Turning measurement replies into what the operator sees and what is recorded. Values stay the
// instrument's texts; only the judgement words are mapped to display texts and colours.

// Colour index of the comparator-judgement box.
enum CompColour : int32_t { kCompWhite = 0, kCompRed = 1, kCompGreen = 2 };
// Colour index of the total-judgement box.
enum TotalColour : int32_t { kTotalWhite = 0, kTotalGreen = 1, kTotalRed = 2, kTotalYellow = 3 };

inline constexpr const char* kNoValue = "-----------";
inline constexpr const char* kNoJudge = "---";
inline constexpr const char* kNoChannel = "------";
inline constexpr const char* kNoTotal = "----";
inline constexpr const char* kValueBoxCaption = "Measurement Value";

// A single result: "value" or "value,judgement".
struct SingleResult {
    std::string Value;
    std::string Judge;
    int32_t Colour = kCompWhite;
};
SingleResult ProcessSingleResult(const std::string& reply);

// One MUX channel: "value,comparator judgement,channel judgement".
struct ChannelResult {
    std::string Value;
    std::string Comp;
    std::string Judge;
    uint8_t JudgeCellColour = 5; // colour code of the step list's Judge cell
};
ChannelResult ProcessChannelResult(const std::string& reply);

// The total judgement of a scan.
struct TotalJudgement {
    std::string Text;
    int32_t Colour = kTotalWhite;
};
TotalJudgement ProcessTotalJudgement(const std::string& reply);

// "Measurement Value No.<number + 1>", or the plain caption for a negative number.
std::string ValueBoxTitle(int64_t number);

// RGB of a comparator or total colour index, as 0xRRGGBB.
uint32_t CompColourRgb(int32_t colour);
uint32_t TotalColourRgb(int32_t colour);
