// "idn": identify the connected instrument.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/cli_registry.h"
#include "link/identification.h"
#include "link/instrument_link.h"
#include "settings/model_info.h"

namespace {

int RunIdn(CCliConnection& connection)
{
    CInstrumentLink& link = InstrumentLink();
    if (!connection.Configure(link))
        return kExitUsage;
    if (!link.Open()) {
        std::cerr << "Failed to open interface.\n";
        return kExitFailure;
    }
    std::string maker;
    std::string model;
    std::string serial;
    bool supported = false;
    const bool identified = Identify(link, maker, model, serial, supported);
    link.Close();
    if (!identified) {
        std::cerr << "VX620x is not connected.\n";
        return kExitFailure;
    }
    std::cout << "Maker: " << maker << "\nModel: " << model << " (code " << ModelCodeOfName(model) << ")"
              << "\nSerial No.: " << serial << '\n';
    if (!supported) {
        std::cerr << "The model is not supported.\n";
        return kExitFailure;
    }
    return kExitOk;
}

const CCliRegistration kIdn("idn", "Identify the instrument (*idn?)", [](CLI::App& sub) -> CliRunner {
    auto connection = std::make_shared<CCliConnection>();
    connection->AddOptions(sub);
    return [connection] { return RunIdn(*connection); };
});

} // namespace
