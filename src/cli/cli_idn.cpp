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
        if (const std::string cause = ConnectFaultText(link.LastFault, link.BaudRate, link.Interface == InterfaceKind::Lan);
            !cause.empty())
            std::cerr << cause << '\n';
        return kExitFailure;
    }
    std::string maker;
    std::string model;
    std::string serial;
    bool supported = false;
    const bool identified = Identify(link, maker, model, serial, supported);
    link.Close();
    if (!identified) {
        std::cerr << NotConnectedText(link) << '\n';
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
