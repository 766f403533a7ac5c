#include "cli/cli_common.h"

#include <iostream>
#include <set>
#include <unistd.h>

#include "cli/cli_registry.h"
#include "link/identification.h"
#include "link/instrument_link.h"
#include "link/os_channel.h"
#include "settings/file_manager.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"
#include "settings/setting_data.h"
#include "sim/simulator.h"

namespace {

constexpr int kDefaultLanPort = 23;
constexpr const char* kDefaultSimulatedModel = "VX6207-02";

bool AskOnTerminal(const std::string& text, bool assumeYes)
{
    std::cerr << text << '\n';
    if (assumeYes)
        return true;
    if (isatty(STDIN_FILENO) == 0)
        return false;
    std::cerr << "[y/N] " << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

} // namespace

void CStderrPrompt::ShowMessage(const std::string& text)
{
    std::cerr << text << '\n';
}
bool CStderrPrompt::AskYesNo(const std::string& text)
{
    return AskOnTerminal(text, AssumeYes);
}
bool CStderrPrompt::AskOkCancel(const std::string& text)
{
    return AskOnTerminal(text, AssumeYes);
}

bool ParseModel(const std::string& text, int32_t& code)
{
    int32_t number = 0;
    if (ParseInt32C(text, number) && (number == 0 || !ModelNameOfCode(number).empty())) {
        code = number;
        return true;
    }
    code = ModelCodeOfName(text);
    return code != 0;
}

bool ParseLanAddress(const std::string& text, uint32_t& address, int& port)
{
    std::string host = text;
    port = kDefaultLanPort;
    const size_t colon = text.rfind(':');
    if (colon != std::string::npos) {
        host = text.substr(0, colon);
        int32_t parsed = 0;
        if (!ParseInt32C(text.substr(colon + 1), parsed) || parsed < 1 || parsed > 65535)
            return false;
        port = parsed;
    }
    if (host == "localhost")
        host = "127.0.0.1";
    return os_channel::ParseIpv4(host, address);
}

CCliConnection::CCliConnection() = default;
CCliConnection::~CCliConnection() = default;

void CCliConnection::AddOptions(CLI::App& app)
{
    auto* port = app.add_option("--port", m_port, "Serial port to the instrument (e.g. /dev/ttyUSB0)");
    app.add_option("--baud", m_baud, "Baud rate of the serial port")
        ->check(CLI::IsMember({ 9600, 19200, 38400, 115200 }));
    auto* lan = app.add_option("--lan", m_lan, "LAN address of the instrument, HOST[:PORT] (port 23 by default)");
    auto* simulate = app.add_option("--simulate", m_simulate,
                            "Start the built-in simulator (of MODEL, VX6207-02 by default) and use it")
                         ->expected(0, 1);
    m_simulateOption = simulate;
    port->excludes(lan)->excludes(simulate);
    lan->excludes(simulate);
    app.add_option("--config", m_config, "Configuration file (Vx6207App.ini layout)")
        ->check(CLI::Validator(
            [](std::string& path) {
                std::string problem;
                return CSettingData::CheckFile(path, problem) ? std::string() : problem;
            },
            "FILE", "configuration file"));
    app.add_flag("--yes,-y", m_prompt.AssumeYes, "Answer yes to every question");
}

bool CCliConnection::Configure(CInstrumentLink& link)
{
    if (m_simulateOption != nullptr && m_simulateOption->count() > 0) {
        if (m_simulate.empty())
            m_simulate = kDefaultSimulatedModel;
        SimOptions options;
        options.Model = m_simulate;
        m_simulator = std::make_unique<CSimulator>(options);
        if (!m_simulator->StartTcp(0)) {
            std::cerr << "Cannot start the simulator.\n";
            return false;
        }
        link.Interface = InterfaceKind::Lan;
        link.IpAddress = 0x7F000001;
        link.TcpPort = m_simulator->TcpPort();
        return true;
    }
    if (!m_lan.empty()) {
        uint32_t address = 0;
        int port = 0;
        if (!ParseLanAddress(m_lan, address, port)) {
            std::cerr << "Not a LAN address: " << m_lan << '\n';
            return false;
        }
        link.Interface = InterfaceKind::Lan;
        link.IpAddress = address;
        link.TcpPort = port;
        return true;
    }
    if (m_port.empty()) {
        std::cerr << "Name the instrument with --port NAME, --lan HOST[:PORT] or --simulate.\n";
        return false;
    }
    link.Interface = InterfaceKind::Com;
    // The named port is used whether or not the system lists it (pseudo-terminals are not listed).
    CFixedPortSource source({ { m_port, m_port, "" } });
    EnumeratePorts(link, source, m_port);
    link.BaudRate = m_baud;
    return true;
}

void CCliConnection::LoadConfig(CSettingData& config) const
{
    if (!m_config.empty())
        config.IniFile = m_config;
    config.Load();
    // The fallbacks stand; the operator hears of each key once a run, however often it is loaded.
    static std::set<std::string> warned;
    for (const auto& [key, warning] : config.LoadWarnings) {
        if (warned.insert(key).second)
            std::cerr << warning << '\n';
    }
}

bool CCliConnection::ResolveModel(const std::string& option, int32_t& model) const
{
    const std::string text = !option.empty() ? option : m_simulate;
    if (text.empty()) {
        CSettingData config;
        LoadConfig(config);
        model = config.ModelCode;
    } else if (!ParseModel(text, model)) {
        model = 0;
    }
    if (model == 0 || ModelNameOfCode(model).empty()) {
        std::cerr << "Unknown or unset model" << (text.empty() ? "" : ": " + text) << " (give --model CODE or NAME).\n";
        return false;
    }
    return true;
}

int CCliConnection::ResolveModelOrIdentify(const std::string& option, CInstrumentLink& link, int32_t& model) const
{
    CSettingData config;
    LoadConfig(config);
    if (!option.empty() || !m_simulate.empty() || config.ModelCode != 0)
        return ResolveModel(option, model) ? 0 : kExitUsage;
    std::string maker;
    std::string name;
    std::string serial;
    bool supported = false;
    const bool identified = link.Open() && Identify(link, maker, name, serial, supported);
    link.Close();
    model = identified ? ModelCodeOfName(name) : 0;
    if (model == 0) {
        std::cerr << (identified ? std::string("VX620x is not connected. (give --model CODE or NAME)")
                                 : WithConnectCause("No response. (give --model CODE or NAME)", link))
                  << '\n';
        return kExitFailure;
    }
    return 0;
}

bool LoadSettingsFileFor(CFileManager& manager, const std::string& path, int32_t model)
{
    if (!manager.Load(path, model)) {
        std::cerr << "Failed to load settings.\n" << path << ": " << manager.Problem << '\n';
        return false;
    }
    if (manager.Data.ModelCode != model) {
        std::cerr << "The model setting and the model of the setting file are different.\n"
                  << path << ": "
                  << (manager.Data.ModelCode == 0 ? std::string("the file names no model")
                                                  : "a file of the " + ModelNameOfCode(manager.Data.ModelCode))
                  << '\n';
        return false;
    }
    return true;
}
