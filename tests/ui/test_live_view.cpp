// The live view in the main window against the in-process simulator: the channel map after a MUX
// scan with a failing channel, choosing the plotted channel from the map and the list, the front
// trend with its limit lines, the plot saved as PNG, the View menu kept in the configuration, and
// the plot's size after a long run.
#include <QAction>
#include <QFile>
#include <QImage>
#include <QSettings>
#include <qcustomplot.h>

#include "ui/channel_map.h"
#include "ui/live_view.h"
#include "window_rig.h"

namespace {

void SetLimits(MeasCondition& condition, double lower, double upper)
{
    condition.CompOn = 1;
    condition.CompMode = 0;
    condition.CompUpper = static_cast<int64_t>(upper * 1e9);
    condition.CompLower = static_cast<int64_t>(lower * 1e9);
}

} // namespace

class TestLiveView : public QObject {
    Q_OBJECT

private slots:
    void aMuxScanShowsTheFailingChannelAndEachYield();
    void aFrontTrendShowsItsLimitsAndTheViewCanBeHidden();
    void thePlotStaysBoundedOnALongRun();
};

void TestLiveView::aMuxScanShowsTheFailingChannelAndEachYield()
{
    RigOptions options;
    options.Sim.Model = "VX6207-02";
    options.Sim.FrontCable = false;
    options.Sim.MuxChannels = { 1, 2, 3, 4, 5, 6 };
    options.Sim.MuxScanMode = "AUTO";
    options.Sim.MuxSelect = 1;
    options.Sim.DefaultResistance = 1.0;
    options.Sim.ChannelResistance[4] = 1.7;
    for (int channel = 1; channel <= 6; ++channel)
        options.Sim.ChannelLimits[channel] = { 0.5, 1.5 };
    options.Configure = [](CSettingData& config) {
        config.LogInterval = 0;
        config.LogLimit = 4;
    };
    options.Method = 2;
    CWindowRig rig(options);
    for (MeasCondition& condition : rig.Data.Channels4Wire)
        SetLimits(condition, 0.5, 1.5);
    CLiveView& view = rig.Window->LiveView();
    rig.Click(1006);
    QVERIFY(rig.WaitIdle());
    QCOMPARE(rig.Window->RowsShown(), 4);
    view.Refresh();

    // The map against the recorded file: six channels judged four times each, channel 4 failing.
    CChannelMap& map = view.Map();
    QVERIFY(map.isVisible());
    QCOMPARE(map.Tile(4).State, TileState::Failed);
    QCOMPARE(map.Tile(4).Yield, std::string("0.0 %"));
    for (const int channel : { 1, 2, 3, 5, 6 }) {
        QCOMPARE(map.Tile(channel).State, TileState::Passed);
        QCOMPARE(map.Tile(channel).Yield, std::string("100.0 %"));
    }
    QCOMPARE(map.Tile(7).State, TileState::Waiting);
    QCOMPARE(map.Tile(42).Yield, std::string("-"));
    const std::vector<ChannelStatistics>& channels = view.Model().Statistics().Channels();
    QCOMPARE(channels.size(), size_t(6));
    for (const ChannelStatistics& channel : channels)
        QCOMPARE(channel.Readings, int64_t(rig.FileLines().size() - 1));

    // The map and the list choose the plotted channel together.
    QTest::mouseClick(&map, Qt::LeftButton, {}, map.TileRect(4).center());
    QCOMPARE(view.SelectedChannel(), 4);
    QCOMPARE(rig.Window->StepList().currentRow(), 3);
    QVERIFY(view.PlottedPoints() >= 8); // four values, each failing
    rig.Window->StepList().setCurrentCell(1, 0);
    QCOMPARE(view.SelectedChannel(), 2);
    QTest::mouseClick(&map, Qt::LeftButton, {}, map.TileRect(4).center());

    // Start empties the view for the new run.
    CWindowRig::Shoot(*rig.Window, "main_window_live_view_mux_scan.png");
    rig.Click(1006);
    QVERIFY(rig.WaitIdle());
    view.Refresh();
    QCOMPARE(view.Model().Statistics().Channels().front().Readings, int64_t(4));
}

void TestLiveView::aFrontTrendShowsItsLimitsAndTheViewCanBeHidden()
{
    RigOptions options;
    options.Sim.Model = "VX6207-02";
    options.Sim.DefaultResistance = 1.0;
    options.Method = 2;
    options.Configure = [](CSettingData& config) {
        config.LogInterval = 0;
        config.LogLimit = 40;
    };
    CWindowRig rig(options);
    SetLimits(rig.Data.Front.Cond, 0.95, 1.05);
    // The instrument judges with the same window, as after the conditions were sent.
    QVERIFY(rig.Link.Open());
    for (const char* line : { ":CALCulate:LIMit:STATe ON", ":CALCulate:LIMit:UPPer 1.05", ":CALCulate:LIMit:LOWer 0.95" })
        QVERIFY(rig.Link.SendCommand(line));
    rig.Link.Close();
    CLiveView& view = rig.Window->LiveView();
    QVERIFY(!view.Map().isVisible());
    rig.Click(1006);
    // A drift that leaves the window near the end of the run.
    int fed = 0;
    QVERIFY(QTest::qWaitFor(
        [&] {
            const int shown = rig.Window->RowsShown();
            if (shown != fed) {
                fed = shown;
                rig.Sim.SetChannelResistance(0, 1.0 + 0.0015 * shown + (shown % 3) * 0.002);
            }
            return !rig.Window->Controller().WorkerExists();
        },
        30000));
    view.Refresh();
    const CTrendSeries* series = view.Model().Series(kFrontChannelName);
    QVERIFY(series != nullptr);
    QCOMPARE(series->Plotted(), int64_t(40));
    const ChannelStatistics& front = view.Model().Statistics().Channels().front();
    QVERIFY(front.Failed > 0 && front.Passed > 0);
    QCOMPARE(view.SelectedChannel(), 0);
    CWindowRig::Shoot(*rig.Window, "main_window_live_view_front_trend.png");

    // The plot as a PNG from its context menu.
    const QString png = rig.Folder() + "/trend.png";
    rig.Runner.Chosen = png;
    QList<QAction*> actions = view.PlotView().actions();
    QCOMPARE(actions.size(), 1);
    QCOMPARE(view.PlotView().contextMenuPolicy(), Qt::ActionsContextMenu);
    actions.front()->trigger();
    QImage image(png);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), view.PlotView().grab().size());

    // Hidden from the View menu: the window gives the width back, and the choice is kept.
    const int wide = rig.Window->width();
    rig.Window->LiveViewAction()->trigger();
    QVERIFY(view.isHidden());
    QVERIFY(rig.Window->width() < wide);
    rig.Window->Teardown();
    QSettings ini(rig.Folder() + "/Vx6207App.ini", QSettings::IniFormat);
    QCOMPARE(ini.value("VIEW/LiveView").toString(), QString("0"));
}

void TestLiveView::thePlotStaysBoundedOnALongRun()
{
    CScriptedRunner runner;
    CLiveView view(runner, 1000);
    view.SetChannels(false, {});
    MeasSetData data;
    InitMeasSetData(data, 10);
    view.Reset(data);
    StepArrays steps;
    for (int i = 0; i < 100000; ++i) {
        steps.Values[0] = std::to_string(1.0 + (i % 97) * 1e-4);
        steps.Comps[0] = i % 1000 == 0 ? "HI" : "IN";
        view.AddRow(steps, 1, false, false, {});
    }
    view.Refresh();
    const CTrendSeries& series = *view.Model().Series(kFrontChannelName);
    QCOMPARE(series.Plotted(), int64_t(100000));
    QVERIFY(series.Points().size() <= 1000);
    QVERIFY(view.PlottedPoints() <= 1000 + 3 * static_cast<int>(TrendLimits {}.MaxBuckets));
    QCOMPARE(view.Model().Statistics().Channels().front().Failed, int64_t(100));
    // The older readings as a min/max band, the newest exact, for review.
    view.resize(900, 500);
    QVERIFY(view.SavePlot(QStringLiteral("live_view_long_run.png")));
    QVERIFY(!QImage(QStringLiteral("live_view_long_run.png")).isNull());
}

QTEST_MAIN(TestLiveView)
#include "test_live_view.moc"
