#pragma once

// The main window against the in-process simulator, with every modal thing scripted: messages
// are recorded (a hook may act while one is "shown"), dialogs are answered by the test.

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <functional>
#include <memory>

#include "host/startup_settings.h"
#include "link/instrument_link.h"
#include "link/port_source.h"
#include "settings/model_info.h"
#include "sim/simulator.h"
#include "ui/list_ctrl_ex.h"
#include "ui/vx_sample_dlg.h"

class CTestPrompt final : public IUserPrompt {
public:
    void ShowMessage(const std::string& text) override
    {
        Texts.push_back(text);
        if (WhileShown)
            WhileShown(text);
    }
    bool AskYesNo(const std::string& text) override
    {
        Texts.push_back(text);
        return Answer;
    }
    bool AskOkCancel(const std::string& text) override { return AskYesNo(text); }
    int Count(const std::string& text) const { return static_cast<int>(std::count(Texts.begin(), Texts.end(), text)); }
    // Messages whose first line is `text` (the second line gives the cause).
    int CountHeaded(const std::string& text) const
    {
        return static_cast<int>(std::count_if(Texts.begin(), Texts.end(),
            [&](const std::string& shown) { return shown.substr(0, shown.find('\n')) == text; }));
    }

    std::vector<std::string> Texts;
    std::function<void(const std::string&)> WhileShown;
    bool Answer = true;
};

class CScriptedRunner final : public IDialogRunner {
public:
    int Run(QDialog& dialog) override
    {
        ++Runs;
        return Answer ? Answer(dialog) : QDialog::Rejected;
    }
    bool ChooseResultFile(QWidget*, const QString&, QString& chosen) override
    {
        chosen = Chosen;
        return !Chosen.isEmpty();
    }
    bool ChooseFile(QWidget*, bool, const QString&, const QString&, const QString&, QString& chosen) override
    {
        chosen = Chosen;
        return !Chosen.isEmpty();
    }
    std::function<int(QDialog&)> Answer;
    QString Chosen;
    int Runs = 0;
};

// A radio button reacts on its indicator and caption only, so it is clicked near its left edge.
inline void ClickControl(QWidget* control)
{
    const bool radio = qobject_cast<QRadioButton*>(control) != nullptr;
    QTest::mouseClick(control, Qt::LeftButton, {}, radio ? QPoint(8, control->height() / 2) : QPoint());
}

struct RigOptions {
    SimOptions Sim;
    int32_t Method = 0;
    bool MuxOnAtStart = false;
    std::function<void(CSettingData&)> Configure;
    // The ports the window lists; with KeepLinkSettings false the configuration's communication
    // settings (LAN to the simulator) are handed to the link as at a normal start.
    std::vector<PortInfo> Ports;
    bool KeepLinkSettings = true;
    // Files written into the rig's folder before the window opens; returns the command line.
    std::function<std::vector<std::string>(const std::string& folder)> Arguments;
};

class CWindowRig {
public:
    explicit CWindowRig(const RigOptions& options)
        : Sim(options.Sim)
        , Ports(options.Ports)
    {
        Started = Sim.StartTcp(0);
        Link.Interface = InterfaceKind::Lan;
        Link.IpAddress = 0x7F000001;
        Link.TcpPort = Sim.TcpPort();
        CSettingData config(Folder().toStdString());
        config.ModelCode = ModelCodeOfName(options.Sim.Model);
        config.SaveDate = 0;
        config.SaveTime = 0;
        config.FileDir = Folder().toStdString();
        config.LogType = options.Method;
        config.LogLimit = 3;
        config.IFSelect = static_cast<int32_t>(InterfaceKind::Lan);
        config.LanIPOctets = { 127, 0, 0, 1 };
        config.LanIPAddr = 0x7F000001;
        config.LanPort = Sim.TcpPort();
        if (options.Configure)
            options.Configure(config);
        Saved = config.Save(Prompt) && config.SaveWindowKeys(Prompt);
        if (options.MuxOnAtStart) {
            MeasSetData start;
            InitMeasSetData(start, config.ModelCode);
            start.ModelCode = config.ModelCode;
            start.MuxOn = 1;
            Saved = Saved && SaveStartupSettings(config, start, Prompt);
        }
        InitMeasSetData(Data, 0);
        Window = std::make_unique<CVxSampleDlg>(CSettingData(Folder().toStdString()), Data, Link, Prompt, Runner);
        MainWindowOptions open;
        open.KeepLinkSettings = options.KeepLinkSettings;
        if (options.Arguments)
            open.Arguments = options.Arguments(Folder().toStdString());
        Window->show();
        Window->activateWindow();
        Active = QTest::qWaitForWindowActive(Window.get());
        Window->Open(open, Ports);
    }
    ~CWindowRig()
    {
        if (Window->Controller().WorkerExists()) {
            Click(1007);
            (void)QTest::qWaitFor([this] { return !Window->Controller().WorkerExists(); }, 10000); // best effort
        }
        Window.reset();
    }

    QString Folder() const { return m_dir.path(); }
    template <typename T = QWidget> T* Control(int id) const { return static_cast<T*>(Window->Control(id)); }
    void Click(int id) { ClickControl(Control(id)); }
    void SetEdit(int id, const QString& text) { Control<QLineEdit>(id)->setText(text); }
    QString Text(int id) const { return Control<QLabel>(id)->text(); }
    bool WaitIdle(int ms = 20000)
    {
        return QTest::qWaitFor([this] { return !Window->Controller().WorkerExists(); }, ms);
    }

    std::vector<std::string> FileLines() const
    {
        std::ifstream file(Window->Controller().FilePath, std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(file, line))
            lines.push_back(line.substr(0, line.find('\r')));
        return lines;
    }

    // Writes the window's look to the build folder for review.
    static void Shoot(QWidget& widget, const QString& name)
    {
        widget.grab().save(QDir::currentPath() + QLatin1Char('/') + name);
    }

private:
    QTemporaryDir m_dir;

public:
    CSimulator Sim;
    CFixedPortSource Ports;
    bool Started = false;
    bool Saved = false;
    bool Active = false;
    CInstrumentLink Link;
    MeasSetData Data;
    CTestPrompt Prompt;
    CScriptedRunner Runner;
    std::unique_ptr<CVxSampleDlg> Window;
};
