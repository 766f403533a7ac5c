#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "host/live_view_model.h"
#include "settings/meas_set_data.h"
#include "uilogic/live_view_logic.h"

class CChannelMap;
class IDialogRunner;
class QCPGraph;
class QCustomPlot;
class QLabel;

// The live view beside the main window's controls: the trend of one channel's value with the
// comparator's limits and its failing readings marked, and for the MUX the map of all 42
// channels with their last judgement and yield. It is fed the recorded rows, so it shows exactly
// what the result file holds. Redrawing is coalesced, so an interval-0 scan never floods the window.
class CLiveView final : public QWidget {
    Q_OBJECT

public:
    CLiveView(IDialogRunner& dialogs, size_t exactPoints, QWidget* parent = nullptr);
    ~CLiveView() override;

    // How many of the newest readings each channel keeps exactly; empties the view.
    void SetExactPoints(size_t exactPoints);
    // The channel list as the main window shows it (idle, model change): names of channels 1..42.
    void SetChannels(bool muxOn, const StepTexts& names);
    // At Start: everything empty. The limit lines follow the conditions in force, which the
    // main window owns and keeps for the life of the view.
    void Reset(const MeasSetData& data);
    // A recorded row; channelAt(position) names the MUX channel of a position (0: front terminals).
    void AddRow(const StepArrays& steps, int stepCount, bool muxOn, bool muxScan,
        const std::function<int(int)>& channelAt);
    // The channel to plot: 1..42, or 0 for the front terminals.
    void SelectChannel(int channel);

    [[nodiscard]] int SelectedChannel() const { return m_selected; }
    [[nodiscard]] const CLiveViewModel& Model() const { return m_model; }
    [[nodiscard]] CChannelMap& Map() { return *m_map; }
    [[nodiscard]] QCustomPlot& PlotView() { return *m_plot; }
    // Points handed to the plot for the plotted channel (every graph); bounded whatever the run.
    [[nodiscard]] int PlottedPoints() const;
    // Draws what is pending now (the coalescing timer does it otherwise).
    void Refresh();
    // Writes the plot as a PNG; false when the file cannot be written.
    [[nodiscard]] bool SavePlot(const QString& path);

signals:
    void ChannelClicked(int channel);

private:
    void BuildPlot();
    void ShowPlotMenu(const QPoint& position);
    void RedrawPlot();
    void RedrawMap();
    void ScheduleRefresh();
    [[nodiscard]] std::string NameOf(int channel) const;

    IDialogRunner& m_dialogs;
    CLiveViewModel m_model;
    const MeasSetData* m_conditions = nullptr;
    bool m_muxOn = false;
    StepTexts m_names {};
    std::array<std::string, kMuxChannels> m_lastValues {};
    std::array<TileState, kMuxChannels> m_lastStates {};
    int m_selected = 0;
    bool m_plotDirty = false;
    bool m_mapDirty = false;
    QElapsedTimer m_clock;
    QTimer m_refresh;

    QLabel* m_caption = nullptr;
    QCustomPlot* m_plot = nullptr;
    QCPGraph* m_values = nullptr;
    QCPGraph* m_bucketMax = nullptr;
    QCPGraph* m_bucketMin = nullptr;
    QCPGraph* m_failed = nullptr;
    QCPGraph* m_upper = nullptr;
    QCPGraph* m_lower = nullptr;
    CChannelMap* m_map = nullptr;
};

inline constexpr const char* kSavePlotCaption = "Save Plot as PNG...";
inline constexpr const char* kFailedToSavePlot = "Failed to save the plot.";
