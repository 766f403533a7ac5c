#pragma once

#include <array>
#include <string>

// Channels of the MUX, and so the length of every per-step list.
constexpr size_t kMaxSteps = 42;

using StepTexts = std::array<std::string, kMaxSteps>;

// The main window's per-step lists: value, comparator judgement, channel judgement and channel
// name of each step of a scan (position in the worker's Channels list).
struct StepArrays {
    StepTexts Values;
    StepTexts Comps;
    StepTexts Judges;
    StepTexts Names;

    StepArrays() { Reset(); }
    // The texts shown before anything was measured.
    void Reset()
    {
        Values.fill("-----------");
        Comps.fill("---");
        Judges.fill("---");
        Names.fill("---");
    }
};
