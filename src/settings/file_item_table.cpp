#include "settings/file_item_table.h"

#include "settings/file_items.h"
#include "settings/model_info.h"

namespace file_items {

namespace {

    MeasCondition& Cond(const Where& w)
    {
        return w.Data.Channels(w.Table)[static_cast<size_t>(w.Channel)];
    }
    MuxPinSet& Pin(const Where& w)
    {
        return w.Data.Pins(w.Table)[static_cast<size_t>(w.Channel)];
    }
    MeasCondition& Front(const Where& w)
    {
        return w.Data.Front.Cond;
    }
    size_t El(const Where& w)
    {
        return static_cast<size_t>(w.Element);
    }

    int ZeroSlots(int32_t model)
    {
        return ZeroAdjustRangeCount(model);
    }
    int Four(int32_t)
    {
        return 4;
    }
    int Five(int32_t)
    {
        return 5;
    }
    int Ten(int32_t)
    {
        return 10;
    }

    // Rows for the common shapes.
    ItemRow General(const char* key, const char* name, std::vector<Kind> kinds, std::function<Refs(const Where&)> bind)
    {
        return { key, name, false, Index::None, nullptr, nullptr, std::move(kinds), std::move(bind) };
    }
    ItemRow Channel(const char* key, const char* name, std::vector<Kind> kinds, std::function<Refs(const Where&)> bind)
    {
        return { key, name, true, Index::None, nullptr, nullptr, std::move(kinds), std::move(bind) };
    }
    ItemRow Array(const char* key, const char* name, bool channel, Index rule, std::function<int(int32_t)> count,
        std::function<int(int32_t)> limit, std::vector<Kind> kinds, std::function<Refs(const Where&)> bind)
    {
        return { key, name, channel, rule, std::move(count), std::move(limit), std::move(kinds), std::move(bind) };
    }

    using K = Kind;

} // namespace

const std::vector<ItemRow>& GeneralRows()
{
    static const std::vector<ItemRow> rows = {
        General("FILE_VER", "CFileVer", { K::FileVer }, [](const Where&) { return Refs { &FileVersion }; }),
        General("MODEL", "CFileModel", { K::Int }, [](const Where& w) { return Refs { &w.Data.ModelCode }; }),
        General("MUX_ON", "CFileMux", { K::Flag }, [](const Where& w) { return Refs { &w.Data.MuxOn }; }),
        General("MUX_SCAN", "CFileMuxScan", { K::Flag }, [](const Where& w) { return Refs { &w.Data.MuxScan }; }),
        General("LOW_POWER", "CFileLowPower", { K::Flag }, [](const Where& w) { return Refs { &Front(w).LowPower }; }),
        General(
            "100M_HI", "CFileFastRes", { K::Flag }, [](const Where& w) { return Refs { &Front(w).HighAccuracy100M }; }),
        General("RANGE", "CFileRange", { K::Int }, [](const Where& w) { return Refs { &Front(w).Range }; }),
        General("LP_RANGE", "CFileLoPowerRange", { K::Int },
            [](const Where& w) { return Refs { &Front(w).LoPowerRange }; }),
        General(
            "AUTO_RANGE", "CFileAutoRange", { K::Flag }, [](const Where& w) { return Refs { &Front(w).AutoRange }; }),
        General(
            "MEAS_CURR", "CFileMeasCurr", { K::Flag }, [](const Where& w) { return Refs { &Front(w).MeasCurrLow }; }),
        Array("0ADJ", "CFile0Adj", false, Index::IgnoreOutside, ZeroSlots, ZeroSlots, { K::Int, K::Int },
            [](const Where& w) {
                return Refs { &Front(w).ZeroAdjOn[El(w)], &Front(w).ZeroAdjValue[El(w)] };
            }),
        Array("LP_0ADJ", "CFileLp0Adj", false, Index::ErrorOutside, Four, ZeroSlots, { K::Int, K::Int },
            [](const Where& w) {
                return Refs { &Front(w).LpZeroAdjOn[El(w)], &Front(w).LpZeroAdjValue[El(w)] };
            }),
        General("SPEED", "CFileSpeed", { K::Int }, [](const Where& w) { return Refs { &Front(w).Speed }; }),
        General(
            "SELF_CALB", "CFileSelfCalb", { K::Flag }, [](const Where& w) { return Refs { &w.Data.Front.SelfCalb }; }),
        General("OVC", "CFileOvc", { K::Flag }, [](const Where& w) { return Refs { &Front(w).Ovc }; }),
        General(
            "AUTO_HOLD", "CFileAutoHold", { K::Flag }, [](const Where& w) { return Refs { &w.Data.Front.AutoHold }; }),
        General("CONTACT_CHECK", "CFileContactCheck", { K::Flag },
            [](const Where& w) { return Refs { &Front(w).ContactCheck }; }),
        General("LP_CONTACT_CHECK", "CFileLoPwrContactCheck", { K::Flag },
            [](const Where& w) { return Refs { &Front(w).LpContactCheck }; }),
        General("CONTACT_IMPRV", "CFileContactImprv", { K::Flag },
            [](const Where& w) { return Refs { &Front(w).ContactImprove }; }),
        General("AVG", "CFileAvg", { K::Flag, K::Int },
            [](const Where& w) {
                return Refs { &Front(w).AvgOn, &Front(w).AvgCount };
            }),
        General("DELAY", "CFileDelay", { K::Flag, K::Int16 },
            [](const Where& w) {
                return Refs { &Front(w).DelayOn, &Front(w).DelayTime };
            }),
        General("COMP", "CFileComp", { K::Flag, K::Flag, K::Int64, K::Int64 },
            [](const Where& w) {
                MeasCondition& c = Front(w);
                return Refs { &c.CompOn, &c.CompMode, &c.CompUpper, &c.CompLower };
            }),
        General("DT", "CFileDeltaT", { K::Flag, K::DoubleF, K::DoubleE, K::DoubleF },
            [](const Where& w) {
                MeasCondition& c = Front(w);
                return Refs { &c.DeltaTOn, &c.DtT1, &c.DtR1, &c.DtK };
            }),
        General("TC", "CFileTC", { K::Flag, K::DoubleF, K::Int },
            [](const Where& w) {
                return Refs { &Front(w).TcOn, &Front(w).TcT0, &Front(w).TcAlpha };
            }),
        General("SCALING", "CFileScaling", { K::Flag, K::DoubleE, K::DoubleE, K::Int, K::Text3 },
            [](const Where& w) {
                MeasCondition& c = Front(w);
                return Refs { &c.ScalingOn, &c.ScalingA, &c.ScalingB, &c.ScalingUnitKind, &c.ScalingUnitText };
            }),
        General("STATISTICS", "CFileStatistics", { K::Flag },
            [](const Where& w) { return Refs { &w.Data.Front.Statistics }; }),
        Array("BEEP_TYPE", "CFileBeepType", false, Index::ErrorOutside, Five, Five, { K::Int, K::Int },
            [](const Where& w) {
                return Refs { &w.Data.Front.Beep[El(w)].Tone, &w.Data.Front.Beep[El(w)].Count };
            }),
        General("BIN", "CFileBin", { K::Flag }, [](const Where& w) { return Refs { &w.Data.Front.BinOn }; }),
        Array("BIN_BIT", "CFileBinBit", false, Index::ErrorOutside, Ten, Ten, { K::Flag, K::Int, K::Int64, K::Int64 },
            [](const Where& w) {
                BinBitSet& bit = w.Data.Front.BinBit[El(w)];
                return Refs { &bit.On, &bit.Mode, &bit.Upper, &bit.Lower };
            }),
        General("OVER_RANGE_ERROR_OUTPUT", "CFileOverRangeError", { K::Flag },
            [](const Where& w) { return Refs { &w.Data.Front.OverRangeError }; }),
        General("PURE_RESISTANCE", "CFilePureResistance", { K::Flag },
            [](const Where& w) { return Refs { &Front(w).PureResistance }; }),
        General("CURRENT_ERROR_MODE", "CFileCurrentErrorMode", { K::Flag },
            [](const Where& w) { return Refs { &w.Data.Front.CurrentErrorMode }; }),
        General("MUX_MEAS_METHOD", "CFileMuxMeasMethod", { K::Int },
            [](const Where& w) { return Refs { &w.Data.MuxMeasMethod }; }),
        General("MUX_SCAN_METHOD", "CFileMuxScanMethod", { K::Int },
            [](const Where& w) { return Refs { &w.Data.MuxScanMethod }; }),
        General("MUX_FAIL_STOP", "CFileMuxFailStop", { K::Flag },
            [](const Where& w) { return Refs { &w.Data.MuxFailStop }; }),
        General("MUX_SELF_CALB", "CFileMuxSelfCalb", { K::Flag },
            [](const Where& w) { return Refs { &w.Data.MuxSelfCalb }; }),
        General("MUX_OVER_RANGE_ERROR_OUTPUT", "CFileMuxOverRangeError", { K::Flag },
            [](const Where& w) { return Refs { &w.Data.MuxOverRangeError }; }),
        General("MUX_CURRENT_ERROR_MODE", "CFileMuxCurrentErrorMode", { K::Flag },
            [](const Where& w) { return Refs { &w.Data.MuxCurrentErrorMode }; }),
        Array("MUX_BEEP_TYPE", "CFileMuxBeepType", false, Index::ErrorOutside, Five, Five, { K::Int, K::Int },
            [](const Where& w) {
                return Refs { &w.Data.MuxBeep[El(w)].Tone, &w.Data.MuxBeep[El(w)].Count };
            }),
    };
    return rows;
}

const std::vector<ItemRow>& ChannelRows()
{
    static const std::vector<ItemRow> rows = {
        Channel("MUX_PIN", "CFileMuxPin", { K::Flag, K::Text10, K::Int, K::Int, K::Int, K::Int, K::Flag },
            [](const Where& w) {
                MuxPinSet& p = Pin(w);
                return Refs { &p.Enable, &p.Name, &p.Unit, &p.TermA, &p.TermB, &p.Inst, &p.ZeroAll };
            }),
        Channel(
            "MUX_LOW_POWER", "CFileMuxLoPower", { K::Flag }, [](const Where& w) { return Refs { &Cond(w).LowPower }; }),
        Channel("MUX_100M_HI", "CFileMuxFastRes", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).HighAccuracy100M }; }),
        Channel("MUX_RANGE", "CFileMuxRange", { K::Int }, [](const Where& w) { return Refs { &Cond(w).Range }; }),
        Channel("MUX_LP_RANGE", "CFileMuxLoPowerRange", { K::Int },
            [](const Where& w) { return Refs { &Cond(w).LoPowerRange }; }),
        Channel("MUX_AUTO_RANGE", "CFileMuxAutoRange", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).AutoRange }; }),
        Channel("MUX_MEAS_CURR", "CFileMuxMeasCurr", { K::Int },
            [](const Where& w) { return Refs { &Cond(w).MeasCurrLow }; }),
        Array("MUX_0ADJ", "CFileMux0Adj", true, Index::IgnoreOutside, ZeroSlots, ZeroSlots, { K::Int, K::Int },
            [](const Where& w) {
                return Refs { &Cond(w).ZeroAdjOn[El(w)], &Cond(w).ZeroAdjValue[El(w)] };
            }),
        Array("MUX_LP_0ADJ", "CFileMuxLp0Adj", true, Index::ErrorOutside, Four, ZeroSlots, { K::Int, K::Int },
            [](const Where& w) {
                return Refs { &Cond(w).LpZeroAdjOn[El(w)], &Cond(w).LpZeroAdjValue[El(w)] };
            }),
        Channel("MUX_SPEED", "CFileMuxSpeed", { K::Int }, [](const Where& w) { return Refs { &Cond(w).Speed }; }),
        Channel("MUX_OVC", "CFileMuxOvc", { K::Flag }, [](const Where& w) { return Refs { &Cond(w).Ovc }; }),
        Channel("MUX_AUTO_HOLD", "CFileMuxAutoHold", { K::Flag },
            [](const Where& w) { return Refs { &w.Data.MuxAutoHold }; }),
        Channel("MUX_CONTACT_CHECK", "CFileMuxContactCheck", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).ContactCheck }; }),
        Channel("MUX_LP_CONTACT_CHECK", "CFileMuxLoPowerContactCheck", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).LpContactCheck }; }),
        Channel("MUX_CONTACT_IMPRV", "CFileMuxContactImprv", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).ContactImprove }; }),
        Channel("MUX_AVG", "CFileMuxAvg", { K::Flag, K::Int },
            [](const Where& w) {
                return Refs { &Cond(w).AvgOn, &Cond(w).AvgCount };
            }),
        Channel("MUX_DELAY", "CFileMuxtDelay", { K::Flag, K::Int16 },
            [](const Where& w) {
                return Refs { &Cond(w).DelayOn, &Cond(w).DelayTime };
            }),
        Channel("MUX_COMP", "CFileMuxComp", { K::Flag, K::Flag, K::Flag, K::Int64, K::Int64, K::Int },
            [](const Where& w) {
                MeasCondition& c = Cond(w);
                return Refs { &c.CompOn, &c.CompMode, &c.CompRefCh1, &c.CompUpper, &c.CompLower, &c.PassCondition };
            }),
        Channel("MUX_DT", "CFileMuxDeltaT", { K::Flag, K::DoubleF, K::DoubleE, K::DoubleF },
            [](const Where& w) {
                MeasCondition& c = Cond(w);
                return Refs { &c.DeltaTOn, &c.DtT1, &c.DtR1, &c.DtK };
            }),
        Channel("MUX_TC", "CFileMuxTC", { K::Flag, K::DoubleF, K::Int },
            [](const Where& w) {
                return Refs { &Cond(w).TcOn, &Cond(w).TcT0, &Cond(w).TcAlpha };
            }),
        Channel("MUX_SCA", "CFileMuxScaling", { K::Flag, K::DoubleE, K::DoubleE, K::Int, K::Text3 },
            [](const Where& w) {
                MeasCondition& c = Cond(w);
                return Refs { &c.ScalingOn, &c.ScalingA, &c.ScalingB, &c.ScalingUnitKind, &c.ScalingUnitText };
            }),
        Channel("MUX_PURE_RESISTANCE", "CFileMuxPureResistance", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).PureResistance }; }),
        Channel("MUX_ATC_TC", "CFileMuxAtcTC", { K::Flag, K::DoubleF, K::Int },
            [](const Where& w) {
                return Refs { &Cond(w).AtcOn, &Cond(w).AtcT0, &Cond(w).AtcAlpha };
            }),
        Channel("MUX_ATC_DT", "CFileMuxAtcDeltaT", { K::DoubleF, K::DoubleE, K::Int, K::DoubleF },
            [](const Where& w) {
                MeasCondition& c = Cond(w);
                return Refs { &c.AtcT1, &c.AtcR1, &c.AtcTcr, &c.AtcK };
            }),
        Channel("MUX_ATC_PIN", "CFileMuxAtcPin", { K::Int, K::Int, K::Int },
            [](const Where& w) {
                return Refs { &Cond(w).AtcUnit, &Cond(w).AtcTermA, &Cond(w).AtcTermB };
            }),
        Channel(
            "MUX_ATC_SPEED", "CFileMuxAtcSpeed", { K::Int }, [](const Where& w) { return Refs { &Cond(w).AtcSpeed }; }),
        Channel("MUX_ATC_AUTO_RANGE", "CFileMuxAtcAutoRange", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).AtcAutoRange }; }),
        Channel(
            "MUX_ATC_RANGE", "CFileMuxAtcRange", { K::Int }, [](const Where& w) { return Refs { &Cond(w).AtcRange }; }),
        Channel("MUX_ATC_DELAY", "CFileMuxAtctDelay", { K::Flag, K::Int16 },
            [](const Where& w) {
                return Refs { &Cond(w).AtcDelayOn, &Cond(w).AtcDelayTime };
            }),
        Channel("MUX_ATC_AVG", "CFileMuxAtcAvg", { K::Flag, K::Int },
            [](const Where& w) {
                return Refs { &Cond(w).AtcAvgOn, &Cond(w).AtcAvgCount };
            }),
        Channel("MUX_ATC_OVC", "CFileMuxAtcOvc", { K::Flag }, [](const Where& w) { return Refs { &Cond(w).AtcOvc }; }),
        Channel("MUX_ATC_PURE_RESISTANCE", "CFileMuxAtcPureResistance", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).AtcPureResistance }; }),
        Channel("MUX_ATC_MEAS_CURR", "CFileMuxAtcMeasCurr", { K::Int },
            [](const Where& w) { return Refs { &Cond(w).AtcMeasCurrLow }; }),
        Channel("MUX_ATC_CONTACT_CHECK", "CFileMuxAtcContactCheck", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).AtcContactCheck }; }),
        Channel("MUX_ATC_CONTACT_IMPRV", "CFileMuxAtcContactImprv", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).AtcContactImprove }; }),
        Channel("MUX_ATC_100M_HI", "CFileMuxAtcFastRes", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).AtcHighAccuracy100M }; }),
    };
    return rows;
}

} // namespace file_items
