#pragma once

// The short MUX, zero-adjust and scan commands.

#include <array>
#include <cstdint>

#include "commands/communicate_vx.h"

inline constexpr const char* kMuxUnsupported = "MUX is unsupported.";
inline constexpr const char* kDisconnectFrontCable = "Disconnect cable from front terminal and start measurement.";

// The tables in force: 4-wire for MuxMeasMethod 0, else 2-wire.
inline std::array<MuxPinSet, kMuxChannels>& ActivePins(MeasSetData& data) { return data.Pins(data.MuxMeasMethod); }
inline const std::array<MuxPinSet, kMuxChannels>& ActivePins(const MeasSetData& data)
{
    return data.Pins(data.MuxMeasMethod);
}
inline std::array<MeasCondition, kMuxChannels>& ActiveChannels(MeasSetData& data)
{
    return data.Channels(data.MuxMeasMethod);
}
inline const std::array<MeasCondition, kMuxChannels>& ActiveChannels(const MeasSetData& data)
{
    return data.Channels(data.MuxMeasMethod);
}
// Channel number (1 to 42) of the first enabled entry of the active pin table, 0 when none is.
[[nodiscard]] int FirstEnabledChannel(const MeasSetData& data);

// Selects the MUX (first enabled channel) or the front terminals; reads which one is selected.
class CCommunicateMux final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override;
    [[nodiscard]] bool ReadSetting() override;

private:
    [[nodiscard]] bool PrepareLink(); // ":ABORt", headers off, command monitor off
};

// Switches off the functions a scan does not use.
class CCommunicateMiscOff final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override;
    [[nodiscard]] bool ReadSetting() override { return true; }
};

// Sends "CH" with the first enabled channel (0 without a record).
class CCommunicateSetCh final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override;
    [[nodiscard]] bool ReadSetting() override { return SendSetting(); }
};

// Sends ":ADJust:ENABle 1" when the MUX is in use, so the zero adjustment covers its channels.
class CCommunicateEnable0Adj final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override;
    [[nodiscard]] bool ReadSetting() override { return true; }
};

// Starts a zero adjustment: the reply to its query comes when the adjustment ends.
class CCommunicateExec0Adj final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override;
    [[nodiscard]] bool ReadSetting() override { return true; }
};

// One poll (100 ms) for the end of a zero adjustment: false while no reply has come; Status() is
// 1 when the instrument reported a failed adjustment, else 0.
class CCommunicateCheckFin0Adj final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override { return true; }
    [[nodiscard]] bool ReadSetting() override;
};

// Sends ":ABORt" and closes the link whatever the send gave.
class CCommunicateScanAbort final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override;
    [[nodiscard]] bool ReadSetting() override { return true; }
};

// A command of one fixed line. OnRead: the line belongs to ReadSetting and SendSetting runs it;
// otherwise SendSetting sends it and ReadSetting has nothing to do.
struct SFixedLineRow {
    const char* Line;
    bool OnRead;
};

template <const SFixedLineRow& Row> class CCommunicateFixedLine final : public CCommunicateVx {
public:
    using CCommunicateVx::CCommunicateVx;
    [[nodiscard]] bool SendSetting() override { return Row.OnRead ? ReadSetting() : SendLine(Row.Line); }
    [[nodiscard]] bool ReadSetting() override { return Row.OnRead ? SendLine(Row.Line) : true; }
};

namespace MuxRows {
inline constexpr SFixedLineRow kSetStart { ":MUX:VAR:SET:START", true };
inline constexpr SFixedLineRow kSetEnd { ":MUX:VAR:SET:END", true };
inline constexpr SFixedLineRow kStatisticsOff { ":CALCulate:STATistics:STATe 0", false };
inline constexpr SFixedLineRow kBinOff { ":CALCulate:BIN:STATe 0", false };
} // namespace MuxRows

using CCommunicateSetStart = CCommunicateFixedLine<MuxRows::kSetStart>;
using CCommunicateSetEnd = CCommunicateFixedLine<MuxRows::kSetEnd>;
using CCommunicateMuxStastics = CCommunicateFixedLine<MuxRows::kStatisticsOff>;
using CCommunicateMuxBin = CCommunicateFixedLine<MuxRows::kBinOff>;
