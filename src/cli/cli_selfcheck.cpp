// "selfcheck": the instrument's self-test.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/cli_registry.h"
#include "host/headless_host.h"
#include "host/meas_controller.h"
#include "host/self_check.h"
#include "link/instrument_link.h"
#include "settings/model_info.h"

namespace {

class CCapturingPrompt final : public IUserPrompt {
public:
    explicit CCapturingPrompt(IUserPrompt& inner)
        : m_inner(inner)
    {
    }
    void ShowMessage(const std::string& text) override
    {
        Last = text;
        std::cout << text << (text.empty() || text.back() != '\n' ? "\n" : "");
    }
    bool AskYesNo(const std::string& text) override { return m_inner.AskYesNo(text); }
    bool AskOkCancel(const std::string& text) override { return m_inner.AskOkCancel(text); }
    std::string Last;

private:
    IUserPrompt& m_inner;
};

int RunSelfCheckCommand(CCliConnection& connection, const std::string& modelOption)
{
    CInstrumentLink& link = InstrumentLink();
    if (!connection.Configure(link))
        return kExitUsage;
    CSettingData config;
    connection.LoadConfig(config);
    if (const int status = connection.ResolveModelOrIdentify(modelOption, link, config.ModelCode); status != 0)
        return status;
    MeasSetData data;
    InitMeasSetData(data, config.ModelCode);
    data.ModelCode = config.ModelCode;
    CCapturingPrompt prompt(connection.Prompt());
    CHeadlessHost host;
    IDisplaySink sink;
    CMeasController controller(config, data, link, prompt, sink, host, host);
    if (!RunSelfCheck(controller, link, data, prompt))
        return kExitFailure;
    return prompt.Last.rfind("Self check result : PASS", 0) == 0 ? kExitOk : kExitFailure;
}

const CCliRegistration kSelfCheck("selfcheck", "Run the instrument's self-check (*TST?)", [](CLI::App& sub) -> CliRunner {
    auto connection = std::make_shared<CCliConnection>();
    auto model = std::make_shared<std::string>();
    connection->AddOptions(sub);
    sub.add_option("--model", *model, "Model code or name; without it the configured model, else the instrument's own");
    return [connection, model] { return RunSelfCheckCommand(*connection, *model); };
});

} // namespace
