#pragma once

#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

// Exit statuses of every subcommand.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// A subcommand adds its options to the CLI11 subcommand it is given and returns the function that
// runs it once the command line has been parsed. Each subcommand lives in its own cli_*.cpp file
// and registers itself with a static CCliRegistration.
using CliRunner = std::function<int()>;
using CliSetup = std::function<CliRunner(CLI::App& sub)>;

struct CliCommand {
    std::string Name;
    std::string Help;
    CliSetup Setup;
};

std::vector<CliCommand>& CliCommands();

struct CCliRegistration {
    CCliRegistration(std::string name, std::string help, CliSetup setup)
    {
        CliCommands().push_back({ std::move(name), std::move(help), std::move(setup) });
    }
};
