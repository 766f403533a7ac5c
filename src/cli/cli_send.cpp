// "send TEXT": send one command line and print the reply.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/cli_registry.h"
#include "link/instrument_link.h"

namespace {

struct SendOptions {
    std::string Text;
    int TimeoutMs = 1000;
    bool NoReply = false;
};

int RunSend(CCliConnection& connection, const SendOptions& options)
{
    CInstrumentLink& link = InstrumentLink();
    if (!connection.Configure(link))
        return kExitUsage;
    if (!link.Open()) {
        std::cerr << "Failed to open interface.\n";
        return kExitFailure;
    }
    if (!link.SendCommand(options.Text)) {
        link.Close();
        std::cerr << "Communication error.\n";
        return kExitFailure;
    }
    if (options.NoReply) {
        link.Close();
        return kExitOk;
    }
    bool timedOut = false;
    const std::string reply = link.ReceiveReply(timedOut, options.TimeoutMs);
    link.Close();
    if (timedOut) {
        std::cout << "(no reply)\n";
        return kExitFailure;
    }
    std::cout << reply << '\n';
    return kExitOk;
}

const CCliRegistration kSend("send", "Send one command line and print the reply", [](CLI::App& sub) -> CliRunner {
    auto connection = std::make_shared<CCliConnection>();
    auto options = std::make_shared<SendOptions>();
    connection->AddOptions(sub);
    sub.add_option("text", options->Text, "The command, without line end (e.g. \"*idn?\")")->required();
    sub.add_option("--timeout-ms", options->TimeoutMs, "How long to wait for the reply")->check(CLI::Range(1, 600000));
    sub.add_flag("--no-reply", options->NoReply, "Do not wait for a reply (for setting commands)");
    return [connection, options] { return RunSend(*connection, *options); };
});

} // namespace
