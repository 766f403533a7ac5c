#include "commands/mux_channel_list.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "commands/quoted_text.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

constexpr int kNormalFields = 42;
constexpr int kVx6208Fields = 69;
constexpr int kUnitPosition = 34;
constexpr int kFull = 32; // width of the plain 32-bit fields

// Field values by position (1-based), already narrowed.
using Values = std::array<int64_t, kVx6208Fields + 1>;

struct SChannelIn {
    const MuxPinSet& Pin;
    const MeasCondition& Cond;
    bool Extended;
};
struct SChannelOut {
    MuxPinSet& Pin;
    MeasCondition& Cond;
    bool Extended;
};

struct SField {
    int Position;
    int Bits; // 0: the unit text
    bool Signed;
    int64_t (*Get)(const SChannelIn&);
    void (*Put)(SChannelOut&, const Values&, int position); // null: nothing is stored from this field
};

template <typename T> struct SMemberTraits;
template <typename C, typename T> struct SMemberTraits<T C::*> {
    using Class = C;
    using Type = T;
};

// The member of the pin entry or of the condition record, whichever the member belongs to.
template <auto Member, typename Channel> auto& Of(Channel& channel)
{
    if constexpr (std::is_same_v<typename SMemberTraits<decltype(Member)>::Class, MuxPinSet>)
        return channel.Pin.*Member;
    else
        return channel.Cond.*Member;
}

template <auto Member> using TypeOf = typename SMemberTraits<decltype(Member)>::Type;

template <auto Member> SField Flag(int position)
{
    return { position, kFull, true, [](const SChannelIn& c) -> int64_t { return Of<Member>(c) != 0 ? 1 : 0; },
        [](SChannelOut& c, const Values& v, int p) { Of<Member>(c) = v[p] != 0 ? 1 : 0; } };
}

template <auto Member> SField InvertedFlag(int position)
{
    return { position, kFull, true, [](const SChannelIn& c) -> int64_t { return Of<Member>(c) == 0 ? 1 : 0; },
        [](SChannelOut& c, const Values& v, int p) { Of<Member>(c) = v[p] == 0 ? 1 : 0; } };
}

template <auto Member> SField Integer(int position, int bits, bool isSigned)
{
    return { position, bits, isSigned, [](const SChannelIn& c) -> int64_t { return Of<Member>(c); },
        [](SChannelOut& c, const Values& v, int p) { Of<Member>(c) = static_cast<TypeOf<Member>>(v[p]); } };
}

// Unit numbers travel one higher.
template <auto Member> SField PlusOne(int position, int bits)
{
    return { position, bits, false, [](const SChannelIn& c) -> int64_t { return Of<Member>(c) + 1; },
        [](SChannelOut& c, const Values& v, int p) { Of<Member>(c) = static_cast<TypeOf<Member>>(v[p] - 1); } };
}

// Doubles with one decimal travel as tenths, rounded to the nearest tenth.
template <auto Member> SField Tenths(int position, int bits)
{
    return { position, bits, true, [](const SChannelIn& c) -> int64_t { return std::llround(Of<Member>(c) * 10.0); },
        [](SChannelOut& c, const Values& v, int p) { Of<Member>(c) = static_cast<double>(v[p]) / 10.0; } };
}

SField Zero(int position)
{
    return { position, kFull, true, [](const SChannelIn&) -> int64_t { return 0; }, nullptr };
}

uint64_t PairBits(const Values& v, int low)
{
    return (static_cast<uint64_t>(static_cast<uint32_t>(v[low + 1])) << 32) | static_cast<uint32_t>(v[low]);
}

int64_t LowHalf(uint64_t bits) { return static_cast<int32_t>(static_cast<uint32_t>(bits & 0xFFFFFFFFU)); }
int64_t HighHalf(uint64_t bits) { return static_cast<int32_t>(static_cast<uint32_t>(bits >> 32)); }

template <auto Member> uint64_t BitsOf(const SChannelIn& c)
{
    if constexpr (std::is_same_v<TypeOf<Member>, double>) {
        uint64_t bits = 0;
        const double value = Of<Member>(c);
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    } else {
        return static_cast<uint64_t>(Of<Member>(c));
    }
}

// A double's eight bytes, or a 64-bit integer, as two signed 32-bit halves, low half first.
template <auto Member> void AddPair(std::vector<SField>& fields, int position)
{
    fields.push_back({ position, kFull, true, [](const SChannelIn& c) { return LowHalf(BitsOf<Member>(c)); },
        [](SChannelOut& c, const Values& v, int p) {
            const uint64_t bits = PairBits(v, p);
            if constexpr (std::is_same_v<TypeOf<Member>, double>)
                std::memcpy(&Of<Member>(c), &bits, sizeof bits);
            else
                Of<Member>(c) = static_cast<TypeOf<Member>>(bits);
        } });
    fields.push_back({ position + 1, kFull, true, [](const SChannelIn& c) { return HighHalf(BitsOf<Member>(c)); }, nullptr });
}

constexpr std::array<int64_t, 6> kPassCodes { 0, 4, 2, 1, 5, 7 }; // OFF, Hi, IN, Lo, Hi-Lo, ALL

int64_t MeasurementMode(const SChannelIn& c)
{
    if (!c.Extended)
        return c.Cond.LowPower != 0 ? 1 : 0;
    return c.Cond.LowPower != 0 ? 1 : (c.Cond.PureResistance != 0 ? 2 : 0);
}

void PutMeasurementMode(SChannelOut& c, const Values& v, int p)
{
    c.Cond.LowPower = v[p] == 1 ? 1 : 0;
    c.Cond.PureResistance = c.Extended && v[p] == 2 ? 1 : 0;
}

int64_t PassCode(const SChannelIn& c)
{
    const int32_t index = c.Cond.PassCondition;
    return index >= 0 && static_cast<size_t>(index) < kPassCodes.size() ? kPassCodes[static_cast<size_t>(index)] : 0;
}

void PutPassCode(SChannelOut& c, const Values& v, int p)
{
    c.Cond.PassCondition = 0;
    for (size_t i = 0; i < kPassCodes.size(); ++i) {
        if (kPassCodes[i] == v[p])
            c.Cond.PassCondition = static_cast<int32_t>(i);
    }
}

int64_t ScalingMantissa(const SChannelIn& c)
{
    int64_t mantissa = 0;
    int64_t exponent = 0;
    EncodeScalingA(c.Cond.ScalingA, mantissa, exponent);
    return mantissa;
}

int64_t ScalingExponent(const SChannelIn& c)
{
    int64_t mantissa = 0;
    int64_t exponent = 0;
    EncodeScalingA(c.Cond.ScalingA, mantissa, exponent);
    return exponent;
}

constexpr int kExponentPosition = 27;

// clang-format off
std::vector<SField> BuildFields()
{
    using M = MeasCondition;
    using P = MuxPinSet;
    std::vector<SField> f {
        Integer<&M::AvgCount>(1, 8, false),
        Tenths<&M::DtK>(2, 16),
        { 3, 16, false, ScalingMantissa,
            [](SChannelOut& c, const Values& v, int p) { c.Cond.ScalingA = DecodeScalingA(v[p], v[kExponentPosition]); } },
        Flag<&M::DeltaTOn>(4), Flag<&M::AutoRange>(5),
        { 6, kFull, true, MeasurementMode, PutMeasurementMode },
        InvertedFlag<&M::MeasCurrLow>(7), Flag<&M::AvgOn>(8), Flag<&M::TcOn>(9), Flag<&M::Ovc>(10),
        Flag<&M::ScalingOn>(11), Flag<&M::ContactImprove>(12), Flag<&M::ContactCheck>(13),
        Flag<&M::LpContactCheck>(14), Flag<&M::CompOn>(15), Flag<&M::CompMode>(16), Flag<&M::CompRefCh1>(17),
        Flag<&M::DelayOn>(18),
        PlusOne<&P::Unit>(19, 2), Integer<&P::TermA>(20, 5, false), Integer<&P::TermB>(21, 5, false),
        Integer<&M::Range>(22, 4, false), Integer<&M::LoPowerRange>(23, 3, true), Integer<&M::Speed>(24, 2, false),
        Integer<&M::ScalingUnitKind>(25, 2, false),
        { 26, 3, false, PassCode, PutPassCode },
        { kExponentPosition, 8, true, ScalingExponent, nullptr },
        Integer<&P::Inst>(28, kFull, true), InvertedFlag<&M::HighAccuracy100M>(29),
        Integer<&M::DelayTime>(30, 16, true), Tenths<&M::TcT0>(31, kFull), Integer<&M::TcAlpha>(32, kFull, true),
        Tenths<&M::DtT1>(33, kFull),
        { kUnitPosition, 0, false, nullptr, nullptr },
    };
    AddPair<&M::ScalingB>(f, 35);
    AddPair<&M::DtR1>(f, 37);
    AddPair<&M::CompUpper>(f, 39);
    AddPair<&M::CompLower>(f, 41);
    // The A-TC sensor channel, on the VX6208 only.
    for (SField field : { Flag<&M::AtcOn>(43), Flag<&M::AtcAutoRange>(44), Zero(45),
             InvertedFlag<&M::AtcMeasCurrLow>(46), Flag<&M::AtcAvgOn>(47), Flag<&M::AtcOvc>(48),
             InvertedFlag<&M::AtcHighAccuracy100M>(49), Flag<&M::AtcContactCheck>(50), Zero(51),
             SField { 52, kFull, true, [](const SChannelIn& c) -> int64_t { return c.Cond.AtcContactImprove > 0 ? 1 : 0; },
                 [](SChannelOut& c, const Values& v, int p) { c.Cond.AtcContactImprove = v[p] != 0 ? 1 : 0; } },
             Flag<&M::AtcPureResistance>(53), Flag<&M::AtcDelayOn>(54), PlusOne<&M::AtcUnit>(55, 2),
             Integer<&M::AtcTermA>(56, 5, false), Integer<&M::AtcTermB>(57, 5, false),
             Integer<&M::AtcRange>(58, 4, false), Zero(59), Integer<&M::AtcSpeed>(60, 2, false),
             Integer<&M::AtcAvgCount>(61, 8, false), Integer<&M::AtcDelayTime>(62, 16, true),
             Tenths<&M::AtcT0>(63, kFull), Integer<&M::AtcAlpha>(64, kFull, true), Tenths<&M::AtcK>(65, 16),
             Integer<&M::AtcTcr>(66, kFull, true), Tenths<&M::AtcT1>(67, kFull) })
        f.push_back(field);
    AddPair<&M::AtcR1>(f, 68);
    return f;
}
// clang-format on

const std::vector<SField>& Fields()
{
    static const std::vector<SField> fields = BuildFields();
    return fields;
}

constexpr std::array<double, 8> kScalingBounds { 0.0002, 0.002, 0.02, 0.2, 2, 20, 200, 2000 };
constexpr int64_t kLowestExponent = -3;
constexpr int64_t kOutsideExponent = -4;
constexpr double kMantissaScale = 10000.0;

} // namespace

int ChannelFieldCount(int32_t modelCode) { return modelCode == kModelVx6208 ? kVx6208Fields : kNormalFields; }

int64_t Narrow(int64_t value, int bits, bool isSigned)
{
    if (bits <= 0 || bits >= 64)
        return value;
    const uint64_t mask = (uint64_t { 1 } << bits) - 1;
    const uint64_t low = static_cast<uint64_t>(value) & mask;
    if (isSigned && (low >> (bits - 1)) != 0)
        return static_cast<int64_t>(low | ~mask);
    return static_cast<int64_t>(low);
}

void EncodeScalingA(double a, int64_t& mantissa, int64_t& exponent)
{
    exponent = kOutsideExponent;
    for (size_t i = 0; i + 1 < kScalingBounds.size(); ++i) {
        if (kScalingBounds[i] <= a && a < kScalingBounds[i + 1])
            exponent = kLowestExponent + static_cast<int64_t>(i);
    }
    mantissa = std::llround(a / std::pow(10.0, static_cast<double>(exponent)) * kMantissaScale);
}

double DecodeScalingA(int64_t mantissa, int64_t exponent)
{
    return static_cast<double>(mantissa) / kMantissaScale * std::pow(10.0, static_cast<double>(exponent));
}

std::vector<std::string> PackChannel(int32_t modelCode, const MuxPinSet& pin, const MeasCondition& cond)
{
    const int count = ChannelFieldCount(modelCode);
    const SChannelIn channel { pin, cond, ExtendedRangeModel(modelCode) };
    std::vector<std::string> out(static_cast<size_t>(count));
    for (const SField& field : Fields()) {
        if (field.Position > count)
            break;
        std::string& text = out[static_cast<size_t>(field.Position - 1)];
        if (field.Bits == 0)
            text = QuotedText(cond.ScalingUnitText.substr(0, kMaxUnitText));
        else
            text = FormatC("%lld", static_cast<long long>(Narrow(field.Get(channel), field.Bits, field.Signed)));
    }
    return out;
}

bool FitsWidth(int64_t value, int bits)
{
    if (bits <= 0 || bits >= 64)
        return true;
    return value >= -(int64_t { 1 } << (bits - 1)) && value <= static_cast<int64_t>((uint64_t { 1 } << bits) - 1);
}

bool UnpackChannel(int32_t modelCode, const std::vector<std::string>& fields, MuxPinSet& pin, MeasCondition& cond)
{
    const int count = std::min(ChannelFieldCount(modelCode), static_cast<int>(fields.size()));
    Values values {};
    for (const SField& field : Fields()) {
        if (field.Position > count)
            break;
        int64_t value = 0;
        if (field.Bits == 0)
            continue;
        if (!ParseInt64C(fields[static_cast<size_t>(field.Position - 1)], value) || !FitsWidth(value, field.Bits))
            return false;
        values[static_cast<size_t>(field.Position)] = Narrow(value, field.Bits, field.Signed);
    }
    SChannelOut channel { pin, cond, ExtendedRangeModel(modelCode) };
    for (const SField& field : Fields()) {
        if (field.Position > count)
            break;
        if (field.Bits == 0) {
            cond.ScalingUnitText = UnquotedText(fields[static_cast<size_t>(field.Position - 1)]).substr(0, kMaxUnitText);
        } else if (field.Put != nullptr) {
            field.Put(channel, values, field.Position);
        }
    }
    return true;
}
