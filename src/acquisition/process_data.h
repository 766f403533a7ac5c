#pragma once

#include <cstdint>
#include <string>

#include "settings/meas_set_data.h"

// The inputs of the condition text services, taken from the condition being shown.
struct RangeContext {
    int32_t ModelCode = 0;
    int32_t LowPower = 0;
    int32_t HighAccuracy100M = 0;
    int32_t ScalingOn = 0;
    double ScalingA = 1.0;
    int32_t ScalingUnitKind = 0; // 0 ohm, 1 none, 2 the user's text
    std::string ScalingUnitText;
};

// Range names, units and formats of a measurement condition, and the conversion between value
// texts and the instrument's integer counts (10^-9 of the displayed quantity), for the three
// range groups (low power, the extended models' group A, the standard group), with scaling off
// and on (seven scaling columns by the scaling factor's decade).
class CProcessData {
public:
    // The application's measurement conditions, the defaults of model code 0 until loaded.
    CProcessData() { InitMeasSetData(Data, 0); }

    // The inputs of the services for one condition of a set of the given model.
    static RangeContext ContextOf(const MeasCondition& condition, int32_t modelCode);

    MeasSetData Data;

    static std::string RangeName(const RangeContext& context, int index);
    static std::string RangeUnit(const RangeContext& context, int index);
    static std::string UnitLabel(const RangeContext& context, int index);
    static std::string ValueFormat(const RangeContext& context, int index);
    static std::string FineFormat(const RangeContext& context, int index);
    static int64_t ZeroAdjDivisor(const RangeContext& context, int index);
    static int ValueWidth(const RangeContext& context, int index);
    static std::string ClipToWidth(const std::string& text, int width);
    static double InternalToValue(const RangeContext& context, int index, int64_t internal);
    static int64_t TextToInternal(const RangeContext& context, int index, const std::string& text);
    static double RoundingIncrement(const RangeContext& context, int index);
    static std::string ReformatValue(const RangeContext& context, int index, const std::string& text);
    static std::string FormatThreeDecimals(const std::string& text);

    // The step of the counts a range and scaling column can show (1 when there is none).
    static int64_t CountStep(const RangeContext& context, int index);

    // The scaling column 0 to 6 of a factor, or -1 when it lies outside [0.0002, 2000).
    static int ScalingColumn(double factor);

    // The largest comparator count; results above it (or negative) are clipped to it.
    static constexpr int64_t kInternalLimit = 9000000000000000000LL;
};
