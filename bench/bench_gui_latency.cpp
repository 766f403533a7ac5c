// The main window stays responsive while it measures: the window runs offscreen with the live view
// shown and an interval-0 scan of all 42 MUX channels against the in-process simulator, while a
// 1 ms timer measures how late the event loop serves it. Also the time from start to a shown
// window. Usage: bench_gui_latency [SCANS]. Prints figures; never asserts on time.
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "host/startup_settings.h"
#include "link/instrument_link.h"
#include "link/port_source.h"
#include "settings/model_info.h"
#include "sim/simulator.h"
#include "ui/live_view.h"
#include "ui/vx_sample_dlg.h"

namespace {

class CQuietPrompt final : public IUserPrompt {
public:
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
    bool AskYesNo(const std::string&) override { return true; }
    bool AskOkCancel(const std::string&) override { return true; }
};

class CNoDialogs final : public IDialogRunner {
public:
    int Run(QDialog&) override { return QDialog::Rejected; }
    bool ChooseResultFile(QWidget*, const QString&, QString&) override { return false; }
};

double Percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<size_t>(share * static_cast<double>(values.size() - 1));
    return values[index];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer startup;
    startup.start();
    QApplication app(argc, argv);
    const int scans = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

    SimOptions sim;
    sim.Model = "VX6207-02";
    sim.FrontCable = false;
    sim.MuxScanMode = "AUTO";
    sim.MuxSelect = 1;
    sim.DefaultResistance = 1.0;
    for (int channel = 1; channel <= 42; ++channel) {
        sim.MuxChannels.push_back(channel);
        sim.ChannelLimits[channel] = { 0.5, 1.5 };
    }
    sim.ChannelResistance[4] = 1.7;
    CSimulator simulator(sim);
    if (!simulator.StartTcp(0)) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    QTemporaryDir folder;
    CQuietPrompt prompt;
    CNoDialogs dialogs;
    CSettingData config(folder.path().toStdString());
    config.ModelCode = ModelCodeOfName(sim.Model);
    config.FileDir = folder.path().toStdString();
    config.LogType = 2;
    config.LogInterval = 0;
    config.LogLimit = scans;
    if (!config.Save(prompt) || !config.SaveWindowKeys(prompt))
        return 1;
    CInstrumentLink link;
    link.Interface = InterfaceKind::Lan;
    link.IpAddress = 0x7F000001;
    link.TcpPort = simulator.TcpPort();
    MeasSetData data;
    InitMeasSetData(data, 0);
    CVxSampleDlg window(CSettingData(folder.path().toStdString()), data, link, prompt, dialogs);
    MainWindowOptions options;
    options.KeepLinkSettings = true;
    CFixedPortSource ports({});
    window.show();
    window.Open(options, ports);
    QCoreApplication::processEvents();
    const double startupMs = static_cast<double>(startup.nsecsElapsed()) / 1e6;

    std::vector<double> lateness;
    QElapsedTimer clock;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        lateness.push_back(std::max(0.0, ms - 1.0));
        clock.restart();
    });
    QElapsedTimer run;
    run.start();
    QMetaObject::invokeMethod(
        &window, [&] { static_cast<QPushButton*>(window.Control(1006))->click(); }, Qt::QueuedConnection);
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!tick.isActive() && window.Controller().WorkerExists()) {
            clock.start();
            tick.start();
        } else if (tick.isActive() && !window.Controller().WorkerExists()) {
            app.quit();
        } else if (run.elapsed() > 600000) {
            std::fprintf(stderr, "the run did not end\n");
            app.exit(1);
        }
    });
    watch.start();
    const int status = app.exec();
    tick.stop();
    const int readings = window.RowsShown() * 42;
    const double seconds = static_cast<double>(run.elapsed()) / 1000.0;
    std::printf("scans %d readings %d in %.2f s (%.0f readings/s)\n", window.RowsShown(), readings, seconds,
        static_cast<double>(readings) / seconds);
    std::printf("timer samples %zu  p50 %.3f ms  p99 %.3f ms  max %.3f ms late\n", lateness.size(),
        Percentile(lateness, 0.5), Percentile(lateness, 0.99), Percentile(lateness, 1.0));
    std::printf("event_p99_ms %.3f startup_ms %.1f\n", Percentile(lateness, 0.99), startupMs);
    return status;
}
