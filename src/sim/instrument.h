#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>

#include "sim/command_line.h"
#include "sim/measurement.h"
#include "sim/model_table.h"
#include "sim/mux_state.h"
#include "sim/setting_table.h"
#include "sim/sim_options.h"
#include "sim/status_model.h"

// What the instrument does about one command line (all of its parts, when they are chained with ';').
struct SimResponse {
    bool HasReply = false;
    std::string Text;
    int DelayMs = 0; // time the instrument needs before it can answer (measuring, adjusting)
    bool Background = false; // answered when due, apart from the order of the other replies
    bool WaitTrigger = false;
    uint64_t TriggerMark = 0; // the reply is due once the trigger count has passed this
    bool Abortable = false;
    uint64_t AbortMark = 0; // an ":ABORt" after this drops the reply
    std::function<std::string()> Produce; // when set, computes the text when the reply is due
};

// The instrument's state and its command interpreter. Every client connection talks to the same
// instrument; all entry points are thread-safe.
class CInstrument {
public:
    explicit CInstrument(const SimOptions& options);

    [[nodiscard]] SimResponse Execute(const std::string& line);

    void FireTrigger();
    [[nodiscard]] uint64_t TriggerCount() const { return m_triggerCount.load(); }
    [[nodiscard]] uint64_t AbortCount() const { return m_abortCount.load(); }
    void SetChannelResistance(int channel, double ohms);
    [[nodiscard]] const SimModel& Model() const { return m_model; }

private:
    using Handler = SimResponse (CInstrument::*)(const SimCommand&);
    struct SCommandDef {
        const char* Pattern;
        ESimAvailability Availability;
        Handler Set;
        Handler Query;
        bool Headed; // the answer carries the header while headers are on
    };
    static const std::vector<SCommandDef>& CommandTable();
    static const std::vector<CHeaderPattern>& CommandPatterns();

    [[nodiscard]] SimResponse ExecuteLocked(const SimCommand& command);
    // Index in the command table of the entry the header names on this model, -1 when none does.
    [[nodiscard]] int FindCommand(const SimCommand& command) const;
    [[nodiscard]] bool Knows(const SimCommand& command) const;
    // A chained part without a leading colon continues from the path of the part before it.
    void ResolveChained(SimCommand& command, const std::string& path) const;
    [[nodiscard]] SimResponse Answer(std::string text) const;
    // Queues the error and gives no reply: what the instrument does about a command it cannot take.
    [[nodiscard]] SimResponse Reject(ESimError error);
    void ResetState();
    void ApplyPowerOnPreset();
    void ApplyMuxPreset();

    // Common, range, zero-adjust and panel commands.
    SimResponse Identify(const SimCommand&);
    SimResponse SelfTest(const SimCommand&);
    SimResponse OperationComplete(const SimCommand&);
    SimResponse Nothing(const SimCommand&);
    SimResponse Reset(const SimCommand&);
    SimResponse SetRange(const SimCommand&);
    SimResponse QueryRange(const SimCommand&);
    SimResponse SetLowPowerRange(const SimCommand&);
    SimResponse QueryLowPowerRange(const SimCommand&);
    SimResponse SetAdjust(const SimCommand&);
    SimResponse GetAdjust(const SimCommand&);
    SimResponse StartZeroAdjust(const SimCommand&);
    SimResponse Abort(const SimCommand&);
    SimResponse SavePanel(const SimCommand&);
    // Status model and error queue.
    SimResponse SetOperationComplete(const SimCommand&);
    SimResponse ClearStatus(const SimCommand&);
    SimResponse QueryEvents(const SimCommand&);
    SimResponse QueryStatusByte(const SimCommand&);
    SimResponse SetEventEnable(const SimCommand&);
    SimResponse QueryEventEnable(const SimCommand&);
    SimResponse SetServiceEnable(const SimCommand&);
    SimResponse QueryServiceEnable(const SimCommand&);
    SimResponse QueryError(const SimCommand&);
    SimResponse QueryErrorCount(const SimCommand&);
    // MUX and scan commands.
    SimResponse SetPanelVariables(const SimCommand&);
    SimResponse GetPanelVariables(const SimCommand&);
    SimResponse SetChannelVariables(const SimCommand&);
    SimResponse GetChannelVariables(const SimCommand&);
    SimResponse SetAdjustVariables(const SimCommand&);
    SimResponse GetAdjustVariables(const SimCommand&);
    SimResponse SelectChannel(const SimCommand&);
    SimResponse QueryChannel(const SimCommand&);
    SimResponse QueryChannelState(const SimCommand&);
    SimResponse QueryFrontCable(const SimCommand&);
    SimResponse ResetScan(const SimCommand&);
    SimResponse SetScanMode(const SimCommand&);
    SimResponse QueryScanMode(const SimCommand&);
    SimResponse SetFailStop(const SimCommand&);
    SimResponse QueryFailStop(const SimCommand&);
    SimResponse QueryScanState(const SimCommand&);
    // Measurement commands.
    SimResponse Fetch(const SimCommand&);
    SimResponse Read(const SimCommand&);
    SimResponse FetchTemperature(const SimCommand&);
    SimResponse TotalJudgement(const SimCommand&);
    SimResponse InputState(const SimCommand&);

    [[nodiscard]] std::string CompleteRead(bool withLimit);
    [[nodiscard]] std::string FinishZeroAdjust();
    [[nodiscard]] int FrontAdjustRanges() const;
    [[nodiscard]] int64_t* FrontAdjustSlot(const std::string& rangeText);

    const SimOptions m_options;
    const SimModel m_model;
    mutable std::mutex m_mutex;
    CSettingStore m_settings;
    CMuxState m_mux;
    CMeasurement m_measurement;
    CStatusModel m_status;
    int m_range = 0;
    int m_lowPowerRange = 3;
    std::array<int64_t, 11> m_zeroAdjust {};
    std::array<int64_t, kLowPowerRangeCount> m_lowPowerZeroAdjust {};
    std::set<int> m_savedPanels;
    bool m_inputLatched = false;
    std::atomic<uint64_t> m_triggerCount { 0 };
    std::atomic<uint64_t> m_abortCount { 0 };
};
