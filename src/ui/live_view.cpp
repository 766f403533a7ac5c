#include "ui/live_view.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QSplitter>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "ui/channel_map.h"
#include "ui/ui_common.h"

namespace {

// Often enough to look live, seldom enough that a fast scan costs the window nothing.
constexpr int kRefreshMs = 200;
constexpr double kMarginShare = 0.05;

QLineSeries* AddLine(QChart* chart, const QColor& colour, Qt::PenStyle style, qreal width)
{
    auto* series = new QLineSeries(chart);
    QPen pen(colour);
    pen.setStyle(style);
    pen.setWidthF(width);
    series->setPen(pen);
    chart->addSeries(series);
    return series;
}

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
    BuildChart();
    m_map = new CChannelMap(this);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_view);
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

void CLiveView::BuildChart()
{
    m_chart = new QChart;
    m_chart->legend()->hide();
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_bucketMax = AddLine(m_chart, QColor(0x90, 0xB0, 0xE0), Qt::SolidLine, 1.0);
    m_bucketMin = AddLine(m_chart, QColor(0x90, 0xB0, 0xE0), Qt::SolidLine, 1.0);
    m_values = AddLine(m_chart, QColor(0x20, 0x50, 0xA0), Qt::SolidLine, 1.5);
    m_upper = AddLine(m_chart, Qt::red, Qt::DashLine, 1.5);
    m_lower = AddLine(m_chart, Qt::red, Qt::DashLine, 1.5);
    m_failed = new QScatterSeries(m_chart);
    m_failed->setMarkerSize(7.0);
    m_failed->setColor(Qt::red);
    m_failed->setBorderColor(Qt::darkRed);
    m_chart->addSeries(m_failed);
    m_timeAxis = new QValueAxis(m_chart);
    m_timeAxis->setTitleText(UiText("Time [s]"));
    m_timeAxis->setLabelFormat(QStringLiteral("%g"));
    m_valueAxis = new QValueAxis(m_chart);
    m_valueAxis->setTitleText(UiText("Meas. Value"));
    m_valueAxis->setLabelFormat(QStringLiteral("%.6g"));
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_valueAxis, Qt::AlignLeft);
    for (QAbstractSeries* series : m_chart->series()) {
        series->attachAxis(m_timeAxis);
        series->attachAxis(m_valueAxis);
    }
    m_view = new QChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("trendPlot"));
    m_view->setRenderHint(QPainter::Antialiasing, false); // thousands of points; speed over looks
    m_view->setMinimumSize(420, 240);
    auto* save = new QAction(UiText(kSavePlotCaption), m_view);
    save->setObjectName(QStringLiteral("savePlot"));
    m_view->addAction(save);
    m_view->setContextMenuPolicy(Qt::ActionsContextMenu);
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
    QList<QPointF> values;
    QList<QPointF> failed;
    QList<QPointF> highs;
    QList<QPointF> lows;
    Range times;
    Range span;
    if (const CTrendSeries* series = m_model.Series(name)) {
        const TrendPlot plot = series->Plot();
        for (const TrendBucket& bucket : plot.Buckets) {
            const double middle = (bucket.Start + bucket.End) / 2.0;
            highs.append({ middle, bucket.Maximum });
            lows.append({ middle, bucket.Minimum });
            if (bucket.AnyFailed)
                failed.append({ middle, bucket.Maximum });
            times.Take(bucket.Start);
            times.Take(bucket.End);
            span.Take(bucket.Minimum);
            span.Take(bucket.Maximum);
        }
        values.reserve(static_cast<qsizetype>(plot.Points.size()));
        for (const TrendPoint& point : plot.Points) {
            values.append({ point.Time, point.Value });
            if (point.Failed)
                failed.append({ point.Time, point.Value });
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
    const auto limitLine = [&](QLineSeries* line, const std::optional<double>& level) {
        if (level) {
            line->replace(QList<QPointF> { { times.Low, *level }, { times.High, *level } });
            span.Take(*level);
        } else {
            line->clear();
        }
    };
    limitLine(m_upper, limits.Upper);
    limitLine(m_lower, limits.Lower);
    m_values->replace(values);
    m_bucketMax->replace(highs);
    m_bucketMin->replace(lows);
    m_failed->replace(failed);
    if (span.Empty())
        span = Range { 0.0, 1.0 };
    const double margin = std::max((span.High - span.Low) * kMarginShare, std::abs(span.High) * 1e-6 + 1e-12);
    m_timeAxis->setRange(times.Low, times.High);
    m_timeAxis->applyNiceNumbers();
    m_valueAxis->setRange(span.Low - margin, span.High + margin);
    m_valueAxis->applyNiceNumbers();
    // Enough digits that neighbouring ticks differ: a milliohm drift on a kilohm part shows.
    const double width = std::max(m_valueAxis->max() - m_valueAxis->min(), 1e-300);
    const double size = std::max(std::abs(m_valueAxis->max()), std::abs(m_valueAxis->min()));
    const int digits = std::clamp(static_cast<int>(std::ceil(std::log10(std::max(size / width, 1.0)))) + 2, 3, 12);
    m_valueAxis->setLabelFormat(QStringLiteral("%.%1g").arg(digits));
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
    return static_cast<int>(m_values->count() + m_bucketMax->count() + m_bucketMin->count() + m_failed->count());
}

bool CLiveView::SavePlot(const QString& path)
{
    Refresh();
    return m_view->grab().save(path, "PNG");
}
