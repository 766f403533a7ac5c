// "zero-adjust": the instrument's zero adjustment, as the measurement settings dialog runs it:
// mirror the conditions, start, poll for the end every 200 ms, read the values back, save them.
#include <atomic>
#include <chrono>
#include <csignal>
#include <iostream>
#include <thread>

#include "cli/cli_common.h"
#include "cli/cli_registry.h"
#include "commands/communicate_meas_data.h"
#include "link/instrument_link.h"
#include "settings/file_manager.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"
#include "settings/setting_data.h"

namespace {

// Command numbers of the zero-adjust sequence.
constexpr int kInit = 0;
constexpr int kFront0Adj = 12;
constexpr int kChannel0Adj = 32;
constexpr int kEnable0Adj = 35;
constexpr int kExec0Adj = 36;
constexpr int kCheckFin0Adj = 37;
constexpr int kScanAbort = 38;
constexpr int kExit = 41;
constexpr int kPollMs = 200;

std::atomic<bool> g_stop { false };
void OnInterrupt(int) { g_stop = true; }

struct ZeroOptions {
    CCliConnection Connection;
    std::string Model;
    std::string Settings;
    std::string Output;
};

std::string MirrorQuestion(int32_t model)
{
    if (model == kModelVx6208)
        return "Mirror measurement conditions to VX6208?";
    if (model == kModelVx6207A_1 || model == kModelVx6207A_2)
        return "Mirror measurement conditions to VX6207A?";
    return "Mirror measurement conditions to VX6207?";
}

bool RunCommands(CCommunicateMeasData& transfer, std::initializer_list<int> numbers, bool read)
{
    for (const int number : numbers) {
        auto command = transfer.CreateCommand(number);
        if (command == nullptr || !(read ? command->ReadSetting() : command->SendSetting()))
            return false;
    }
    return true;
}

// Polls until the adjustment ends: 0 done, 1 the instrument reported a failure, 2 stopped.
int WaitForEnd(CCommunicateMeasData& transfer)
{
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (g_stop)
            return 2;
        auto check = transfer.CreateCommand(kCheckFin0Adj);
        if (check->ReadSetting())
            return check->Status() != 0 ? 1 : 0;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::cerr << "\r0 adjusting... " << FormatC("%.1f", seconds) << " s" << std::flush;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
}

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
                std::cout << pins[channel].Name << " range " << slot << ": " << channels[channel].ZeroAdjValue[slot] << '\n';
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
    if (!prompt.AskYesNo(MirrorQuestion(model))) {
        prompt.ShowMessage("0 adjustment was not executed.");
        return kExitFailure;
    }
    // The conditions to mirror: a settings file, or what the instrument holds now.
    if (!options.Settings.empty()) {
        CFileManager manager(prompt);
        if (!manager.Load(options.Settings, model) || manager.Data.ModelCode != model) {
            prompt.ShowMessage("Failed to load settings.");
            return kExitFailure;
        }
        record = manager.Data;
    } else if (!transfer.ReadAll(record)) {
        prompt.ShowMessage("Failed to load settings.");
        return kExitFailure;
    }
    if (!transfer.WriteAll(record)) {
        prompt.ShowMessage(kFailedToSendSettings);
        return kExitFailure;
    }
    transfer.Working() = record;
    if (!RunCommands(transfer, { kInit, kEnable0Adj, kExec0Adj }, false)) {
        transfer.EndTransfer();
        prompt.ShowMessage("Failed to start 0ADJ.");
        return kExitFailure;
    }
    std::signal(SIGINT, OnInterrupt);
    const int end = WaitForEnd(transfer);
    std::cerr << '\n';
    if (end == 2) {
        if (record.MuxOn)
            (void)RunCommands(transfer, { kScanAbort }, false); // sends ":ABORt" and closes the link
        transfer.EndTransfer();
        std::cerr << "Stopped.\n";
        return kExitFailure;
    }
    transfer.EndTransfer();
    if (end == 1) {
        prompt.ShowMessage("Failed to complete 0ADJ.");
        return kExitFailure;
    }
    // Read the values the adjustment stored.
    transfer.Working() = record;
    if (!RunCommands(transfer, { kInit, record.MuxOn ? kChannel0Adj : kFront0Adj, kExit }, true)) {
        transfer.EndTransfer();
        prompt.ShowMessage("Failed to load settings.");
        return kExitFailure;
    }
    record = transfer.Working();
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

const CCliRegistration kZeroAdjust("zero-adjust", "Run the zero adjustment and read the values back",
    [](CLI::App& sub) -> CliRunner {
        auto options = std::make_shared<ZeroOptions>();
        options->Connection.AddOptions(sub);
        sub.add_option("--model", options->Model, "Model code or name (default: the configured model)");
        sub.add_option("--settings", options->Settings, "Conditions to mirror first (default: the instrument's own)");
        sub.add_option("-o,--output", options->Output, "Save the conditions with the new zero-adjust values here");
        return [options] { return RunZeroAdjust(*options); };
    });

} // namespace
