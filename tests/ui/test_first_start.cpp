// The first start of the application writes its configuration and autosave with defaults into the
// data folder; later starts leave an operator's files alone.
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "link/instrument_link.h"
#include "link/port_source.h"
#include "settings/meas_set_data.h"
#include "ui/vx_sample_dlg.h"
#include "window_rig.h"

class TestFirstStart : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesDefaultsAndLaterStartsKeepTheFiles();
};

void TestFirstStart::firstStartWritesDefaultsAndLaterStartsKeepTheFiles()
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string ini = folder + "/Vx6207App.ini";
    const std::string autosave = folder + "/MeasSetData.ini";
    for (int start = 0; start < 2; ++start) {
        CInstrumentLink link;
        CTestPrompt prompt;
        CScriptedRunner runner;
        MeasSetData data;
        InitMeasSetData(data, 0);
        {
            CVxSampleDlg window(CSettingData(folder), data, link, prompt, runner);
            CFixedPortSource ports({});
            MainWindowOptions open;
            open.KeepLinkSettings = true;
            window.Open(open, ports);
            QVERIFY(std::filesystem::exists(ini));
            QVERIFY(std::filesystem::exists(autosave));
            QCOMPARE(prompt.Texts, std::vector<std::string>());
            if (start == 0) {
                // The operator's own edit between starts must survive the second start's opening.
                std::ofstream(ini, std::ios::app) << "[MARK]\r\nKept=1\r\n";
            } else {
                std::ifstream file(ini);
                const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
                QVERIFY(text.find("[MARK]") != std::string::npos);
            }
            window.Teardown();
        }
    }
}

QTEST_MAIN(TestFirstStart)
#include "test_first_start.moc"
