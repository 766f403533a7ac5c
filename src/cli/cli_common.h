#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "settings/user_prompt.h"

class CInstrumentLink;
class CSettingData;
class CSimulator;

// The operator's side of the command line: messages go to stderr; questions are answered by
// --yes (yes/OK) or, without it, from standard input when it is a terminal, else no.
class CStderrPrompt final : public IUserPrompt {
public:
    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    bool AskOkCancel(const std::string& text) override;

    bool AssumeYes = false;
};

// Connection options every instrument subcommand takes: --port NAME [--baud N], --lan HOST[:PORT]
// or --simulate[=MODEL], plus --config FILE and --yes.
class CCliConnection {
public:
    CCliConnection();
    ~CCliConnection();
    CCliConnection(const CCliConnection&) = delete;
    CCliConnection& operator=(const CCliConnection&) = delete;

    void AddOptions(CLI::App& app);

    // Configures the link from the options (starting the in-process simulator for --simulate).
    // Prints the reason to stderr and returns false when the options cannot be honoured.
    [[nodiscard]] bool Configure(CInstrumentLink& link);

    // Loads the configuration: the --config file, else the application's own.
    void LoadConfig(CSettingData& config) const;
    // The model to work with: `option` (a code such as 10 or a name such as VX6207-02), else the
    // simulated model, else the configured one. False (and a message) for an unknown model.
    [[nodiscard]] bool ResolveModel(const std::string& option, int32_t& model) const;
    // As ResolveModel, but with no model given anywhere the instrument is asked which it is.
    // 0 success, else the exit status (usage error for an unknown model, failure when the
    // instrument cannot be identified).
    [[nodiscard]] int ResolveModelOrIdentify(const std::string& option, CInstrumentLink& link, int32_t& model) const;
    IUserPrompt& Prompt() { return m_prompt; }
    // The model the simulator plays, empty without --simulate.
    const std::string& SimulatedModel() const { return m_simulate; }

private:
    std::string m_port;
    uint32_t m_baud = 9600;
    std::string m_lan;
    std::string m_simulate;
    std::string m_config;
    CStderrPrompt m_prompt;
    CLI::Option* m_simulateOption = nullptr;
    std::unique_ptr<CSimulator> m_simulator;
};

// A model given as its code (10) or its name (VX6207-02); code 0 (no model) passes too. False for
// anything else.
[[nodiscard]] bool ParseModel(const std::string& text, int32_t& code);

// Parses "HOST[:PORT]" (HOST a dotted IPv4 address or "localhost"); the port defaults to 23.
[[nodiscard]] bool ParseLanAddress(const std::string& text, uint32_t& address, int& port);

class CFileManager;

// Loads a settings file for the model in use. A file that cannot be read says "Failed to load
// settings." with the file and the reason; a file whose model (after the family rule) is another
// one, an empty file among them (model 0), says that the models differ. Either way it is refused.
[[nodiscard]] bool LoadSettingsFileFor(CFileManager& manager, const std::string& path, int32_t model);
