#pragma once

#include <memory>

#include "commands/communicate_vx.h"

// Command numbers of the factory.
namespace CommandNo {
inline constexpr int kInit = 0;
inline constexpr int kMux = 1;
inline constexpr int kSetStart = 2;
inline constexpr int kMiscOff = 3;
inline constexpr int kLowPower = 6;
inline constexpr int kLpRange = 9;
inline constexpr int kLpContactCheck = 10;
inline constexpr int k0Adj = 12;
inline constexpr int kCurrentErrorMode = 27;
inline constexpr int kPureResistance = 29;
inline constexpr int kVp = 30;
inline constexpr int kVsp = 31;
inline constexpr int kCh0Adj = 32;
inline constexpr int kMuxStastics = 33;
inline constexpr int kEnable0Adj = 35;
inline constexpr int kExec0Adj = 36;
inline constexpr int kCheckFin0Adj = 37;
inline constexpr int kScanAbort = 38;
inline constexpr int kSetCh = 39;
inline constexpr int kSetEnd = 40;
inline constexpr int kExit = 41;
inline constexpr int kCount = 42;
} // namespace CommandNo

// A new command object of the given number (0 to 41), given `settings` when its class works on a
// record and null otherwise; null for any other number.
[[nodiscard]] std::unique_ptr<CCommunicateVx> CreateCommand(
    int number, CInstrumentLink& link, IUserPrompt& prompt, MeasSetData* settings);

// Whether the command of this number is given the settings record.
[[nodiscard]] bool CommandTakesRecord(int number);
