// "check": connect, identify and disconnect; prints the connected model's code and name.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/cli_registry.h"
#include "commands/communicate_meas_data.h"
#include "link/instrument_link.h"
#include "settings/model_info.h"

namespace {

int RunCheck(CCliConnection& connection)
{
    CInstrumentLink& link = InstrumentLink();
    if (!connection.Configure(link))
        return kExitUsage;
    MeasSetData record;
    bool connected = false;
    {
        CCommunicateMeasData transfer(connection.Prompt(), link);
        connected = transfer.CheckConnection(record); // the connect sequence shows its own messages
    }
    link.Close();
    if (!connected)
        return kExitFailure;
    std::cout << record.ModelCode << ' ' << ModelNameOfCode(record.ModelCode) << '\n';
    return kExitOk;
}

const CCliRegistration kCheck("check", "Connect to the instrument and print its model code and name",
    [](CLI::App& sub) -> CliRunner {
        auto connection = std::make_shared<CCliConnection>();
        connection->AddOptions(sub);
        return [connection] { return RunCheck(*connection); };
    });

} // namespace
