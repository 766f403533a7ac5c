// "write-settings": send a settings file to the instrument.
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

struct WriteOptions {
    CCliConnection Connection;
    std::string Input;
    std::string Model; // empty: the configured model
};

int RunWriteSettings(WriteOptions& options)
{
    int32_t model = 0;
    if (!options.Connection.ResolveModel(options.Model, model))
        return kExitUsage;
    IUserPrompt& prompt = options.Connection.Prompt();
    CFileManager manager(prompt);
    if (!LoadSettingsFileFor(manager, options.Input, model))
        return kExitFailure;
    CInstrumentLink& link = InstrumentLink();
    if (!options.Connection.Configure(link))
        return kExitUsage;
    CCommunicateMeasData transfer(prompt, link);
    if (!transfer.CheckModel(manager.Data, model))
        return kExitFailure;
    if (!transfer.WriteAll(manager.Data)) {
        prompt.ShowMessage(kFailedToSendSettings);
        return kExitFailure;
    }
    return kExitOk;
}

const CCliRegistration kWriteSettings(
    "write-settings", "Send a settings file to the instrument", [](CLI::App& sub) -> CliRunner {
        auto options = std::make_shared<WriteOptions>();
        options->Connection.AddOptions(sub);
        sub.add_option("file", options->Input, "Settings file to send")->required()->check(CLI::ExistingFile);
        sub.add_option("--model", options->Model, "Model code the instrument must be (default: the configured model)");
        return [options] { return RunWriteSettings(*options); };
    });

} // namespace
