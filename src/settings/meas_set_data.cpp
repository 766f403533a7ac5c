#include "settings/meas_set_data.h"

#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

template <typename T> bool Within(T value, T low, T high) { return value >= low && value <= high; }

void InitPins(std::array<MuxPinSet, kMuxChannels>& pins, int terminals)
{
    for (int k = 1; k <= kMuxChannels; ++k) {
        MuxPinSet& pin = pins[static_cast<size_t>(k - 1)];
        pin = MuxPinSet {};
        pin.Enable = k == 1 ? 1 : 0;
        pin.Name = FormatC("CH%d", k);
        int terminal = 1;
        if (k <= terminals) {
            terminal = k;
        } else if (k <= 2 * terminals) {
            pin.Unit = 1;
            terminal = k - terminals;
        }
        pin.TermA = terminal;
        pin.TermB = terminal;
    }
}

bool ValidBeeps(const std::array<BeepSetting, kBeepEvents>& beeps)
{
    for (const BeepSetting& beep : beeps) {
        if (!Within(beep.Tone, 0, 3) || !Within(beep.Count, 0, 5))
            return false;
    }
    return true;
}

bool ValidComparator(int32_t mode, int64_t upper, int64_t lower)
{
    if (!CheckCompUpper(mode, upper) || !CheckCompLower(mode, lower))
        return false;
    return mode != 0 || upper >= lower;
}

// The checks a front condition and a channel condition share: zero adjust, speed, averaging,
// delay, comparator and the number fields.
bool ValidConditionValues(int32_t modelCode, const MeasCondition& c)
{
    const int slots = ZeroAdjustRangeCount(modelCode);
    for (int i = 0; i < slots; ++i) {
        const auto index = static_cast<size_t>(i);
        if (!Within(c.ZeroAdjValue[index], -50000000, 50000000))
            return false;
        if (modelCode != kModelVx6208 && !Within(c.LpZeroAdjValue[index], -5000000, 5000000))
            return false;
    }
    if (!Within(c.Speed, 0, 3) || !Within(c.AvgCount, 2, 100) || !Within<int32_t>(c.DelayTime, 0, 9999))
        return false;
    return ValidComparator(c.CompMode, c.CompUpper, c.CompLower);
}

bool ValidNumbers(const MeasCondition& c)
{
    return CheckTemperature(c.DtT1) && CheckR1(c.DtR1) && CheckK(c.DtK) && CheckTemperature(c.TcT0)
        && Within(c.TcAlpha, -99999, 99999) && CheckScalingA(c.ScalingA) && CheckScalingB(c.ScalingB)
        && Within(c.ScalingUnitKind, 0, 2);
}

bool ValidBinBit(const BinBitSet& bit)
{
    if (!Within(bit.Mode, 0, 1))
        return false;
    if (bit.Mode == 1)
        return Within<int64_t>(bit.Upper, 100, kCompLimit) && Within<int64_t>(bit.Lower, 0, 99999);
    return Within<int64_t>(bit.Upper, 0, kCompLimit) && Within<int64_t>(bit.Lower, 0, kCompLimit) && bit.Upper >= bit.Lower;
}

bool ValidChannel(int32_t modelCode, const MuxPinSet& pin, const MeasCondition& c, bool twoWire)
{
    if ((c.AutoRange && c.CompOn) || (c.DeltaTOn && c.TcOn) || (c.DeltaTOn && c.CompOn))
        return false;
    const int terminals = twoWire ? kTerminals2Wire : kTerminals4Wire;
    if (!Within(pin.Unit, 0, 1) || !Within(pin.TermA, 1, terminals) || !Within(pin.TermB, 1, terminals)
        || !Within(pin.Inst, 0, 1))
        return false;
    const int lowest = twoWire ? LowestTwoWireRange(modelCode) : 0;
    if (!Within(c.Range, lowest, HighestRangeIndex(modelCode, c.HighAccuracy100M != 0)))
        return false;
    if (modelCode != kModelVx6208 && !Within(c.LoPowerRange, twoWire ? 1 : -1, 3))
        return false;
    if (!ValidConditionValues(modelCode, c) || !Within(c.PassCondition, 0, 5))
        return false;
    return ValidNumbers(c);
}

} // namespace

void InitMeasCondition(MeasCondition& condition, int32_t modelCode)
{
    condition = MeasCondition {};
    condition.Range = DefaultRangeIndex(modelCode);
}

void InitFrontSetData(FrontSetData& front, int32_t modelCode)
{
    front = FrontSetData {};
    InitMeasCondition(front.Cond, modelCode);
}

void InitMuxSetData(MeasSetData& data, int32_t modelCode)
{
    data.MuxScan = 1;
    data.MuxMeasMethod = 0;
    data.MuxScanMethod = 1;
    data.MuxSelfCalb = 1;
    data.MuxOverRangeError = 0;
    data.MuxCurrentErrorMode = 0;
    data.MuxFailStop = 0;
    data.MuxAutoHold = 0;
    data.MuxBeep.fill(BeepSetting {});
    InitPins(data.Pins2Wire, kTerminals2Wire);
    InitPins(data.Pins4Wire, kTerminals4Wire);
    for (MeasCondition& condition : data.Channels2Wire)
        InitMeasCondition(condition, modelCode);
    for (MeasCondition& condition : data.Channels4Wire)
        InitMeasCondition(condition, modelCode);
}

void InitMeasSetData(MeasSetData& data, int32_t modelCode)
{
    data.ModelCode = 0;
    data.MuxOn = 0;
    InitMuxSetData(data, modelCode);
    InitFrontSetData(data.Front, modelCode);
}

bool ValidateFront(int32_t modelCode, const FrontSetData& front)
{
    const MeasCondition& c = front.Cond;
    if ((c.AutoRange && c.CompOn) || (c.AutoRange && front.BinOn) || (c.CompOn && c.DeltaTOn)
        || (c.CompOn && front.BinOn) || (c.DeltaTOn && c.TcOn) || (c.DeltaTOn && front.BinOn)
        || (c.DeltaTOn && front.Statistics))
        return false;
    if (!Within(c.Range, 0, HighestRangeIndex(modelCode, c.HighAccuracy100M != 0)))
        return false;
    if (modelCode != kModelVx6208 && !Within(c.LoPowerRange, -1, 3))
        return false;
    if (!ValidConditionValues(modelCode, c) || !ValidNumbers(c) || !ValidBeeps(front.Beep))
        return false;
    for (const BinBitSet& bit : front.BinBit) {
        if (!ValidBinBit(bit))
            return false;
    }
    return true;
}

bool ValidateMux(int32_t modelCode, const MeasSetData& data)
{
    if (!Within(data.MuxMeasMethod, 0, 1) || !Within(data.MuxScanMethod, 0, 1) || !ValidBeeps(data.MuxBeep))
        return false;
    for (const int32_t method : { 0, 1 }) {
        for (size_t i = 0; i < kMuxChannels; ++i) {
            if (!ValidChannel(modelCode, data.Pins(method)[i], data.Channels(method)[i], method == 1))
                return false;
        }
    }
    return true;
}

bool ValidateMeasSetData(const MeasSetData& data)
{
    return ValidateFront(data.ModelCode, data.Front) && ValidateMux(data.ModelCode, data);
}

bool CheckCompUpper(int32_t compMode, int64_t value)
{
    return Within<int64_t>(value, compMode != 0 ? 100 : 0, kCompLimit);
}

bool CheckCompLower(int32_t compMode, int64_t value)
{
    return Within<int64_t>(value, 0, compMode != 0 ? 99999 : kCompLimit);
}

bool CheckTemperature(double value) { return Within(value, -10.0, 99.9); }
bool CheckR1(double value) { return Within(value, 1e-9, 9e9); }
bool CheckK(double value) { return Within(value, -999.9, 999.9); }
bool CheckScalingA(double value) { return Within(value, 2e-4, 1999.9); }
bool CheckScalingB(double value) { return Within(value, -9e9, 9e9); }
