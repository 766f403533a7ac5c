#include "uilogic/app_command_line.h"

#include "settings/model_info.h"

namespace {

constexpr const char* kSimulateOption = "--simulate";
constexpr const char* kDefaultSimulatedModel = "VX6207-02";

} // namespace

bool ParseAppCommandLine(const std::vector<std::string>& arguments, AppCommandLine& parsed, std::string& error)
{
    parsed = {};
    const std::string prefix = std::string(kSimulateOption) + "=";
    for (const std::string& argument : arguments) {
        if (argument == kSimulateOption) {
            parsed.Simulate = true;
        } else if (argument.rfind(prefix, 0) == 0) {
            parsed.Simulate = true;
            parsed.SimulatedModel = argument.substr(prefix.size());
            if (ModelCodeOfName(parsed.SimulatedModel) == 0) {
                error = "Unknown model: " + parsed.SimulatedModel;
                return false;
            }
        } else if (argument.rfind("--", 0) == 0) {
            error = "Unknown option: " + argument;
            return false;
        } else {
            parsed.Files.push_back(argument);
        }
    }
    return true;
}

std::string SimulatedModelName(const AppCommandLine& parsed, int configuredModel)
{
    if (!parsed.SimulatedModel.empty())
        return parsed.SimulatedModel;
    const std::string configured = configuredModel != 0 ? ModelNameOfCode(configuredModel) : std::string();
    return configured.empty() ? kDefaultSimulatedModel : configured;
}
