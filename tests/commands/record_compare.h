#pragma once

// Field-by-field comparison of settings records, so a failed transfer names the field it lost.

#include <gtest/gtest.h>

#include <string>

#include "settings/meas_set_data.h"

#define VX_EXPECT_FIELD(a, b, field) EXPECT_EQ((a).field, (b).field) << where << " " #field
#define VX_EXPECT_REAL(a, b, field) EXPECT_DOUBLE_EQ((a).field, (b).field) << where << " " #field

inline void ExpectSameCondition(const MeasCondition& a, const MeasCondition& b, const std::string& where)
{
    VX_EXPECT_FIELD(a, b, AutoRange);
    VX_EXPECT_FIELD(a, b, Range);
    VX_EXPECT_FIELD(a, b, LoPowerRange);
    VX_EXPECT_FIELD(a, b, Speed);
    VX_EXPECT_FIELD(a, b, MeasCurrLow);
    VX_EXPECT_FIELD(a, b, ZeroAdjOn);
    VX_EXPECT_FIELD(a, b, ZeroAdjValue);
    VX_EXPECT_FIELD(a, b, LpZeroAdjOn);
    VX_EXPECT_FIELD(a, b, LpZeroAdjValue);
    VX_EXPECT_FIELD(a, b, Ovc);
    VX_EXPECT_FIELD(a, b, HighAccuracy100M);
    VX_EXPECT_FIELD(a, b, LowPower);
    VX_EXPECT_FIELD(a, b, ContactCheck);
    VX_EXPECT_FIELD(a, b, LpContactCheck);
    VX_EXPECT_FIELD(a, b, ContactImprove);
    VX_EXPECT_FIELD(a, b, PureResistance);
    VX_EXPECT_FIELD(a, b, AvgOn);
    VX_EXPECT_FIELD(a, b, AvgCount);
    VX_EXPECT_FIELD(a, b, DelayOn);
    VX_EXPECT_FIELD(a, b, DelayTime);
    VX_EXPECT_FIELD(a, b, CompOn);
    VX_EXPECT_FIELD(a, b, CompMode);
    VX_EXPECT_FIELD(a, b, CompRefCh1);
    VX_EXPECT_FIELD(a, b, CompUpper);
    VX_EXPECT_FIELD(a, b, CompLower);
    VX_EXPECT_FIELD(a, b, PassCondition);
    VX_EXPECT_FIELD(a, b, DeltaTOn);
    VX_EXPECT_REAL(a, b, DtT1);
    VX_EXPECT_REAL(a, b, DtR1);
    VX_EXPECT_REAL(a, b, DtK);
    VX_EXPECT_FIELD(a, b, TcOn);
    VX_EXPECT_REAL(a, b, TcT0);
    VX_EXPECT_FIELD(a, b, TcAlpha);
    VX_EXPECT_FIELD(a, b, ScalingOn);
    VX_EXPECT_REAL(a, b, ScalingA);
    VX_EXPECT_REAL(a, b, ScalingB);
    VX_EXPECT_FIELD(a, b, ScalingUnitKind);
    VX_EXPECT_FIELD(a, b, ScalingUnitText);
    VX_EXPECT_FIELD(a, b, AtcOn);
    VX_EXPECT_REAL(a, b, AtcT0);
    VX_EXPECT_FIELD(a, b, AtcAlpha);
    VX_EXPECT_REAL(a, b, AtcR1);
    VX_EXPECT_REAL(a, b, AtcT1);
    VX_EXPECT_FIELD(a, b, AtcTcr);
    VX_EXPECT_FIELD(a, b, AtcUnit);
    VX_EXPECT_FIELD(a, b, AtcTermA);
    VX_EXPECT_FIELD(a, b, AtcTermB);
    VX_EXPECT_FIELD(a, b, AtcSpeed);
    VX_EXPECT_FIELD(a, b, AtcAutoRange);
    VX_EXPECT_FIELD(a, b, AtcRange);
    VX_EXPECT_FIELD(a, b, AtcDelayOn);
    VX_EXPECT_FIELD(a, b, AtcDelayTime);
    VX_EXPECT_FIELD(a, b, AtcAvgOn);
    VX_EXPECT_FIELD(a, b, AtcAvgCount);
    VX_EXPECT_FIELD(a, b, AtcOvc);
    VX_EXPECT_FIELD(a, b, AtcPureResistance);
    VX_EXPECT_FIELD(a, b, AtcMeasCurrLow);
    VX_EXPECT_FIELD(a, b, AtcContactCheck);
    VX_EXPECT_FIELD(a, b, AtcContactImprove);
    VX_EXPECT_FIELD(a, b, AtcHighAccuracy100M);
    VX_EXPECT_REAL(a, b, AtcK);
}

inline void ExpectSameBeeps(const std::array<BeepSetting, kBeepEvents>& a, const std::array<BeepSetting, kBeepEvents>& b,
    const std::string& where)
{
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].Tone, b[i].Tone) << where << " beep " << i;
        EXPECT_EQ(a[i].Count, b[i].Count) << where << " beep " << i;
    }
}

inline void ExpectSameFront(const FrontSetData& a, const FrontSetData& b, const std::string& where)
{
    ExpectSameCondition(a.Cond, b.Cond, where + " front");
    ExpectSameBeeps(a.Beep, b.Beep, where + " front");
    VX_EXPECT_FIELD(a, b, AutoHold);
    VX_EXPECT_FIELD(a, b, SelfCalb);
    VX_EXPECT_FIELD(a, b, Statistics);
    VX_EXPECT_FIELD(a, b, OverRangeError);
    VX_EXPECT_FIELD(a, b, CurrentErrorMode);
    VX_EXPECT_FIELD(a, b, BinOn);
    for (size_t i = 0; i < a.BinBit.size(); ++i) {
        const std::string bin = where + " bin " + std::to_string(i);
        EXPECT_EQ(a.BinBit[i].On, b.BinBit[i].On) << bin;
        EXPECT_EQ(a.BinBit[i].Mode, b.BinBit[i].Mode) << bin;
        EXPECT_EQ(a.BinBit[i].Upper, b.BinBit[i].Upper) << bin;
        EXPECT_EQ(a.BinBit[i].Lower, b.BinBit[i].Lower) << bin;
    }
}

inline void ExpectSamePin(const MuxPinSet& a, const MuxPinSet& b, const std::string& where)
{
    VX_EXPECT_FIELD(a, b, Enable);
    VX_EXPECT_FIELD(a, b, Name);
    VX_EXPECT_FIELD(a, b, Unit);
    VX_EXPECT_FIELD(a, b, TermA);
    VX_EXPECT_FIELD(a, b, TermB);
    VX_EXPECT_FIELD(a, b, Inst);
    VX_EXPECT_FIELD(a, b, ZeroAll);
}

inline void ExpectSameRecord(const MeasSetData& a, const MeasSetData& b, const std::string& where)
{
    VX_EXPECT_FIELD(a, b, ModelCode);
    VX_EXPECT_FIELD(a, b, MuxOn);
    VX_EXPECT_FIELD(a, b, MuxScan);
    VX_EXPECT_FIELD(a, b, MuxMeasMethod);
    VX_EXPECT_FIELD(a, b, MuxScanMethod);
    VX_EXPECT_FIELD(a, b, MuxSelfCalb);
    VX_EXPECT_FIELD(a, b, MuxOverRangeError);
    VX_EXPECT_FIELD(a, b, MuxCurrentErrorMode);
    VX_EXPECT_FIELD(a, b, MuxFailStop);
    VX_EXPECT_FIELD(a, b, MuxAutoHold);
    ExpectSameBeeps(a.MuxBeep, b.MuxBeep, where + " mux");
    for (size_t k = 0; k < kMuxChannels; ++k) {
        const std::string channel = " CH" + std::to_string(k + 1);
        ExpectSamePin(a.Pins4Wire[k], b.Pins4Wire[k], where + " 4-wire" + channel);
        ExpectSamePin(a.Pins2Wire[k], b.Pins2Wire[k], where + " 2-wire" + channel);
        ExpectSameCondition(a.Channels4Wire[k], b.Channels4Wire[k], where + " 4-wire" + channel);
        ExpectSameCondition(a.Channels2Wire[k], b.Channels2Wire[k], where + " 2-wire" + channel);
    }
    ExpectSameFront(a.Front, b.Front, where);
}

#undef VX_EXPECT_FIELD
#undef VX_EXPECT_REAL
