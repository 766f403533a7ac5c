// "ports [--search]": the serial ports of the machine, and after a search the instrument found on each.
#include <cstdio>
#include <iostream>

#include "cli/cli_common.h"
#include "cli/cli_registry.h"
#include "link/identification.h"
#include "link/instrument_link.h"

namespace {

struct PortsOptions {
    bool Search = false;
    std::vector<std::string> Include;
};

int RunPorts(const PortsOptions& options)
{
    CInstrumentLink& link = InstrumentLink();
    auto system = MakeSystemPortSource();
    std::vector<PortInfo> ports = system->ListPorts();
    for (const std::string& path : options.Include)
        ports.push_back({ path, path, "" });
    CFixedPortSource source(ports);
    EnumeratePorts(link, source, link.ComPort);
    if (options.Search) {
        std::cerr << "Searching " << link.PortTable.Size() << " port(s)...\n";
        SearchAllPorts(link);
        link.SearchDone = 1;
    }
    const PortTableData& table = link.PortTable;
    if (table.Size() == 0) {
        std::cout << "(no serial ports)\n";
        return kExitOk;
    }
    for (size_t i = 0; i < table.Size(); ++i) {
        std::cout << table.PortNames[i] << '\t' << table.FriendlyNames[i];
        if (options.Search) {
            std::cout << '\t' << table.Labels[i] << '\t' << table.BaudRates[i];
            if (const std::string cause = ConnectFaultText(table.Faults[i], 0, false); !cause.empty())
                std::cout << '\t' << cause;
        }
        std::cout << '\n';
    }
    return kExitOk;
}

const CCliRegistration kPorts("ports", "List the serial ports (--search probes each for an instrument)",
    [](CLI::App& sub) -> CliRunner {
        auto options = std::make_shared<PortsOptions>();
        sub.add_flag("--search", options->Search, "Probe every port at 9600, 19200, 38400 and 115200 baud");
        sub.add_option("--include", options->Include, "Also list this device (e.g. a pseudo-terminal)");
        return [options] { return RunPorts(*options); };
    });

} // namespace
