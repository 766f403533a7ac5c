// "read-settings": read the instrument's measurement settings into a settings file.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/cli_registry.h"
#include "commands/communicate_meas_data.h"
#include "link/instrument_link.h"
#include "settings/file_manager.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"
#include "settings/setting_data.h"

namespace {

constexpr const char* kFailedToLoadSettings = "Failed to load settings.";

struct ReadOptions {
    CCliConnection Connection;
    std::string Output;
    std::string Model; // empty: the configured model
};

int RunReadSettings(ReadOptions& options)
{
    int32_t model = 0;
    if (!options.Connection.ResolveModel(options.Model, model))
        return kExitUsage;
    CInstrumentLink& link = InstrumentLink();
    if (!options.Connection.Configure(link))
        return kExitUsage;
    IUserPrompt& prompt = options.Connection.Prompt();
    CFileManager manager(prompt);
    InitMeasSetData(manager.Data, model);
    manager.Data.ModelCode = model;
    {
        CCommunicateMeasData transfer(prompt, link);
        if (!transfer.CheckModel(manager.Data, model))
            return kExitFailure;
        if (!transfer.ReadAll(manager.Data)) {
            prompt.ShowMessage(kFailedToLoadSettings);
            return kExitFailure;
        }
    }
    if (!manager.Save(options.Output)) {
        prompt.ShowMessage(kFailedToSaveSettings);
        return kExitFailure;
    }
    return kExitOk;
}

const CCliRegistration kReadSettings("read-settings", "Read the instrument's measurement settings into a settings file",
    [](CLI::App& sub) -> CliRunner {
        auto options = std::make_shared<ReadOptions>();
        options->Connection.AddOptions(sub);
        sub.add_option("-o,--output", options->Output, "Settings file to write")->required();
        sub.add_option("--model", options->Model, "Model code the instrument must be (default: the configured model)");
        return [options] { return RunReadSettings(*options); };
    });

} // namespace
