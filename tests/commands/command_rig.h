#pragma once

// The simulator in-process over loopback TCP and a link of the test's own connected to it.

#include <chrono>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "commands/command_factory.h"
#include "commands/communicate_meas_data.h"
#include "settings/meas_set_data.h"
#include "settings/model_info.h"
#include "sim/simulator.h"

struct SModelCase {
    const char* Name;
    int32_t Code;
    bool Mux;
};

inline void PrintTo(const SModelCase& model, std::ostream* out) { *out << model.Name; }

inline const std::vector<SModelCase>& AllModels()
{
    static const std::vector<SModelCase> models { { "VX6207", 8, false }, { "VX6207-01", 9, false },
        { "VX6207-02", 10, true }, { "VX6207-03", 12, true }, { "VX6207A-1", 144, false }, { "VX6207A-2", 160, true },
        { "VX6208", 2048, true } };
    return models;
}

inline std::vector<SModelCase> MuxModels()
{
    std::vector<SModelCase> models;
    for (const SModelCase& model : AllModels()) {
        if (model.Mux)
            models.push_back(model);
    }
    return models;
}

inline SimOptions SimFor(const std::string& model)
{
    SimOptions options;
    options.Model = model;
    options.FrontCable = false; // the MUX may be selected
    return options;
}

struct SSimRig {
    explicit SSimRig(const SimOptions& options)
        : Sim(options)
    {
        Started = Sim.StartTcp(0);
        Link.Interface = InterfaceKind::Lan;
        Link.IpAddress = 0x7F000001;
        Link.TcpPort = Sim.TcpPort();
        // The simulator applies settings at once and answers in order: no pauses, short drains.
        Link.PausePercent = 0;
        Link.Channel().DrainSettleMs = 1;
    }
    explicit SSimRig(const std::string& model)
        : SSimRig(SimFor(model))
    {
    }

    // Runs the connect sequence on the record (which learns the model code) and forgets its lines.
    [[nodiscard]] bool Connect(MeasSetData& data)
    {
        auto init = CreateCommand(CommandNo::kInit, Link, Prompt, &data);
        const bool ok = init->SendSetting();
        (void)Lines(); // the last connect line has no reply: wait until it is in
        Sim.ClearReceivedLines();
        return ok;
    }

    [[nodiscard]] bool Send(int number, MeasSetData& data)
    {
        auto command = CreateCommand(number, Link, Prompt, &data);
        return command != nullptr && command->SendSetting();
    }
    [[nodiscard]] bool Read(int number, MeasSetData& data)
    {
        auto command = CreateCommand(number, Link, Prompt, &data);
        return command != nullptr && command->ReadSetting();
    }

    // What the simulator received, once the lines still in flight have arrived (the count has
    // stayed the same for a moment).
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines = Sim.ReceivedLines();
        for (int settled = 0, rounds = 0; settled < 3 && rounds < 100; ++rounds) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::vector<std::string> now = Sim.ReceivedLines();
            settled = now.size() == lines.size() ? settled + 1 : 0;
            lines = std::move(now);
        }
        return lines;
    }

    CSimulator Sim;
    CInstrumentLink Link;
    CRecordingPrompt Prompt;
    bool Started = false;
};

// Lines that begin with the prefix, in order.
inline std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    }
    return found;
}
