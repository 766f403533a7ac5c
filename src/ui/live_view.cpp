#include "ui/live_view.h"

#include <QAction>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>
#include <qcustomplot.h>

#include "ui/channel_map.h"
#include "ui/ui_common.h"

namespace {

// Often enough to look live, seldom enough that a fast scan costs the window nothing.
constexpr int kRefreshMs = 200;
constexpr double kMarginShare = 0.05;

QCPGraph* AddLine(QCustomPlot* plot, const QColor& colour, Qt::PenStyle style, qreal width)
{
    QCPGraph* graph = plot->addGraph();
    QPen pen(colour);
    pen.setStyle(style);
    pen.setWidthF(width);
    graph->setPen(pen);
    return graph;
}

// A graph's points as the plot takes them: times and values apart.
struct Points {
    QVector<double> Times;
    QVector<double> Values;
    void Add(double time, double value)
    {
        Times.append(time);
        Values.append(value);
    }
};

struct Range {
    double Low = std::numeric_limits<double>::infinity();
    double High = -std::numeric_limits<double>::infinity();
    void Take(double value)
    {
        Low = std::min(Low, value);
        High = std::max(High, value);
    }
    [[nodiscard]] bool Empty() const { return Low > High; }
};

} // namespace

CLiveView::CLiveView(IDialogRunner& dialogs, size_t exactPoints, QWidget* parent)
    : QWidget(parent)
    , m_dialogs(dialogs)
    , m_model(TrendLimits { std::max<size_t>(exactPoints, 2), TrendLimits {}.MaxBuckets })
{
    setObjectName(QStringLiteral("liveView"));
    m_lastStates.fill(TileState::Waiting);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("liveViewCaption"));
    layout->addWidget(m_caption);
    BuildPlot();
    m_map = new CChannelMap(this);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_plot);
    splitter->addWidget(m_map);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setCollapsible(0, false);
    layout->addWidget(splitter, 1);
    connect(m_map, &CChannelMap::ChannelClicked, this, [this](int channel) {
        SelectChannel(channel);
        emit ChannelClicked(channel);
    });
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &CLiveView::Refresh);
    SetChannels(false, {});
}

CLiveView::~CLiveView() = default;

void CLiveView::BuildPlot()
{
    m_plot = new QCustomPlot(this);
    m_plot->setObjectName(QStringLiteral("trendPlot"));
    // Thousands of points: speed over looks, except for the few failure marks.
    m_plot->setNotAntialiasedElements(QCP::aeAll);
    m_plot->setAntialiasedElements(QCP::aeScatters);
    m_plot->setMinimumSize(420, 240);
    const QColor band(0x90, 0xB0, 0xE0);
    m_bucketMax = AddLine(m_plot, band, Qt::SolidLine, 1.0);
    m_bucketMin = AddLine(m_plot, band, Qt::SolidLine, 1.0);
    // The older readings, folded into buckets, show as the band between their minimum and maximum.
    m_bucketMax->setChannelFillGraph(m_bucketMin);
    m_bucketMax->setBrush(QColor(0x90, 0xB0, 0xE0, 0x60));
    m_values = AddLine(m_plot, QColor(0x20, 0x50, 0xA0), Qt::SolidLine, 1.5);
    m_upper = AddLine(m_plot, Qt::red, Qt::DashLine, 1.5);
    m_lower = AddLine(m_plot, Qt::red, Qt::DashLine, 1.5);
    m_failed = m_plot->addGraph();
    m_failed->setLineStyle(QCPGraph::lsNone);
    m_failed->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, QPen(Qt::darkRed), QBrush(Qt::red), 7.0));
    m_plot->xAxis->setLabel(UiText("Time [s]"));
    m_plot->xAxis->setNumberFormat(QStringLiteral("g"));
    m_plot->yAxis->setLabel(UiText("Meas. Value"));
    m_plot->yAxis->setNumberFormat(QStringLiteral("g"));
    auto* save = new QAction(UiText(kSavePlotCaption), m_plot);
    save->setObjectName(QStringLiteral("savePlot"));
    m_plot->addAction(save);
    m_plot->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(save, &QAction::triggered, this, [this] {
        QString chosen;
        if (!m_dialogs.ChooseFile(this, true, QStringLiteral("PNG (*.png)"), QStringLiteral("png"), {}, chosen))
            return;
        if (!SavePlot(chosen))
            m_caption->setText(UiText(kFailedToSavePlot));
    });
}

void CLiveView::SetExactPoints(size_t exactPoints)
{
    m_model = CLiveViewModel(TrendLimits { std::max<size_t>(exactPoints, 2), TrendLimits {}.MaxBuckets });
    m_plotDirty = m_mapDirty = true;
    Refresh();
}

void CLiveView::SetChannels(bool muxOn, const StepTexts& names)
{
    m_muxOn = muxOn;
    m_names = names;
    m_map->setVisible(muxOn);
    if (!muxOn)
        m_selected = 0;
    else if (m_selected == 0)
        m_selected = 1;
    m_map->SetSelected(m_selected);
    m_plotDirty = m_mapDirty = true;
    Refresh();
}

void CLiveView::Reset(const MeasSetData& data)
{
    m_conditions = &data;
    m_model.Clear();
    m_lastValues.fill({});
    m_lastStates.fill(TileState::Waiting);
    m_clock.start();
    m_plotDirty = m_mapDirty = true;
    Refresh();
}

void CLiveView::AddRow(
    const StepArrays& steps, int stepCount, bool muxOn, bool muxScan, const std::function<int(int)>& channelAt)
{
    const double time = m_clock.isValid() ? static_cast<double>(m_clock.elapsed()) / 1000.0 : 0.0;
    m_model.AddRow(time, steps, stepCount, muxOn, muxScan);
    if (muxOn) {
        const int positions = muxScan ? std::clamp(stepCount, 1, static_cast<int>(kMaxSteps)) : 1;
        for (int position = 0; position < positions; ++position) {
            const int channel = channelAt ? channelAt(position) : 0;
            if (channel < 1 || channel > static_cast<int>(kMuxChannels))
                continue;
            const auto index = static_cast<size_t>(channel - 1);
            const auto at = static_cast<size_t>(position);
            m_lastValues[index] = steps.Values[at];
            m_lastStates[index] = TileStateOf(steps.Judges[at], true);
        }
        m_mapDirty = true;
    }
    m_plotDirty = true;
    ScheduleRefresh();
}

void CLiveView::SelectChannel(int channel)
{
    channel = m_muxOn ? std::clamp(channel, 1, static_cast<int>(kMuxChannels)) : 0;
    if (channel == m_selected)
        return;
    m_selected = channel;
    m_map->SetSelected(channel);
    m_plotDirty = true;
    Refresh();
}

std::string CLiveView::NameOf(int channel) const
{
    return channel == 0 ? std::string(kFrontChannelName) : m_names[static_cast<size_t>(channel - 1)];
}

void CLiveView::ScheduleRefresh()
{
    if (!m_refresh.isActive())
        m_refresh.start();
}

void CLiveView::Refresh()
{
    m_refresh.stop();
    if (m_plotDirty)
        RedrawPlot();
    if (m_mapDirty && m_muxOn)
        RedrawMap();
    m_plotDirty = m_mapDirty = false;
}

void CLiveView::RedrawPlot()
{
    const std::string name = NameOf(m_selected);
    m_caption->setText(UiText("Trend: %1")
            .arg(QString::fromStdString(m_selected == 0 ? name : TileOf(m_selected, name, nullptr, {}, {}).Caption)));
    Points values;
    Points failed;
    Points highs;
    Points lows;
    Range times;
    Range span;
    if (const CTrendSeries* series = m_model.Series(name)) {
        const TrendPlot plot = series->Plot();
        for (const TrendBucket& bucket : plot.Buckets) {
            const double middle = (bucket.Start + bucket.End) / 2.0;
            highs.Add(middle, bucket.Maximum);
            lows.Add(middle, bucket.Minimum);
            if (bucket.AnyFailed)
                failed.Add(middle, bucket.Maximum);
            times.Take(bucket.Start);
            times.Take(bucket.End);
            span.Take(bucket.Minimum);
            span.Take(bucket.Maximum);
        }
        values.Times.reserve(static_cast<qsizetype>(plot.Points.size()));
        values.Values.reserve(static_cast<qsizetype>(plot.Points.size()));
        for (const TrendPoint& point : plot.Points) {
            values.Add(point.Time, point.Value);
            if (point.Failed)
                failed.Add(point.Time, point.Value);
            times.Take(point.Time);
            span.Take(point.Value);
        }
    }
    if (times.Empty())
        times = Range { 0.0, 1.0 };
    if (times.High <= times.Low)
        times.High = times.Low + 1.0;
    const LimitLines limits
        = m_conditions != nullptr ? LimitLinesOf(ConditionOfChannel(*m_conditions, m_selected)) : LimitLines {};
    const auto limitLine = [&](QCPGraph* line, const std::optional<double>& level) {
        if (level) {
            line->setData({ times.Low, times.High }, { *level, *level }, true);
            span.Take(*level);
        } else {
            line->data()->clear();
        }
    };
    limitLine(m_upper, limits.Upper);
    limitLine(m_lower, limits.Lower);
    m_values->setData(values.Times, values.Values, true);
    m_bucketMax->setData(highs.Times, highs.Values, true);
    m_bucketMin->setData(lows.Times, lows.Values, true);
    m_failed->setData(failed.Times, failed.Values);
    if (span.Empty())
        span = Range { 0.0, 1.0 };
    const double margin = std::max((span.High - span.Low) * kMarginShare, std::abs(span.High) * 1e-6 + 1e-12);
    // A little room at both ends, so that the newest reading's mark is not cut in half.
    const double lead = (times.High - times.Low) * kMarginShare / 2.0;
    m_plot->xAxis->setRange(times.Low - lead, times.High + lead);
    m_plot->yAxis->setRange(span.Low - margin, span.High + margin);
    // Enough digits that neighbouring ticks differ: a milliohm drift on a kilohm part shows.
    const QCPRange shown = m_plot->yAxis->range();
    const double width = std::max(shown.size(), 1e-300);
    const double size = std::max(std::abs(shown.upper), std::abs(shown.lower));
    const int digits = std::clamp(static_cast<int>(std::ceil(std::log10(std::max(size / width, 1.0)))) + 2, 3, 12);
    m_plot->yAxis->setNumberPrecision(digits);
    m_plot->replot();
}

void CLiveView::RedrawMap()
{
    const std::vector<ChannelStatistics>& channels = m_model.Statistics().Channels();
    for (int channel = 1; channel <= static_cast<int>(kMuxChannels); ++channel) {
        const auto index = static_cast<size_t>(channel - 1);
        const auto found = std::find_if(channels.begin(), channels.end(),
            [&](const ChannelStatistics& statistics) { return statistics.Name == m_names[index]; });
        const ChannelStatistics* statistics
            = found != channels.end() && m_lastStates[index] != TileState::Waiting ? &*found : nullptr;
        m_map->SetTile(channel, TileOf(channel, m_names[index], statistics, m_lastValues[index], m_lastStates[index]));
    }
}

int CLiveView::PlottedPoints() const
{
    return m_values->dataCount() + m_bucketMax->dataCount() + m_bucketMin->dataCount() + m_failed->dataCount();
}

bool CLiveView::SavePlot(const QString& path)
{
    Refresh();
    return m_plot->savePng(path);
}
