// "version": the same text as --version, as a subcommand so scripts can ask for it uniformly.
#include <iostream>

#include "cli/cli_registry.h"

namespace {

const CCliRegistration kVersion("version", "Print the program version", [](CLI::App&) -> CliRunner {
    return [] {
        std::cout << "vx6207-cli " << VX_VERSION << '\n';
        return kExitOk;
    };
});

} // namespace
