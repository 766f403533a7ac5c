#pragma once

#include <array>
#include <cstdint>
#include <string>

// The measurement conditions of an instrument: the model, the MUX globals, the terminal assignment
// and the conditions of every MUX channel for both measurement methods, and the front terminals.
// Plain value types, copied whole. Flags are 32-bit integers holding 0 or 1 (any non-zero reads
// as on). Comparator values are counts of 10^-9 of the displayed quantity; REF% percentages are
// thousandths of a percent.

inline constexpr int kMuxChannels = 42;
inline constexpr int kZeroAdjSlots = 11;
inline constexpr int kBeepEvents = 5; // Hi, IN, Lo, PASS, FAIL
inline constexpr int kBinBits = 10;
inline constexpr int kTerminals4Wire = 10;
inline constexpr int kTerminals2Wire = 21;
inline constexpr size_t kMaxChannelName = 10;
inline constexpr size_t kMaxUnitText = 3;
inline constexpr int64_t kCompLimit = 9000000000000000000LL;

struct BeepSetting {
    int32_t Tone = 0; // 0 "OFF", 1 "TYPE1", 2 "TYPE2", 3 "TYPE3"
    int32_t Count = 2; // 0 "CONT.", 1 to 5 beeps

    bool operator==(const BeepSetting&) const = default;
};

struct BinBitSet {
    int32_t On = 0;
    int32_t Mode = 0; // 0 ABS, 1 REF%
    int64_t Upper = 0; // upper value or reference
    int64_t Lower = 0; // lower value, or percentage in thousandths

    bool operator==(const BinBitSet&) const = default;
};

struct MuxPinSet {
    int32_t Enable = 0;
    std::string Name; // at most 10 characters
    int32_t Unit = 0; // 0 "UNIT1", 1 "UNIT2"
    int32_t TermA = 1;
    int32_t TermB = 1;
    int32_t Inst = 0; // 0 this instrument, 1 "EXT"
    int32_t ZeroAll = 1; // the channel's "0ALL" setting

    bool operator==(const MuxPinSet&) const = default;
};

struct MeasCondition {
    int32_t AutoRange = 1;
    int32_t Range = 10; // range index; the default is the 100 MΩ range (11 on extended models)
    int32_t LoPowerRange = 3; // 0 1000 mΩ, 1 10 Ω, 2 100 Ω, 3 1000 Ω
    int32_t Speed = 0; // 0 SLOW2, 1 SLOW1, 2 MEDIUM, 3 FAST
    int32_t MeasCurrLow = 0;
    std::array<int32_t, kZeroAdjSlots> ZeroAdjOn {};
    std::array<int32_t, kZeroAdjSlots> ZeroAdjValue {}; // the instrument's integer form; used only with ZeroAdjOn
    std::array<int32_t, kZeroAdjSlots> LpZeroAdjOn {}; // only the four low-power ranges 0..3 are used
    std::array<int32_t, kZeroAdjSlots> LpZeroAdjValue {};
    int32_t Ovc = 0;
    int32_t HighAccuracy100M = 0;
    int32_t LowPower = 0;
    int32_t ContactCheck = 1;
    int32_t LpContactCheck = 0;
    int32_t ContactImprove = 0;
    int32_t PureResistance = 0;
    int32_t AvgOn = 0;
    int32_t AvgCount = 10;
    int32_t DelayOn = 0;
    int16_t DelayTime = 0; // ms
    int32_t CompOn = 0;
    int32_t CompMode = 0; // 0 ABS, non-zero REF%
    int32_t CompRefCh1 = 0; // MUX only: channel 1 is the reference
    int64_t CompUpper = 0; // ABS upper or REF% reference, in 1e-9 of the displayed quantity
    int64_t CompLower = 0; // ABS lower (1e-9 units) or REF% percentage in thousandths of a percent
    int32_t PassCondition = 2; // MUX only: 0 OFF, 1 Hi, 2 IN, 3 Lo, 4 Hi-Lo, 5 ALL
    int32_t DeltaTOn = 0;
    double DtT1 = 23.0; // °C
    double DtR1 = 1.0; // Ω
    double DtK = 235.0;
    int32_t TcOn = 0;
    double TcT0 = 20.0; // °C
    int32_t TcAlpha = 3930; // ppm/°C
    int32_t ScalingOn = 0;
    double ScalingA = 1.0; // scaled value = A × value + B
    double ScalingB = 0.0;
    int32_t ScalingUnitKind = 0; // 0 "Ω", 1 "None", 2 "User"
    std::string ScalingUnitText; // at most 3 characters
    // A-TC: the temperature sensor channel of a MUX channel; carried and transferred, never validated.
    int32_t AtcOn = 0;
    double AtcT0 = 20.0; // °C
    int32_t AtcAlpha = 3930; // ppm/°C
    double AtcR1 = 0.01; // Ω
    double AtcT1 = 23.0; // °C
    int32_t AtcTcr = 3930; // ppm/°C
    int32_t AtcUnit = 0;
    int32_t AtcTermA = 1;
    int32_t AtcTermB = 1;
    int32_t AtcSpeed = 0;
    int32_t AtcAutoRange = 1;
    int32_t AtcRange = 11;
    int32_t AtcDelayOn = 0;
    int16_t AtcDelayTime = 0; // ms
    int32_t AtcAvgOn = 1;
    int32_t AtcAvgCount = 2;
    int32_t AtcOvc = 1;
    int32_t AtcPureResistance = 1;
    int32_t AtcMeasCurrLow = 0;
    int32_t AtcContactCheck = 1;
    int32_t AtcContactImprove = 0;
    int32_t AtcHighAccuracy100M = 0;
    double AtcK = 235.0;

    bool operator==(const MeasCondition&) const = default;
};

struct FrontSetData {
    MeasCondition Cond;
    std::array<BeepSetting, kBeepEvents> Beep {};
    int32_t AutoHold = 0;
    int32_t SelfCalb = 1;
    int32_t Statistics = 0;
    int32_t OverRangeError = 0;
    int32_t CurrentErrorMode = 0; // 0 "CurErr", 1 "OvrRng"
    int32_t BinOn = 0;
    std::array<BinBitSet, kBinBits> BinBit {};

    bool operator==(const FrontSetData&) const = default;
};

struct MeasSetData {
    int32_t ModelCode = 0;
    int32_t MuxOn = 0;
    int32_t MuxScan = 1;
    int32_t MuxMeasMethod = 0; // 0 "4wire", 1 "2wire"
    int32_t MuxScanMethod = 1; // 0 "STEP", 1 "AUTO"
    int32_t MuxSelfCalb = 1;
    int32_t MuxOverRangeError = 0;
    int32_t MuxCurrentErrorMode = 0;
    int32_t MuxFailStop = 0;
    int32_t MuxAutoHold = 0;
    std::array<BeepSetting, kBeepEvents> MuxBeep {};
    std::array<MuxPinSet, kMuxChannels> Pins2Wire {};
    std::array<MuxPinSet, kMuxChannels> Pins4Wire {};
    std::array<MeasCondition, kMuxChannels> Channels2Wire {};
    std::array<MeasCondition, kMuxChannels> Channels4Wire {};
    FrontSetData Front;

    bool operator==(const MeasSetData&) const = default;

    // The tables of a MUX method (0 = 4-wire, anything else = 2-wire).
    std::array<MuxPinSet, kMuxChannels>& Pins(int32_t method) { return method == 0 ? Pins4Wire : Pins2Wire; }
    const std::array<MuxPinSet, kMuxChannels>& Pins(int32_t method) const
    {
        return method == 0 ? Pins4Wire : Pins2Wire;
    }
    std::array<MeasCondition, kMuxChannels>& Channels(int32_t method)
    {
        return method == 0 ? Channels4Wire : Channels2Wire;
    }
    const std::array<MeasCondition, kMuxChannels>& Channels(int32_t method) const
    {
        return method == 0 ? Channels4Wire : Channels2Wire;
    }
};

// Defaults. InitMeasSetData leaves ModelCode and MuxOn at 0; callers that want the model recorded
// set ModelCode afterwards.
void InitMeasCondition(MeasCondition& condition, int32_t modelCode);
void InitFrontSetData(FrontSetData& front, int32_t modelCode);
void InitMuxSetData(MeasSetData& data, int32_t modelCode);
void InitMeasSetData(MeasSetData& data, int32_t modelCode);

// Validation run before a set is accepted (load, transfer, dialog commit).
[[nodiscard]] bool ValidateFront(int32_t modelCode, const FrontSetData& front);
[[nodiscard]] bool ValidateMux(int32_t modelCode, const MeasSetData& data);
[[nodiscard]] bool ValidateMeasSetData(const MeasSetData& data);

// Single-value checks of the settings pages (bounds inclusive).
[[nodiscard]] bool CheckCompUpper(int32_t compMode, int64_t value);
[[nodiscard]] bool CheckCompLower(int32_t compMode, int64_t value);
[[nodiscard]] bool CheckTemperature(double value);
[[nodiscard]] bool CheckR1(double value);
[[nodiscard]] bool CheckK(double value);
[[nodiscard]] bool CheckScalingA(double value);
[[nodiscard]] bool CheckScalingB(double value);
