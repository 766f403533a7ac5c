// vx6207-cli: the headless front end of the application. Each subcommand is registered by its own
// source file (cli_*.cpp); this file only builds the command line and dispatches.
#include <algorithm>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli/cli_registry.h"

#ifndef VX_VERSION
#define VX_VERSION "0.0.0"
#endif

std::vector<CliCommand>& CliCommands()
{
    static std::vector<CliCommand> commands;
    return commands;
}

namespace {

// The connection options belong to the subcommands, but "vx6207-cli --simulate idn" reads as
// naturally as "vx6207-cli idn --simulate": options written before the subcommand move behind it.
void MoveLeadingOptions(std::vector<std::string>& arguments, const std::vector<CliCommand>& commands)
{
    if (arguments.empty() || arguments.front().rfind("--", 0) != 0)
        return;
    const auto isCommand = [&commands](const std::string& text) {
        return std::any_of(commands.begin(), commands.end(), [&text](const CliCommand& c) { return c.Name == text; });
    };
    const auto command = std::find_if(arguments.begin(), arguments.end(), isCommand);
    if (command != arguments.end())
        std::rotate(arguments.begin(), command, command + 1);
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app { "VX6207 resistance meter companion (command line)", "vx6207-cli" };
    app.set_version_flag("--version", std::string("vx6207-cli ") + VX_VERSION);
    app.require_subcommand(1);

    auto& commands = CliCommands();
    std::sort(commands.begin(), commands.end(), [](const CliCommand& a, const CliCommand& b) { return a.Name < b.Name; });
    std::map<CLI::App*, CliRunner> runners;
    for (const CliCommand& command : commands) {
        CLI::App* sub = app.add_subcommand(command.Name, command.Help);
        runners[sub] = command.Setup(*sub);
    }

    // "--simulate" may stand without its model; give it the default one here so that the option
    // never takes the next argument (a command text, say) for its value.
    std::vector<std::string> given;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        given.push_back(argument == "--simulate" ? "--simulate=VX6207-02" : argument);
    }
    MoveLeadingOptions(given, commands);
    // CLI11 takes the arguments in reverse order.
    std::vector<std::string> arguments(given.rbegin(), given.rend());

    try {
        app.parse(arguments);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? kExitOk : kExitUsage;
    }

    for (const auto& [sub, runner] : runners) {
        if (sub->parsed())
            return runner();
    }
    return kExitUsage;
}
