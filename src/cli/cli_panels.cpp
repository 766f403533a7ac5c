// "panels" and "panel-save": the instrument's stored panels.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/cli_registry.h"
#include "host/panel_names.h"
#include "link/instrument_link.h"
#include "settings/model_info.h"
#include "settings/setting_data.h"

namespace {

struct PanelOptions {
    std::string Model;
    bool Mux = false;
    int Panel = 0;
    std::string Name;
};

// The model: --model, else the simulator's, else the configuration's.
int32_t ModelOf(CCliConnection& connection, const PanelOptions& options)
{
    const std::string name = !options.Model.empty() ? options.Model : connection.SimulatedModel();
    int32_t code = 0;
    if (!name.empty())
        return ParseModel(name, code) ? code : 0; // a code or a name, as every other command takes
    CSettingData config;
    connection.LoadConfig(config);
    return config.ModelCode;
}

int RunPanels(CCliConnection& connection, const PanelOptions& options)
{
    CInstrumentLink& link = InstrumentLink();
    const int32_t model = ModelOf(connection, options);
    if (!connection.Configure(link) || model == 0) {
        std::cerr << (model == 0 ? "Set the model with --model CODE or NAME.\n" : "");
        return kExitUsage;
    }
    PanelNames panels;
    if (!ReadPanelNames(link, model, options.Mux, panels, connection.Prompt()))
        return kExitFailure;
    const int count = options.Mux ? kAllPanels : kFrontPanels;
    for (int index = 0; index < count; ++index) {
        const auto entry = static_cast<size_t>(index);
        std::cout << index + 1 << '\t' << (panels.Used[entry] ? "Saved" : "-") << '\t' << panels.Names[entry] << '\n';
    }
    return kExitOk;
}

int RunPanelSave(CCliConnection& connection, const PanelOptions& options)
{
    const std::string refusal = CheckPanelName(options.Name);
    if (!refusal.empty()) {
        std::cerr << refusal << '\n';
        return kExitUsage;
    }
    CInstrumentLink& link = InstrumentLink();
    if (!connection.Configure(link))
        return kExitUsage;
    if (!SavePanel(link, options.Panel, options.Name, connection.Prompt())) {
        if (!link.IsOpen)
            std::cerr << "Failed to open interface.\n";
        return kExitFailure;
    }
    std::cout << "Saved the present conditions in panel " << options.Panel << " as " << options.Name << '\n';
    return kExitOk;
}

const CCliRegistration kPanels("panels", "List the names of the instrument's panels", [](CLI::App& sub) -> CliRunner {
    auto connection = std::make_shared<CCliConnection>();
    auto options = std::make_shared<PanelOptions>();
    connection->AddOptions(sub);
    sub.add_option("--model", options->Model, "Model code or name when the configuration has none");
    sub.add_flag("--mux", options->Mux, "Also list the MUX panels 31 to 38");
    return [connection, options] { return RunPanels(*connection, *options); };
});

const CCliRegistration kPanelSave("panel-save", "Save the instrument's present conditions into a panel",
    [](CLI::App& sub) -> CliRunner {
        auto connection = std::make_shared<CCliConnection>();
        auto options = std::make_shared<PanelOptions>();
        connection->AddOptions(sub);
        sub.add_option("--panel", options->Panel, "Panel number: 1 to 30 (front), 31 to 38 (MUX)")
            ->required()
            ->check(CLI::Range(1, 38));
        sub.add_option("--name", options->Name, "Panel name: up to 10 of 0-9, A-Z, a-z and _")->required();
        return [connection, options] { return RunPanelSave(*connection, *options); };
    });

} // namespace
