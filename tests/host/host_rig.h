#pragma once

// An acquisition without a window against the in-process simulator: the controller, the headless
// message loop, a recording prompt and a display sink that keeps what was shown.

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "host/headless_host.h"
#include "host/meas_controller.h"
#include "link/instrument_link.h"
#include "settings/meas_set_data.h"
#include "settings/model_info.h"
#include "sim/simulator.h"
#include "temp_folder.h"

class CRecordingSink final : public IDisplaySink {
public:
    void ShowValueTitle(const std::string& title) override { Titles.push_back(title); }
    void ShowValue(const std::string& value) override { Value = value; }
    void ShowComp(const std::string& judge, int32_t colour) override
    {
        Comp = judge;
        CompColour = colour;
    }
    void ShowTotal(const std::string& judge, int32_t) override { Total = judge; }
    void ShowCurrentChannel(const std::string& name) override { CurrentChannel = name; }
    void ShowSerial(const std::string& serial) override { Serial = serial; }
    void SetStepRow(int row, const std::string& value, const std::string&, const std::string& judge, uint8_t colour) override
    {
        StepRows.push_back(std::to_string(row) + ":" + value + ":" + judge + ":" + std::to_string(colour));
    }
    void ScrollToStepRow(int row) override { Scrolled.push_back(row); }
    void SetIdle(bool idle, bool) override { Idle = idle; }
    void RowRecorded(int number, const StepArrays&, int, const std::string&, const std::string&) override
    {
        Recorded.push_back(number);
    }

    std::vector<std::string> Titles;
    std::string Value;
    std::string Comp;
    int32_t CompColour = 0;
    std::string Total;
    std::string CurrentChannel;
    std::string Serial;
    std::vector<std::string> StepRows;
    std::vector<int> Scrolled;
    bool Idle = true;
    std::vector<int> Recorded;
};

class CHostRig {
public:
    explicit CHostRig(SimOptions simOptions, bool startSimulator = true)
        : Folder(MakeFolder())
        , Sim(simOptions)
        , Config(Folder)
    {
        if (startSimulator)
            Started = Sim.StartTcp(0);
        Link.Interface = InterfaceKind::Lan;
        Link.IpAddress = 0x7F000001;
        Link.TcpPort = startSimulator ? Sim.TcpPort() : 1; // port 1: nobody listens
        Config.ModelCode = ModelCodeOfName(simOptions.Model);
        Config.SaveDate = 0;
        Config.SaveTime = 0;
        InitMeasSetData(Data, Config.ModelCode);
        Controller = std::make_unique<CMeasController>(Config, Data, Link, Prompt, Sink, Host, Host);
        Controller->FilePath = Folder + "/results.csv";
        Controller->IntervalSec = 0.0;
        Host.SetHandlers([this](const NotifyMessage& message) { Controller->HandleMessage(message); },
            [this](int id) { Controller->OnTimer(id); });
    }
    ~CHostRig()
    {
        if (Controller->WorkerExists()) {
            (void)Controller->Stop();
            (void)RunUntilIdle(10000);
        }
        Controller.reset();
        std::error_code error;
        std::filesystem::remove_all(Folder, error);
    }

    // Serves the loop until the acquisition is over (or the time runs out).
    bool RunUntilIdle(int timeoutMs = 20000)
    {
        return Host.Pump([this] { return !Controller->WorkerExists(); }, timeoutMs);
    }
    bool RunUntilRows(size_t rows, int timeoutMs = 20000)
    {
        return Host.Pump([this, rows] { return Sink.Recorded.size() >= rows; }, timeoutMs);
    }

    std::vector<std::string> FileLines() const
    {
        std::ifstream file(Controller->FilePath, std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(file, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    // The recorded rows of a file with one header row.
    std::vector<std::string> DataRows() const
    {
        std::vector<std::string> lines = FileLines();
        if (!lines.empty())
            lines.erase(lines.begin());
        return lines;
    }

    // Sets the instrument up from its own panel, as it were: one command over a link of its own.
    bool SendToInstrument(const std::string& command)
    {
        CInstrumentLink setup;
        setup.Interface = InterfaceKind::Lan;
        setup.IpAddress = 0x7F000001;
        setup.TcpPort = Sim.TcpPort();
        const bool sent = setup.Open() && setup.SendCommand(command);
        setup.Close();
        return sent;
    }

    size_t CountReceived(const std::string& line) const
    {
        size_t count = 0;
        for (const std::string& received : Sim.ReceivedLines())
            count += received == line ? 1 : 0;
        return count;
    }

    std::string Folder;
    CSimulator Sim;
    bool Started = false;
    CInstrumentLink Link;
    CSettingData Config;
    MeasSetData Data;
    CRecordingPrompt Prompt;
    CRecordingSink Sink;
    CHeadlessHost Host;
    std::unique_ptr<CMeasController> Controller;

private:
    static std::string MakeFolder()
    {
        return MakeTempFolder("vx-host");
    }
};

inline SimOptions MuxOptions(std::vector<int> channels, const std::string& scanMode, int select = 1)
{
    SimOptions options;
    options.Model = "VX6207-02";
    options.FrontCable = false;
    options.MuxChannels = std::move(channels);
    options.MuxScanMode = scanMode;
    options.MuxSelect = select;
    return options;
}
