#pragma once

#include <string>

#include "sim/simulator.h"
#include "sim_client.h"

// A simulator serving loopback TCP and one client connected to it.
struct SSimOverTcp {
    explicit SSimOverTcp(SimOptions options = {})
        : Sim(std::move(options))
    {
        Started = Sim.StartTcp() && Client.ConnectTcp(Sim.TcpPort());
    }

    CSimulator Sim;
    CSimClient Client;
    bool Started = false;
};

inline SimOptions ModelOptions(const std::string& model)
{
    SimOptions options;
    options.Model = model;
    return options;
}
