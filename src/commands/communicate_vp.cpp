#include "commands/communicate_vp.h"

#include <algorithm>

#include "commands/mux_channel_list.h"
#include "commands/mux_commands.h"
#include "commands/vocabulary.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

constexpr const char* kPanelGet = ":MUX:PANel:VAR:GET";
constexpr const char* kPanelSet = ":MUX:PANel:VAR:SET";
constexpr const char* kOverRangeError = ":SENSe:RESistance:ERRor:OVER";
constexpr const char* kCurrentCheck = ":SENSe:RESistance:ERRor:CURRentcheck";
constexpr const char* kOperationComplete = "*OPC";
constexpr int kBeforeReadMs = 100;

// Positions (1-based) of the items the record carries.
constexpr int kSelfCalOff = 1;
constexpr int kFirstChannel = 12;
constexpr int kFourWire = 13;
constexpr int kScanOff = 14;
constexpr int kScanMethod = 15;
constexpr int kAutoHold = 37;
constexpr int kFailStop = 38;
constexpr int kEnableMask = 39;
constexpr int kZeroAllMask = 41;
constexpr int kLastByteItem = 38; // positions up to here are held in 8 bits, the rest in 32

// Beeper items: Hi, IN and Lo have their tones and then their counts; PASS and FAIL a pair each.
struct SBeepPositions {
    int Tone;
    int Count;
};
constexpr std::array<SBeepPositions, 5> kBeepPositions { { { 2, 5 }, { 3, 6 }, { 4, 7 }, { 8, 9 }, { 10, 11 } } };

int64_t Flag(int32_t value) { return value != 0 ? 1 : 0; }

} // namespace

bool CCommunicateVp::ReadPanel()
{
    m_link.Pause(kBeforeReadMs);
    std::string reply;
    if (!QueryIndexed(kPanelGet, 0, reply) || !SplitReply(reply, kPanelVariableCount))
        return false;
    std::array<int64_t, kPanelVariableCount> panel {};
    for (int position = 1; position <= kPanelVariableCount; ++position) {
        const int bits = position <= kLastByteItem ? 8 : 32;
        int64_t value = 0;
        if (!ParseInt64C(m_tokens[static_cast<size_t>(position - 1)], value) || !FitsWidth(value, bits))
            return false; // a value the panel cannot hold: nothing is taken
        panel[static_cast<size_t>(position - 1)] = Narrow(value, bits, true);
    }
    std::copy(panel.begin(), panel.end(), m_panel.begin());
    return true;
}

void CCommunicateVp::ReplaceItems()
{
    const MeasSetData& data = *m_settings;
    auto set = [this](int position, int64_t value) {
        m_panel[static_cast<size_t>(position - 1)] = Narrow(value, position <= kLastByteItem ? 8 : 32, true);
    };
    set(kSelfCalOff, data.MuxSelfCalb == 0 ? 1 : 0);
    for (size_t i = 0; i < kBeepPositions.size(); ++i) {
        set(kBeepPositions[i].Tone, data.MuxBeep[i].Tone);
        set(kBeepPositions[i].Count, data.MuxBeep[i].Count);
    }
    set(kFirstChannel, FirstEnabledChannel(data));
    set(kFourWire, data.MuxMeasMethod == 0 ? 1 : 0);
    set(kScanOff, data.MuxScan == 0 ? 1 : 0);
    // The instrument keeps 1 here for a step-by-step scan and 0 for an automatic one.
    set(kScanMethod, data.MuxScanMethod != 1 ? 1 : 0);
    set(kAutoHold, Flag(data.MuxAutoHold));
    set(kFailStop, Flag(data.MuxFailStop));
    uint64_t enabled = 0;
    uint64_t zeroAll = 0;
    const auto& pins = ActivePins(data);
    for (size_t k = 0; k < pins.size(); ++k) {
        enabled |= static_cast<uint64_t>(Flag(pins[k].Enable)) << k;
        zeroAll |= static_cast<uint64_t>(Flag(pins[k].ZeroAll)) << k;
    }
    for (const auto& [position, mask] : { std::pair { kEnableMask, enabled }, std::pair { kZeroAllMask, zeroAll } }) {
        set(position, static_cast<int64_t>(mask & 0xFFFFFFFFU));
        set(position + 1, static_cast<int64_t>(mask >> 32));
    }
}

bool CCommunicateVp::SendSetting()
{
    const int32_t mode = m_settings->MuxCurrentErrorMode;
    if (mode < 0 || mode > 1)
        return false; // no word for it: checked before the panel line, so that nothing is sent
    if (!ReadPanel())
        return false;
    ReplaceItems();
    std::string line = FormatC("%s 0", kPanelSet);
    for (const int64_t value : m_panel)
        line += FormatC(",%lld", static_cast<long long>(value));
    if (!SendLine(line))
        return false;
    if (ExtendedRangeModel(ModelCode())) {
        const int position = Vocab::kOverRangeError + (m_settings->MuxOverRangeError == 1 ? 0 : 1);
        if (!SendChoice(kOverRangeError, position))
            return false;
    }
    return SendChoice(kCurrentCheck, Vocab::kCurrentError + mode) && SendLine(kOperationComplete);
}

void CCommunicateVp::TakeItems()
{
    MeasSetData& data = *m_settings;
    data.MuxSelfCalb = Panel(kSelfCalOff) != 0 ? 0 : 1;
    for (size_t i = 0; i < kBeepPositions.size(); ++i) {
        data.MuxBeep[i].Tone = static_cast<int32_t>(Panel(kBeepPositions[i].Tone));
        data.MuxBeep[i].Count = static_cast<int32_t>(Panel(kBeepPositions[i].Count));
    }
    data.MuxMeasMethod = Panel(kFourWire) != 0 ? 0 : 1;
    data.MuxScan = Panel(kScanOff) != 0 ? 0 : 1;
    data.MuxScanMethod = Panel(kScanMethod) != 0 ? 0 : 1;
    data.MuxAutoHold = Panel(kAutoHold) != 0 ? 1 : 0;
    data.MuxFailStop = Panel(kFailStop) != 0 ? 1 : 0;
    auto mask = [this](int position) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(Panel(position + 1))) << 32)
            | static_cast<uint32_t>(Panel(position));
    };
    const uint64_t enabled = mask(kEnableMask);
    const uint64_t zeroAll = mask(kZeroAllMask);
    auto& pins = ActivePins(data); // the method just read decides the table
    for (size_t k = 0; k < pins.size(); ++k) {
        pins[k].Enable = static_cast<int32_t>((enabled >> k) & 1U);
        pins[k].ZeroAll = static_cast<int32_t>((zeroAll >> k) & 1U);
    }
}

bool CCommunicateVp::ReadSetting()
{
    if (!ReadPanel())
        return false;
    TakeItems();
    std::string reply;
    if (ExtendedRangeModel(ModelCode())) {
        if (!Query(kOverRangeError, reply))
            return false;
        if (reply == VocabularyText(Vocab::kOverRangeError))
            m_settings->MuxOverRangeError = 1;
        else if (reply == VocabularyText(Vocab::kOverRangeError + 1))
            m_settings->MuxOverRangeError = 0;
    }
    if (!Query(kCurrentCheck, reply))
        return false;
    if (reply == VocabularyText(Vocab::kCurrentError))
        m_settings->MuxCurrentErrorMode = 0;
    else if (reply == VocabularyText(Vocab::kCurrentError + 1))
        m_settings->MuxCurrentErrorMode = 1;
    return true;
}
