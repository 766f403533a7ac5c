// "defaults" and "resave": settings files without an instrument.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/cli_registry.h"
#include "settings/file_manager.h"
#include "settings/setting_data.h"

namespace {

struct FileOptions {
    std::string Model;
    std::string Input;
    std::string Output;
};

// The model of --model, or a usage message and false.
bool ModelOption(const FileOptions& options, int32_t& model)
{
    if (ParseModel(options.Model, model))
        return true;
    std::cerr << "Unknown model: " << options.Model << '\n';
    return false;
}

int RunDefaults(const FileOptions& options)
{
    int32_t model = 0;
    if (!ModelOption(options, model))
        return kExitUsage;
    CStderrPrompt prompt;
    CFileManager manager(prompt);
    InitMeasSetData(manager.Data, model);
    manager.Data.ModelCode = model;
    if (!manager.Save(options.Output)) {
        std::cerr << kFailedToSaveSettings << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

int RunResave(const FileOptions& options)
{
    int32_t model = 0;
    if (!ModelOption(options, model))
        return kExitUsage;
    CStderrPrompt prompt;
    CFileManager manager(prompt);
    if (!LoadSettingsFileFor(manager, options.Input, model))
        return kExitFailure;
    if (!manager.Save(options.Output)) {
        std::cerr << kFailedToSaveSettings << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

const CCliRegistration kDefaults(
    "defaults", "Write the default settings of a model to a settings file", [](CLI::App& sub) -> CliRunner {
        auto options = std::make_shared<FileOptions>();
        sub.add_option("--model", options->Model, "Model code or name (e.g. 10 or VX6207-02)")->required();
        sub.add_option("-o,--output", options->Output, "Settings file to write")->required();
        return [options] { return RunDefaults(*options); };
    });

const CCliRegistration kResave(
    "resave", "Load a settings file for a model and save what was loaded", [](CLI::App& sub) -> CliRunner {
        auto options = std::make_shared<FileOptions>();
        sub.add_option("input", options->Input, "Settings file to load")->required();
        sub.add_option("-o,--output", options->Output, "Settings file to write")->required();
        sub.add_option("--model", options->Model, "The current model, code or name")->required();
        return [options] { return RunResave(*options); };
    });

} // namespace
