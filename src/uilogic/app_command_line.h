#pragma once

#include <string>
#include <vector>

// "vx6207-app [SETTINGS.vxf] [--simulate[=MODEL]]".
struct AppCommandLine {
    std::vector<std::string> Files; // the last one is the start-up settings file
    bool Simulate = false;
    std::string SimulatedModel; // empty: the configured model, else VX6207-02
};

inline constexpr const char* kAppUsage = "usage: vx6207-app [SETTINGS.vxf] [--simulate[=MODEL]]";

// False with the reason for an option the application does not know or an unknown model.
[[nodiscard]] bool ParseAppCommandLine(
    const std::vector<std::string>& arguments, AppCommandLine& parsed, std::string& error);

// The model the simulator plays: the one asked for, else the configured one, else VX6207-02.
[[nodiscard]] std::string SimulatedModelName(const AppCommandLine& parsed, int configuredModel);
