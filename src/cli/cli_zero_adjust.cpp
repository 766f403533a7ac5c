// "zero-adjust": the instrument's zero adjustment, as the measurement settings dialog runs it:
// mirror the conditions, start, poll for the end every 200 ms, read the values back, save them.
#include <atomic>
#include <csignal>
#include <iostream>

#include "cli/cli_common.h"
#include "cli/cli_registry.h"
#include "commands/communicate_meas_data.h"
#include "host/zero_adjust_run.h"
#include "link/instrument_link.h"
#include "settings/file_manager.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"
#include "settings/setting_data.h"

namespace {

std::atomic<bool> g_stop { false };
void OnInterrupt(int)
{
    g_stop = true;
}

struct ZeroOptions {
    CCliConnection Connection;
    std::string Model;
    std::string Settings;
    std::string Output;
};

void PrintValues(const MeasSetData& data)
{
    const MeasCondition& front = data.Front.Cond;
    for (int i = 0; i < ZeroAdjustRangeCount(data.ModelCode); ++i) {
        const auto slot = static_cast<size_t>(i);
        if (front.ZeroAdjOn[slot])
            std::cout << "front range " << i << ": " << front.ZeroAdjValue[slot] << '\n';
    }
    if (!data.MuxOn)
        return;
    const auto& pins = data.Pins(data.MuxMeasMethod);
    const auto& channels = data.Channels(data.MuxMeasMethod);
    for (size_t channel = 0; channel < kMuxChannels; ++channel) {
        for (size_t slot = 0; slot < kZeroAdjSlots; ++slot) {
            if (channels[channel].ZeroAdjOn[slot])
                std::cout << pins[channel].Name << " range " << slot << ": " << channels[channel].ZeroAdjValue[slot]
                          << '\n';
        }
    }
}

int RunZeroAdjust(ZeroOptions& options)
{
    int32_t model = 0;
    if (!options.Connection.ResolveModel(options.Model, model))
        return kExitUsage;
    IUserPrompt& prompt = options.Connection.Prompt();
    CInstrumentLink& link = InstrumentLink();
    if (!options.Connection.Configure(link))
        return kExitUsage;
    CCommunicateMeasData transfer(prompt, link);
    MeasSetData record;
    InitMeasSetData(record, model);
    record.ModelCode = model;
    if (!transfer.CheckModel(record, model))
        return kExitFailure;
    if (!prompt.AskYesNo(MirrorQuestionOf(model))) {
        prompt.ShowMessage(kZeroAdjustNotExecuted);
        return kExitFailure;
    }
    // The conditions to mirror: a settings file, or what the instrument holds now.
    if (!options.Settings.empty()) {
        CFileManager manager(prompt);
        if (!LoadSettingsFileFor(manager, options.Settings, model))
            return kExitFailure;
        record = manager.Data;
    } else if (!transfer.ReadAll(record)) {
        prompt.ShowMessage(kFailedToLoadSettings);
        return kExitFailure;
    }
    CZeroAdjustRun run(prompt, link);
    run.SetProgress([](double seconds) {
        std::cerr << "\r" << kZeroAdjusting << ' ' << FormatC("%.1f", seconds) << " s" << std::flush;
    });
    if (!run.Start(record, true))
        return kExitFailure;
    std::signal(SIGINT, OnInterrupt);
    const ZeroAdjustStatus status = run.Wait(g_stop);
    std::cerr << '\n';
    if (status == ZeroAdjustStatus::Aborted)
        std::cerr << "Stopped.\n";
    if (status != ZeroAdjustStatus::Done)
        return kExitFailure;
    record = run.Values();
    PrintValues(record);
    if (!options.Output.empty()) {
        CFileManager manager(prompt);
        manager.Data = record;
        if (!manager.Save(options.Output)) {
            prompt.ShowMessage(kFailedToSaveSettings);
            return kExitFailure;
        }
    }
    return kExitOk;
}

const CCliRegistration kZeroAdjust(
    "zero-adjust", "Run the zero adjustment and read the values back", [](CLI::App& sub) -> CliRunner {
        auto options = std::make_shared<ZeroOptions>();
        options->Connection.AddOptions(sub);
        sub.add_option("--model", options->Model, "Model code or name (default: the configured model)");
        sub.add_option("--settings", options->Settings, "Conditions to mirror first (default: the instrument's own)");
        sub.add_option("-o,--output", options->Output, "Save the conditions with the new zero-adjust values here");
        return [options] { return RunZeroAdjust(*options); };
    });

} // namespace
