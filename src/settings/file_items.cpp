#include "settings/file_items.h"

#include <algorithm>
#include <functional>
#include <variant>

#include "settings/model_info.h"
#include "settings/numeric_locale.h"

int32_t FileVersion = kCurrentFileVersion;
bool TermAdjusted = false;

namespace {

// How a value is written after the key; reading converts leniently (text that is no number is 0).
enum class Kind { Flag, Int, Int16, Int64, DoubleF, DoubleE, Text10, Text3, FileVer };
using FieldRef = std::variant<int32_t*, int16_t*, int64_t*, double*, std::string*>;
using Refs = std::vector<FieldRef>;

// Array keys: how many lines a write produces and what an index outside the range means.
enum class Index { None, IgnoreOutside, ErrorOutside };

struct Where {
    MeasSetData& Data;
    int Table;
    int Channel;
    int Element;
};

struct ItemSpec {
    const char* Key;
    const char* ClassName;
    bool Channel;
    Index IndexRule;
    std::function<int(int32_t model)> WriteCount; // lines of an array key
    std::function<int(int32_t model)> IndexLimit; // valid element indexes 0..limit-1 on reading
    std::vector<Kind> Kinds;
    std::function<Refs(const Where&)> Bind;
};

MeasCondition& Cond(const Where& w) { return w.Data.Channels(w.Table)[static_cast<size_t>(w.Channel)]; }
MuxPinSet& Pin(const Where& w) { return w.Data.Pins(w.Table)[static_cast<size_t>(w.Channel)]; }
MeasCondition& Front(const Where& w) { return w.Data.Front.Cond; }
size_t El(const Where& w) { return static_cast<size_t>(w.Element); }

int ZeroSlots(int32_t model) { return ZeroAdjustRangeCount(model); }
int Four(int32_t) { return 4; }
int Five(int32_t) { return 5; }
int Ten(int32_t) { return 10; }

// Rows for the common shapes.
ItemSpec General(const char* key, const char* name, std::vector<Kind> kinds, std::function<Refs(const Where&)> bind)
{
    return { key, name, false, Index::None, nullptr, nullptr, std::move(kinds), std::move(bind) };
}
ItemSpec Channel(const char* key, const char* name, std::vector<Kind> kinds, std::function<Refs(const Where&)> bind)
{
    return { key, name, true, Index::None, nullptr, nullptr, std::move(kinds), std::move(bind) };
}
ItemSpec Array(const char* key, const char* name, bool channel, Index rule, std::function<int(int32_t)> count,
    std::function<int(int32_t)> limit, std::vector<Kind> kinds, std::function<Refs(const Where&)> bind)
{
    return { key, name, channel, rule, std::move(count), std::move(limit), std::move(kinds), std::move(bind) };
}

using K = Kind;

const std::vector<ItemSpec>& GeneralSpecs()
{
    static const std::vector<ItemSpec> specs = {
        General("FILE_VER", "CFileVer", { K::FileVer }, [](const Where&) { return Refs { &FileVersion }; }),
        General("MODEL", "CFileModel", { K::Int }, [](const Where& w) { return Refs { &w.Data.ModelCode }; }),
        General("MUX_ON", "CFileMux", { K::Flag }, [](const Where& w) { return Refs { &w.Data.MuxOn }; }),
        General("MUX_SCAN", "CFileMuxScan", { K::Flag }, [](const Where& w) { return Refs { &w.Data.MuxScan }; }),
        General("LOW_POWER", "CFileLowPower", { K::Flag }, [](const Where& w) { return Refs { &Front(w).LowPower }; }),
        General("100M_HI", "CFileFastRes", { K::Flag }, [](const Where& w) { return Refs { &Front(w).HighAccuracy100M }; }),
        General("RANGE", "CFileRange", { K::Int }, [](const Where& w) { return Refs { &Front(w).Range }; }),
        General("LP_RANGE", "CFileLoPowerRange", { K::Int }, [](const Where& w) { return Refs { &Front(w).LoPowerRange }; }),
        General("AUTO_RANGE", "CFileAutoRange", { K::Flag }, [](const Where& w) { return Refs { &Front(w).AutoRange }; }),
        General("MEAS_CURR", "CFileMeasCurr", { K::Flag }, [](const Where& w) { return Refs { &Front(w).MeasCurrLow }; }),
        Array("0ADJ", "CFile0Adj", false, Index::IgnoreOutside, ZeroSlots, ZeroSlots, { K::Int, K::Int },
            [](const Where& w) { return Refs { &Front(w).ZeroAdjOn[El(w)], &Front(w).ZeroAdjValue[El(w)] }; }),
        Array("LP_0ADJ", "CFileLp0Adj", false, Index::ErrorOutside, Four, ZeroSlots, { K::Int, K::Int },
            [](const Where& w) { return Refs { &Front(w).LpZeroAdjOn[El(w)], &Front(w).LpZeroAdjValue[El(w)] }; }),
        General("SPEED", "CFileSpeed", { K::Int }, [](const Where& w) { return Refs { &Front(w).Speed }; }),
        General("SELF_CALB", "CFileSelfCalb", { K::Flag }, [](const Where& w) { return Refs { &w.Data.Front.SelfCalb }; }),
        General("OVC", "CFileOvc", { K::Flag }, [](const Where& w) { return Refs { &Front(w).Ovc }; }),
        General("AUTO_HOLD", "CFileAutoHold", { K::Flag }, [](const Where& w) { return Refs { &w.Data.Front.AutoHold }; }),
        General("CONTACT_CHECK", "CFileContactCheck", { K::Flag }, [](const Where& w) { return Refs { &Front(w).ContactCheck }; }),
        General("LP_CONTACT_CHECK", "CFileLoPwrContactCheck", { K::Flag },
            [](const Where& w) { return Refs { &Front(w).LpContactCheck }; }),
        General("CONTACT_IMPRV", "CFileContactImprv", { K::Flag }, [](const Where& w) { return Refs { &Front(w).ContactImprove }; }),
        General("AVG", "CFileAvg", { K::Flag, K::Int }, [](const Where& w) { return Refs { &Front(w).AvgOn, &Front(w).AvgCount }; }),
        General("DELAY", "CFileDelay", { K::Flag, K::Int16 },
            [](const Where& w) { return Refs { &Front(w).DelayOn, &Front(w).DelayTime }; }),
        General("COMP", "CFileComp", { K::Flag, K::Flag, K::Int64, K::Int64 }, [](const Where& w) {
            MeasCondition& c = Front(w);
            return Refs { &c.CompOn, &c.CompMode, &c.CompUpper, &c.CompLower };
        }),
        General("DT", "CFileDeltaT", { K::Flag, K::DoubleF, K::DoubleE, K::DoubleF }, [](const Where& w) {
            MeasCondition& c = Front(w);
            return Refs { &c.DeltaTOn, &c.DtT1, &c.DtR1, &c.DtK };
        }),
        General("TC", "CFileTC", { K::Flag, K::DoubleF, K::Int },
            [](const Where& w) { return Refs { &Front(w).TcOn, &Front(w).TcT0, &Front(w).TcAlpha }; }),
        General("SCALING", "CFileScaling", { K::Flag, K::DoubleE, K::DoubleE, K::Int, K::Text3 }, [](const Where& w) {
            MeasCondition& c = Front(w);
            return Refs { &c.ScalingOn, &c.ScalingA, &c.ScalingB, &c.ScalingUnitKind, &c.ScalingUnitText };
        }),
        General("STATISTICS", "CFileStatistics", { K::Flag }, [](const Where& w) { return Refs { &w.Data.Front.Statistics }; }),
        Array("BEEP_TYPE", "CFileBeepType", false, Index::ErrorOutside, Five, Five, { K::Int, K::Int },
            [](const Where& w) { return Refs { &w.Data.Front.Beep[El(w)].Tone, &w.Data.Front.Beep[El(w)].Count }; }),
        General("BIN", "CFileBin", { K::Flag }, [](const Where& w) { return Refs { &w.Data.Front.BinOn }; }),
        Array("BIN_BIT", "CFileBinBit", false, Index::ErrorOutside, Ten, Ten, { K::Flag, K::Int, K::Int64, K::Int64 },
            [](const Where& w) {
                BinBitSet& bit = w.Data.Front.BinBit[El(w)];
                return Refs { &bit.On, &bit.Mode, &bit.Upper, &bit.Lower };
            }),
        General("OVER_RANGE_ERROR_OUTPUT", "CFileOverRangeError", { K::Flag },
            [](const Where& w) { return Refs { &w.Data.Front.OverRangeError }; }),
        General("PURE_RESISTANCE", "CFilePureResistance", { K::Flag }, [](const Where& w) { return Refs { &Front(w).PureResistance }; }),
        General("CURRENT_ERROR_MODE", "CFileCurrentErrorMode", { K::Flag },
            [](const Where& w) { return Refs { &w.Data.Front.CurrentErrorMode }; }),
        General("MUX_MEAS_METHOD", "CFileMuxMeasMethod", { K::Int }, [](const Where& w) { return Refs { &w.Data.MuxMeasMethod }; }),
        General("MUX_SCAN_METHOD", "CFileMuxScanMethod", { K::Int }, [](const Where& w) { return Refs { &w.Data.MuxScanMethod }; }),
        General("MUX_FAIL_STOP", "CFileMuxFailStop", { K::Flag }, [](const Where& w) { return Refs { &w.Data.MuxFailStop }; }),
        General("MUX_SELF_CALB", "CFileMuxSelfCalb", { K::Flag }, [](const Where& w) { return Refs { &w.Data.MuxSelfCalb }; }),
        General("MUX_OVER_RANGE_ERROR_OUTPUT", "CFileMuxOverRangeError", { K::Flag },
            [](const Where& w) { return Refs { &w.Data.MuxOverRangeError }; }),
        General("MUX_CURRENT_ERROR_MODE", "CFileMuxCurrentErrorMode", { K::Flag },
            [](const Where& w) { return Refs { &w.Data.MuxCurrentErrorMode }; }),
        Array("MUX_BEEP_TYPE", "CFileMuxBeepType", false, Index::ErrorOutside, Five, Five, { K::Int, K::Int },
            [](const Where& w) { return Refs { &w.Data.MuxBeep[El(w)].Tone, &w.Data.MuxBeep[El(w)].Count }; }),
    };
    return specs;
}

const std::vector<ItemSpec>& ChannelSpecs()
{
    static const std::vector<ItemSpec> specs = {
        Channel("MUX_PIN", "CFileMuxPin", { K::Flag, K::Text10, K::Int, K::Int, K::Int, K::Int, K::Flag }, [](const Where& w) {
            MuxPinSet& p = Pin(w);
            return Refs { &p.Enable, &p.Name, &p.Unit, &p.TermA, &p.TermB, &p.Inst, &p.ZeroAll };
        }),
        Channel("MUX_LOW_POWER", "CFileMuxLoPower", { K::Flag }, [](const Where& w) { return Refs { &Cond(w).LowPower }; }),
        Channel("MUX_100M_HI", "CFileMuxFastRes", { K::Flag }, [](const Where& w) { return Refs { &Cond(w).HighAccuracy100M }; }),
        Channel("MUX_RANGE", "CFileMuxRange", { K::Int }, [](const Where& w) { return Refs { &Cond(w).Range }; }),
        Channel("MUX_LP_RANGE", "CFileMuxLoPowerRange", { K::Int }, [](const Where& w) { return Refs { &Cond(w).LoPowerRange }; }),
        Channel("MUX_AUTO_RANGE", "CFileMuxAutoRange", { K::Flag }, [](const Where& w) { return Refs { &Cond(w).AutoRange }; }),
        Channel("MUX_MEAS_CURR", "CFileMuxMeasCurr", { K::Int }, [](const Where& w) { return Refs { &Cond(w).MeasCurrLow }; }),
        Array("MUX_0ADJ", "CFileMux0Adj", true, Index::IgnoreOutside, ZeroSlots, ZeroSlots, { K::Int, K::Int },
            [](const Where& w) { return Refs { &Cond(w).ZeroAdjOn[El(w)], &Cond(w).ZeroAdjValue[El(w)] }; }),
        Array("MUX_LP_0ADJ", "CFileMuxLp0Adj", true, Index::ErrorOutside, Four, ZeroSlots, { K::Int, K::Int },
            [](const Where& w) { return Refs { &Cond(w).LpZeroAdjOn[El(w)], &Cond(w).LpZeroAdjValue[El(w)] }; }),
        Channel("MUX_SPEED", "CFileMuxSpeed", { K::Int }, [](const Where& w) { return Refs { &Cond(w).Speed }; }),
        Channel("MUX_OVC", "CFileMuxOvc", { K::Flag }, [](const Where& w) { return Refs { &Cond(w).Ovc }; }),
        Channel("MUX_AUTO_HOLD", "CFileMuxAutoHold", { K::Flag }, [](const Where& w) { return Refs { &w.Data.MuxAutoHold }; }),
        Channel("MUX_CONTACT_CHECK", "CFileMuxContactCheck", { K::Flag }, [](const Where& w) { return Refs { &Cond(w).ContactCheck }; }),
        Channel("MUX_LP_CONTACT_CHECK", "CFileMuxLoPowerContactCheck", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).LpContactCheck }; }),
        Channel("MUX_CONTACT_IMPRV", "CFileMuxContactImprv", { K::Flag }, [](const Where& w) { return Refs { &Cond(w).ContactImprove }; }),
        Channel("MUX_AVG", "CFileMuxAvg", { K::Flag, K::Int }, [](const Where& w) { return Refs { &Cond(w).AvgOn, &Cond(w).AvgCount }; }),
        Channel("MUX_DELAY", "CFileMuxtDelay", { K::Flag, K::Int16 },
            [](const Where& w) { return Refs { &Cond(w).DelayOn, &Cond(w).DelayTime }; }),
        Channel("MUX_COMP", "CFileMuxComp", { K::Flag, K::Flag, K::Flag, K::Int64, K::Int64, K::Int }, [](const Where& w) {
            MeasCondition& c = Cond(w);
            return Refs { &c.CompOn, &c.CompMode, &c.CompRefCh1, &c.CompUpper, &c.CompLower, &c.PassCondition };
        }),
        Channel("MUX_DT", "CFileMuxDeltaT", { K::Flag, K::DoubleF, K::DoubleE, K::DoubleF }, [](const Where& w) {
            MeasCondition& c = Cond(w);
            return Refs { &c.DeltaTOn, &c.DtT1, &c.DtR1, &c.DtK };
        }),
        Channel("MUX_TC", "CFileMuxTC", { K::Flag, K::DoubleF, K::Int },
            [](const Where& w) { return Refs { &Cond(w).TcOn, &Cond(w).TcT0, &Cond(w).TcAlpha }; }),
        Channel("MUX_SCA", "CFileMuxScaling", { K::Flag, K::DoubleE, K::DoubleE, K::Int, K::Text3 }, [](const Where& w) {
            MeasCondition& c = Cond(w);
            return Refs { &c.ScalingOn, &c.ScalingA, &c.ScalingB, &c.ScalingUnitKind, &c.ScalingUnitText };
        }),
        Channel("MUX_PURE_RESISTANCE", "CFileMuxPureResistance", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).PureResistance }; }),
        Channel("MUX_ATC_TC", "CFileMuxAtcTC", { K::Flag, K::DoubleF, K::Int },
            [](const Where& w) { return Refs { &Cond(w).AtcOn, &Cond(w).AtcT0, &Cond(w).AtcAlpha }; }),
        Channel("MUX_ATC_DT", "CFileMuxAtcDeltaT", { K::DoubleF, K::DoubleE, K::Int, K::DoubleF }, [](const Where& w) {
            MeasCondition& c = Cond(w);
            return Refs { &c.AtcT1, &c.AtcR1, &c.AtcTcr, &c.AtcK };
        }),
        Channel("MUX_ATC_PIN", "CFileMuxAtcPin", { K::Int, K::Int, K::Int },
            [](const Where& w) { return Refs { &Cond(w).AtcUnit, &Cond(w).AtcTermA, &Cond(w).AtcTermB }; }),
        Channel("MUX_ATC_SPEED", "CFileMuxAtcSpeed", { K::Int }, [](const Where& w) { return Refs { &Cond(w).AtcSpeed }; }),
        Channel("MUX_ATC_AUTO_RANGE", "CFileMuxAtcAutoRange", { K::Flag }, [](const Where& w) { return Refs { &Cond(w).AtcAutoRange }; }),
        Channel("MUX_ATC_RANGE", "CFileMuxAtcRange", { K::Int }, [](const Where& w) { return Refs { &Cond(w).AtcRange }; }),
        Channel("MUX_ATC_DELAY", "CFileMuxAtctDelay", { K::Flag, K::Int16 },
            [](const Where& w) { return Refs { &Cond(w).AtcDelayOn, &Cond(w).AtcDelayTime }; }),
        Channel("MUX_ATC_AVG", "CFileMuxAtcAvg", { K::Flag, K::Int },
            [](const Where& w) { return Refs { &Cond(w).AtcAvgOn, &Cond(w).AtcAvgCount }; }),
        Channel("MUX_ATC_OVC", "CFileMuxAtcOvc", { K::Flag }, [](const Where& w) { return Refs { &Cond(w).AtcOvc }; }),
        Channel("MUX_ATC_PURE_RESISTANCE", "CFileMuxAtcPureResistance", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).AtcPureResistance }; }),
        Channel("MUX_ATC_MEAS_CURR", "CFileMuxAtcMeasCurr", { K::Int }, [](const Where& w) { return Refs { &Cond(w).AtcMeasCurrLow }; }),
        Channel("MUX_ATC_CONTACT_CHECK", "CFileMuxAtcContactCheck", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).AtcContactCheck }; }),
        Channel("MUX_ATC_CONTACT_IMPRV", "CFileMuxAtcContactImprv", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).AtcContactImprove }; }),
        Channel("MUX_ATC_100M_HI", "CFileMuxAtcFastRes", { K::Flag },
            [](const Where& w) { return Refs { &Cond(w).AtcHighAccuracy100M }; }),
    };
    return specs;
}

bool IsAtcKey(const std::string& key) { return key.rfind("MUX_ATC_", 0) == 0; }

int32_t LenientInt(const std::string& text) { return static_cast<int32_t>(StrToLongLongC(text)); }

std::string FormatField(Kind kind, const FieldRef& ref)
{
    switch (kind) {
    case Kind::Flag: return *std::get<int32_t*>(ref) != 0 ? "1" : "0";
    case Kind::Int: return FormatC("%d", *std::get<int32_t*>(ref));
    case Kind::Int16: return FormatC("%d", static_cast<int>(*std::get<int16_t*>(ref)));
    case Kind::Int64: return FormatC("%lld", static_cast<long long>(*std::get<int64_t*>(ref)));
    case Kind::DoubleF: return FormatC("%f", *std::get<double*>(ref));
    case Kind::DoubleE: return FormatC("%e", *std::get<double*>(ref));
    case Kind::Text10:
    case Kind::Text3: return *std::get<std::string*>(ref);
    case Kind::FileVer: return FormatC("%d", kCurrentFileVersion);
    }
    return {};
}

// Stores one token; false only for a text longer than its field allows.
bool StoreField(Kind kind, const FieldRef& ref, const std::string& token)
{
    switch (kind) {
    case Kind::Flag:
    case Kind::Int:
    case Kind::FileVer: *std::get<int32_t*>(ref) = LenientInt(token); return true;
    case Kind::Int16: *std::get<int16_t*>(ref) = static_cast<int16_t>(LenientInt(token)); return true;
    case Kind::Int64: *std::get<int64_t*>(ref) = StrToLongLongC(token); return true;
    case Kind::DoubleF:
    case Kind::DoubleE: *std::get<double*>(ref) = StrToDoubleC(token); return true;
    case Kind::Text10:
    case Kind::Text3:
        if (token.size() > (kind == Kind::Text10 ? kMaxChannelName : kMaxUnitText))
            return false;
        *std::get<std::string*>(ref) = token;
        return true;
    }
    return false;
}

// One row of the table as an item.
class CFileItem final : public CFileWR {
public:
    CFileItem(const ItemSpec& spec, IUserPrompt* prompt)
        : m_spec(spec)
        , m_prompt(prompt)
    {
    }

    std::string Write(int table, int channel) override
    {
        std::string text;
        const int lines = m_spec.IndexRule == Index::None ? 1 : m_spec.WriteCount(m_data->ModelCode);
        for (int element = 0; element < lines; ++element) {
            text += m_spec.Key;
            if (m_spec.Channel)
                text += FormatC(",%d,%d", table, channel);
            if (m_spec.IndexRule != Index::None)
                text += FormatC(",%d", element);
            const Refs refs = m_spec.Bind({ *m_data, table, channel, element });
            for (size_t i = 0; i < refs.size(); ++i)
                text += "," + FormatField(m_spec.Kinds[i], refs[i]);
            text += "\n";
        }
        if (m_spec.Kinds.front() == Kind::FileVer)
            FileVersion = kCurrentFileVersion;
        return text;
    }

    bool Read(const std::string& value) override
    {
        const size_t leading = (m_spec.Channel ? 2 : 0) + (m_spec.IndexRule != Index::None ? 1 : 0);
        if (!Split(value, leading + m_spec.Kinds.size()))
            return false;
        size_t next = 0;
        int table = 0;
        int channel = 0;
        if (m_spec.Channel) {
            table = LenientInt(m_tokens[next++]) != 0 ? 1 : 0;
            channel = LenientInt(m_tokens[next++]);
            if (channel < 0 || channel >= kMuxChannels)
                return false;
        }
        int element = 0;
        if (m_spec.IndexRule != Index::None) {
            element = LenientInt(m_tokens[next++]);
            if (element < 0 || element >= m_spec.IndexLimit(m_data->ModelCode))
                return m_spec.IndexRule == Index::IgnoreOutside;
        }
        const Refs refs = m_spec.Bind({ *m_data, table, channel, element });
        for (size_t i = 0; i < refs.size(); ++i) {
            if (!StoreField(m_spec.Kinds[i], refs[i], m_tokens[next + i]))
                return false;
        }
        AfterRead(table, channel);
        return true;
    }

private:
    void AfterRead(int table, int channel)
    {
        if (m_spec.Kinds.front() == Kind::FileVer) {
            TermAdjusted = false;
            if (FileVersion == 0 && m_prompt != nullptr)
                m_prompt->ShowMessage(kOldVersionNotice);
            return;
        }
        if (std::string(m_spec.Key) != "MUX_PIN" || FileVersion != 0)
            return;
        // Old files may hold terminal numbers beyond the unit: pull them into range.
        const int terminals = table == 1 ? kTerminals2Wire : kTerminals4Wire;
        MuxPinSet& pin = m_data->Pins(table)[static_cast<size_t>(channel)];
        for (int32_t* terminal : { &pin.TermA, &pin.TermB }) {
            const int32_t pulled = std::clamp(*terminal, 1, terminals);
            if (pulled != *terminal) {
                *terminal = pulled;
                TermAdjusted = true;
            }
        }
    }

    const ItemSpec& m_spec;
    IUserPrompt* m_prompt;
};

const ItemSpec* FindSpec(const std::string& key)
{
    for (const auto* specs : { &GeneralSpecs(), &ChannelSpecs() }) {
        for (const ItemSpec& spec : *specs) {
            if (key == spec.Key)
                return &spec;
        }
    }
    return nullptr;
}

} // namespace

bool CFileWR::Split(const std::string& value, size_t expected)
{
    size_t start = 0;
    size_t comma = 0;
    while (start < value.size() && (comma = value.find(',', start)) != std::string::npos) {
        m_tokens.push_back(value.substr(start, comma - start));
        start = comma + 1;
    }
    m_tokens.push_back(value.substr(std::min(start, value.size())));
    return m_tokens.size() == expected;
}

std::unique_ptr<CFileWR> CreateFileItem(const std::string& key, int32_t modelCode, IUserPrompt* prompt)
{
    if (IsAtcKey(key) && modelCode != kModelVx6208)
        return nullptr;
    const ItemSpec* spec = FindSpec(key);
    if (spec == nullptr)
        return nullptr;
    return std::make_unique<CFileItem>(*spec, prompt);
}

const std::vector<std::string>& GeneralFileKeys()
{
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> list;
        for (const ItemSpec& spec : GeneralSpecs())
            list.emplace_back(spec.Key);
        return list;
    }();
    return keys;
}

const std::vector<std::string>& ChannelFileKeys(bool withAtc)
{
    static const auto make = [](bool atc) {
        std::vector<std::string> list;
        for (const ItemSpec& spec : ChannelSpecs()) {
            if (atc || !IsAtcKey(spec.Key))
                list.emplace_back(spec.Key);
        }
        return list;
    };
    static const std::vector<std::string> withKeys = make(true);
    static const std::vector<std::string> withoutKeys = make(false);
    return withAtc ? withKeys : withoutKeys;
}

std::string FileItemClassName(const std::string& key)
{
    const ItemSpec* spec = FindSpec(key);
    return spec != nullptr ? spec->ClassName : "";
}
