#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/model_table.h"

constexpr int kSimChannels = 42;
constexpr int kPanelFields = 82;
// The value a zero-adjust list holds for a range without an adjustment.
constexpr int64_t kNoAdjustment = 2147483647;

enum class ESimScanMode { Off, Step, Auto };

// A channel's comparator and scaling, decoded from its variable list.
struct SimChannelConditions {
    bool CompOn = false;
    bool Reference = false; // REF% mode: Upper is the reference, Lower the percentage
    bool ReferenceCh1 = false;
    int PassCode = 2; // bits: 4 Hi, 2 IN, 1 Lo
    double Upper = 0.0; // ohms, or the reference in ohms
    double Lower = 0.0; // ohms, or percent
    bool ScalingOn = false;
    double ScalingA = 1.0;
    double ScalingB = 0.0;
    int Range = 0;
};

// The MUX unit's memory: the panel variable list (the scan-wide settings), one variable list and
// one zero-adjust list per channel, and the selected channel.
class CMuxState {
public:
    explicit CMuxState(SimModel model);

    void Reset();
    // Enables exactly these channels for scans.
    void EnableChannels(const std::vector<int>& channels);
    // Switches the channel's comparator on with absolute limits in ohms.
    void SetChannelLimits(int channel, double lowerOhms, double upperOhms);

    // Lists in the wire form: "0," then the values; false (nothing changed) when the form is wrong.
    [[nodiscard]] bool SetPanel(const std::vector<std::string>& arguments);
    [[nodiscard]] std::string PanelText() const;
    [[nodiscard]] bool SetChannel(const std::vector<std::string>& arguments);
    [[nodiscard]] std::string ChannelText(int channel) const;
    [[nodiscard]] bool SetAdjust(const std::vector<std::string>& arguments);
    [[nodiscard]] std::string AdjustText(int channel) const;

    [[nodiscard]] uint64_t EnabledMask() const { return Mask(38); }
    [[nodiscard]] uint64_t ZeroAllMask() const { return Mask(40); }
    [[nodiscard]] bool Enabled(int channel) const;
    [[nodiscard]] std::vector<int> EnabledChannels() const;

    [[nodiscard]] ESimScanMode ScanMode() const;
    void SetScanMode(ESimScanMode mode);
    [[nodiscard]] bool FailStop() const { return m_panel[37] != 0; }
    void SetFailStop(bool on) { m_panel[37] = on ? 1 : 0; }

    [[nodiscard]] int Selected() const { return m_selected; } // 0 = front terminals
    void Select(int channel) { m_selected = channel; }

    [[nodiscard]] SimChannelConditions Conditions(int channel) const;
    // Stores an adjustment value for the channel's present range (a finished zero adjustment).
    void StoreAdjustment(int channel, int64_t value);

    static bool ValidChannel(int channel) { return channel >= 1 && channel <= kSimChannels; }

private:
    [[nodiscard]] uint64_t Mask(size_t lowIndex) const;
    [[nodiscard]] int64_t ChannelField(int channel, int position) const; // position 1-based
    void SetChannelField(int channel, int position, int64_t value);
    [[nodiscard]] int64_t ChannelPair(int channel, int position) const; // two 32-bit halves, low first
    [[nodiscard]] std::vector<std::string> DefaultChannel(int channel) const;

    struct SAdjust {
        int64_t Mask = 0;
        std::vector<int64_t> Values;
    };

    SimModel m_model;
    std::array<int64_t, kPanelFields> m_panel {};
    std::array<std::vector<std::string>, kSimChannels> m_channels;
    std::array<SAdjust, kSimChannels> m_adjust;
    int m_selected = 0;
};

// A double's eight bytes as two signed 32-bit numbers (low half first), and back.
void SplitRaw(double value, int32_t& low, int32_t& high);
[[nodiscard]] double JoinRaw(int64_t low, int64_t high);
