#include "ui/vx_sample_app.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>
#include <iostream>
#include <memory>

#include "link/instrument_link.h"
#include "link/port_source.h"
#include "settings/model_info.h"
#include "sim/simulator.h"
#include "ui/meas_set_dlg.h"
#include "ui/single_instance.h"
#include "ui/vx_sample_dlg.h"
#include "uilogic/app_command_line.h"

namespace {

constexpr uint32_t kLoopback = 0x7F000001;

// The simulated meter starts with its comparator on and limits around its reading, so a first
// capture shows judgements (its noise crosses the upper limit now and then).
constexpr const char* kSimulatedComparator[] = { ":CALCulate:LIMit:STATe ON", ":CALCulate:LIMit:MODE ABS",
    ":CALCulate:LIMit:UPPer 1.23456E-3", ":CALCulate:LIMit:LOWer 1.2E-3" };

void PrepareSimulatedMeter(uint16_t port)
{
    CInstrumentLink panel; // the meter's own front panel, as it were
    panel.Interface = InterfaceKind::Lan;
    panel.IpAddress = kLoopback;
    panel.TcpPort = port;
    if (panel.Open()) {
        for (const char* line : kSimulatedComparator)
            (void)panel.SendCommand(line); // a refused line only leaves the comparator off
    }
    panel.Close();
}

// A translation "vx6207app_<language>.qm" beside the executable (a build) or in the installed data
// folder; none found leaves the English texts.
void InstallTranslation(QApplication& application, QTranslator& translator)
{
    const QString folder = QCoreApplication::applicationDirPath();
    for (const QString& where : { folder + QStringLiteral("/translations"),
             folder + QStringLiteral("/../share/vx6207app/translations") }) {
        if (translator.load(QLocale(), QStringLiteral("vx6207app"), QStringLiteral("_"), where)) {
            application.installTranslator(&translator);
            return;
        }
    }
}

} // namespace

int CVxSampleApp::Run(int argc, char** argv)
{
    QApplication application(argc, argv);
    QTranslator translator;
    InstallTranslation(application, translator);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    AppCommandLine commandLine;
    std::string error;
    if (!ParseAppCommandLine(arguments, commandLine, error)) {
        std::cerr << error << '\n' << kAppUsage << '\n';
        return 2;
    }
    // Shift held at start opens another window beside a running one.
    CSingleInstance instance;
    if (!(QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) && !instance.Acquire())
        return 0;

    CSettingData config;
    CInstrumentLink& link = InstrumentLink();
    MainWindowOptions options;
    options.Arguments = commandLine.Files;
    std::unique_ptr<CSimulator> simulator;
    if (commandLine.Simulate) {
        CSettingData configured = config;
        configured.Load();
        SimOptions simOptions;
        simOptions.Model = SimulatedModelName(commandLine, configured.ModelCode);
        simOptions.FrontCable = false;
        simulator = std::make_unique<CSimulator>(simOptions);
        if (!simulator->StartTcp(0)) {
            std::cerr << "Cannot start the simulator.\n";
            return 1;
        }
        PrepareSimulatedMeter(simulator->TcpPort());
        link.Interface = InterfaceKind::Lan;
        link.IpAddress = kLoopback;
        link.TcpPort = simulator->TcpPort();
        options.KeepLinkSettings = true;
        options.ModelForRun = ModelCodeOfName(simOptions.Model);
    }

    CQtUserPrompt prompt;
    CQtDialogRunner dialogs;
    CVxSampleDlg window(config, Process.Data, link, prompt, dialogs);
    prompt.SetParent(&window);
    window.SetMeasSetOpener(MeasSetOpener(Process.Data, link, prompt, dialogs));
    const std::unique_ptr<IPortSource> systemPorts = MakeSystemPortSource();
    // The configured port and the link's are listed even when the enumerator misses them (a
    // simulator's pseudo-terminal), so the port list and its search reach them.
    CNamedPortSource ports(*systemPorts, [&] {
        return std::vector<std::string> { window.Config().ComNo, link.ComPort };
    });
    window.show();
    window.activateWindow();
    window.Open(options, ports);
    (void)window.exec(); // ends when the window closes
    window.Teardown();
    link.Close();
    return 0;
}
