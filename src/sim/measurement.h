#pragma once

#include <array>
#include <map>
#include <random>
#include <string>

#include "sim/mux_state.h"
#include "sim/setting_table.h"

// What the instrument writes instead of a value when the input is beyond the range.
inline constexpr const char* kOverRangeText = "OverRange";
// What a channel not measured in the last scan answers in place of its value.
inline constexpr const char* kNoValueText = "--------";

// Comparator judgement of a value: "HI", "IN" or "LO". With reference the limits are a reference
// value and a percentage on either side of it.
[[nodiscard]] std::string CompareLimits(double value, bool reference, double upper, double lower);
// Channel judgement from the comparator judgement and the channel's pass code (bits: 4 Hi, 2 IN, 1 Lo).
[[nodiscard]] std::string JudgeChannel(const std::string& comparator, int passCode, bool error);

struct SimChannelResult {
    bool Measured = false;
    std::string Value = kNoValueText;
    std::string Comparator = "OFF";
    std::string Judgement = "OFF";
};

// The measuring part of the instrument: readings of the front terminals or of a MUX channel with
// noise, comparator judgements from the stored limits, and MUX scans (whole or step by step) with
// channel and total judgements and fail-stop.
class CMeasurement {
public:
    CMeasurement(const CSettingStore& settings, const CMuxState& mux, double defaultOhms,
        std::map<int, double> channelOhms, bool overRange);

    void SetChannelResistance(int channel, double ohms) { m_channelOhms[channel] = ohms; }

    // The reply to ":READ?" (a whole scan, one scan step, or one reading) and to ":FETCh?".
    [[nodiscard]] std::string Read(bool withLimit);
    [[nodiscard]] std::string Fetch(bool withLimit);
    // ":FETCH? LIMJdge,<ch>": value, comparator judgement and channel judgement of the last scan.
    [[nodiscard]] std::string ChannelResult(int channel) const;
    [[nodiscard]] std::string TotalJudgement() const;
    [[nodiscard]] bool ScanInProgress() const { return m_stepPosition != 0; }
    [[nodiscard]] bool Scanning() const;
    // How many readings the next ":READ?" takes (for the measuring time).
    [[nodiscard]] int ReadingsPerRead() const;
    void ResetScan();
    [[nodiscard]] static std::string Temperature() { return "23.0"; }

private:
    [[nodiscard]] double Ohms(int channel) const;
    [[nodiscard]] double Noisy(double ohms);
    [[nodiscard]] static std::string FormatValue(double value);
    [[nodiscard]] std::string ReadFront(bool withLimit);
    [[nodiscard]] SimChannelResult MeasureChannel(int channel);
    [[nodiscard]] std::string ScanWhole();
    [[nodiscard]] std::string ScanStep();
    [[nodiscard]] static bool Failed(const SimChannelResult& result);
    void ClearResults();

    const CSettingStore& m_settings;
    const CMuxState& m_mux;
    double m_defaultOhms;
    std::map<int, double> m_channelOhms;
    bool m_overRange;
    std::mt19937 m_random { 6207 };
    std::array<SimChannelResult, kSimChannels> m_results;
    size_t m_stepPosition = 0; // next position in the enabled channels of a step scan
    int m_lastChannel = 0;
    double m_channel1Value = 0.0;
};
