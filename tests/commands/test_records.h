#pragma once

// Records that differ from the defaults in every field the transfer carries for a model, and
// stay valid so that WriteAll accepts them.

#include "commands/mux_commands.h"
#include "settings/meas_set_data.h"
#include "settings/model_info.h"

inline MeasSetData DefaultRecord(int32_t model)
{
    MeasSetData data;
    InitMeasSetData(data, model);
    data.ModelCode = model;
    return data;
}

inline MeasSetData MakeFrontRecord(int32_t model, bool lowPower = false)
{
    const bool extended = ExtendedRangeModel(model);
    MeasSetData data = DefaultRecord(model);
    MeasCondition& c = data.Front.Cond;
    c.AutoRange = 0;
    c.Range = 5;
    c.Speed = 2;
    c.MeasCurrLow = 1;
    c.Ovc = 1;
    c.HighAccuracy100M = 1;
    c.ContactCheck = 0;
    c.ContactImprove = 1;
    if (model != 2048) {
        c.LowPower = lowPower ? 1 : 0;
        c.LoPowerRange = 1;
        c.LpContactCheck = 1;
    }
    c.PureResistance = extended ? 1 : 0;
    for (size_t i = 0; i < 11; ++i) {
        const bool on = i % 3 != 1 && static_cast<int>(i) < ZeroAdjustRangeCount(model);
        (lowPower ? c.LpZeroAdjOn : c.ZeroAdjOn)[i] = on ? 1 : 0;
        (lowPower ? c.LpZeroAdjValue : c.ZeroAdjValue)[i] = on ? static_cast<int32_t>(1000 * i) - 2345 : 0;
    }
    if (lowPower) { // the front has four low-power ranges
        for (size_t i = 4; i < 11; ++i) {
            c.LpZeroAdjOn[i] = 0;
            c.LpZeroAdjValue[i] = 0;
        }
    }
    c.AvgOn = 1;
    c.AvgCount = 37;
    c.DelayOn = 1;
    c.DelayTime = 15;
    c.CompOn = 1;
    c.CompMode = 1;
    c.CompUpper = 2'500'000'000;
    c.CompLower = 5'000;
    c.DtT1 = 30.5;
    c.DtR1 = 0.5;
    c.DtK = 234.5;
    c.TcOn = 1;
    c.TcT0 = 25.5;
    c.TcAlpha = 4000;
    c.ScalingOn = 1;
    c.ScalingA = 2.5;
    c.ScalingB = -0.25;
    c.ScalingUnitKind = 2;
    c.ScalingUnitText = "mV";
    FrontSetData& f = data.Front;
    for (size_t i = 0; i < 5; ++i) {
        f.Beep[i].Tone = static_cast<int32_t>((i + 1) % 4);
        f.Beep[i].Count = static_cast<int32_t>(i % 6);
    }
    f.AutoHold = 1;
    f.SelfCalb = 0;
    f.Statistics = 1;
    f.OverRangeError = extended ? 1 : 0;
    f.CurrentErrorMode = 1;
    f.BinOn = 0; // excluded with the comparator
    for (size_t i = 0; i < 10; ++i) {
        BinBitSet& bin = f.BinBit[i];
        bin.On = i % 2 == 0 ? 1 : 0;
        bin.Mode = i % 3 == 0 ? 1 : 0;
        bin.Upper = bin.Mode == 1 ? 3'000'000'000 : 1'500'000'000 + static_cast<int64_t>(i) * 250'000'000;
        bin.Lower = bin.Mode == 1 ? 12'500 : 250'000'000;
    }
    return data;
}

// A MUX record in the given method; only the tables of that method differ from the defaults.
inline MeasSetData MakeMuxRecord(int32_t model, int32_t method)
{
    const bool extended = ExtendedRangeModel(model);
    MeasSetData data = DefaultRecord(model);
    data.MuxOn = 1;
    data.MuxScan = 0;
    data.MuxMeasMethod = method;
    data.MuxScanMethod = 0;
    data.MuxSelfCalb = 0;
    data.MuxOverRangeError = extended ? 1 : 0;
    data.MuxCurrentErrorMode = 1;
    data.MuxFailStop = 1;
    data.MuxAutoHold = 1;
    for (size_t i = 0; i < 5; ++i) {
        data.MuxBeep[i].Tone = static_cast<int32_t>(3 - i % 4);
        data.MuxBeep[i].Count = static_cast<int32_t>((i + 2) % 6);
    }
    const int terminals = method == 0 ? 10 : 21;
    const int lowestRange = method == 0 ? 0 : (extended ? 5 : 4);
    auto& pins = ActivePins(data);
    auto& channels = ActiveChannels(data);
    for (int k = 1; k <= 42; ++k) {
        MuxPinSet& pin = pins[static_cast<size_t>(k - 1)];
        pin.Enable = k == 3 || k == 17 || k == 42 ? 1 : 0;
        pin.ZeroAll = k % 4 == 0 ? 0 : 1;
        pin.Unit = k % 2;
        pin.TermA = 1 + k % terminals;
        pin.TermB = 1 + (k * 7) % terminals;
        pin.Inst = k % 5 == 0 ? 1 : 0;
        MeasCondition& c = channels[static_cast<size_t>(k - 1)];
        c.AutoRange = k % 2;
        c.Range = lowestRange + k % 5;
        c.Speed = k % 4;
        c.MeasCurrLow = k % 3 == 0 ? 1 : 0;
        c.Ovc = 1;
        c.HighAccuracy100M = k % 7 == 0 ? 1 : 0;
        c.ContactCheck = k % 2;
        c.ContactImprove = 1;
        if (model != 2048) {
            c.LowPower = k % 6 == 0 ? 1 : 0;
            c.LoPowerRange = 1 + k % 3;
            c.LpContactCheck = 1;
        }
        c.PureResistance = extended && c.LowPower == 0 && k % 4 == 1 ? 1 : 0;
        for (size_t j = 0; j < 11; ++j) {
            const bool on = (j + static_cast<size_t>(k)) % 3 == 0 && static_cast<int>(j) < ZeroAdjustRangeCount(model);
            (c.LowPower != 0 ? c.LpZeroAdjOn : c.ZeroAdjOn)[j] = on ? 1 : 0;
            (c.LowPower != 0 ? c.LpZeroAdjValue : c.ZeroAdjValue)[j] = on ? k * 100 - static_cast<int32_t>(j) : 0;
        }
        c.AvgOn = 1;
        c.AvgCount = 2 + k;
        c.DelayOn = 1;
        c.DelayTime = static_cast<int16_t>(k * 11);
        c.CompOn = c.AutoRange == 0 ? 1 : 0;
        c.CompMode = k % 3 == 0 ? 1 : 0;
        c.CompRefCh1 = k % 5 == 0 ? 1 : 0;
        c.CompUpper = c.CompMode != 0 ? 7'000'000'000'000LL + k : 5'000'000'000LL * k;
        c.CompLower = c.CompMode != 0 ? 99'000 : 1'000'000'000LL * k;
        c.PassCondition = k % 6;
        c.DeltaTOn = c.CompOn == 0 && k % 3 == 1 ? 1 : 0;
        c.DtT1 = -5.5 + k;
        c.DtR1 = 1.25e-3 * k;
        c.DtK = -120.5 + k;
        c.TcOn = c.DeltaTOn == 0 ? 1 : 0;
        c.TcT0 = 10.5 + k;
        c.TcAlpha = -5000 + k;
        c.ScalingOn = 1;
        c.ScalingA = 0.0005 * k * k; // covers several decades
        c.ScalingB = -1.5 * k;
        c.ScalingUnitKind = k % 3;
        c.ScalingUnitText = k % 3 == 2 ? "kV" : "";
        if (model == 2048) {
            c.AtcOn = k % 2;
            c.AtcAutoRange = 0;
            c.AtcMeasCurrLow = 1;
            c.AtcAvgOn = 0;
            c.AtcOvc = 0;
            c.AtcHighAccuracy100M = 1;
            c.AtcContactCheck = 0;
            c.AtcContactImprove = 1;
            c.AtcPureResistance = 0;
            c.AtcDelayOn = 1;
            c.AtcUnit = 1;
            c.AtcTermA = 1 + k % 10;
            c.AtcTermB = 2 + k % 9;
            c.AtcRange = k % 13;
            c.AtcSpeed = 3;
            c.AtcAvgCount = 50;
            c.AtcDelayTime = 123;
            c.AtcT0 = 21.5;
            c.AtcAlpha = 3000 + k;
            c.AtcK = 230.5;
            c.AtcTcr = 4000 - k;
            c.AtcT1 = 24.5;
            c.AtcR1 = 0.02 * k;
        }
    }
    return data;
}
