#pragma once

#include "commands/communicate_vx.h"

// Messages of the connect sequence.
inline constexpr const char* kFailedToOpenInterface = "Failed to open interface.";
inline constexpr const char* kNotConnected = "VX620x is not connected.";
inline constexpr const char* kCommunicationError = "Communication error.";

// Command 0, the connect sequence: open the link, identify the instrument, store its model code in
// the record, note whether it drives a MUX and switch the extended models into their extended
// command set. A failed connect leaves the link as it is (open when the open succeeded).
class CCommunicateInit final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override;
    [[nodiscard]] bool ReadSetting() override { return SendSetting(); }
};

// Command 41, the disconnect sequence: closes the link.
class CCommunicateExit final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override;
    [[nodiscard]] bool ReadSetting() override { return SendSetting(); }
};
