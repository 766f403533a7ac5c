#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "host/live_view_model.h"
#include "host/trend_series.h"

namespace {

// A reproducible run: noisy values with rare spikes, every 997th reading failing.
std::vector<TrendPoint> MakeRun(size_t count)
{
    std::mt19937 random(20261210);
    std::normal_distribution<double> noise(100.0, 0.5);
    std::vector<TrendPoint> run(count);
    for (size_t i = 0; i < count; ++i) {
        const double spike = i % 4093 == 7 ? 50.0 : 0.0;
        run[i] = { static_cast<double>(i) * 0.01, noise(random) + spike, i % 997 == 3 };
    }
    return run;
}

struct BoundCase {
    const char* Label;
    TrendLimits Limits;
    size_t Readings;
};

} // namespace

// Whatever the length of the run, the points kept stay bounded, the newest are exact, and each
// bucket holds exactly the readings folded into it, in order, with their envelope and failures.
TEST(TrendSeries, StaysBoundedAndBucketsAgreeWithTheReadings)
{
    const std::vector<BoundCase> cases = {
        { "default limits, long run", {}, 100000 },
        { "small tail, few buckets", { 100, 8 }, 100000 },
        { "odd bucket limit", { 50, 7 }, 12345 },
        { "one exact point", { 1, 2 }, 1000 },
        { "shorter than the tail", { 500, 4 }, 300 },
    };
    for (const BoundCase& test : cases) {
        SCOPED_TRACE(test.Label);
        const std::vector<TrendPoint> run = MakeRun(test.Readings);
        CTrendSeries series(test.Limits);
        for (const TrendPoint& point : run)
            series.AddValue(point.Time, point.Value, point.Failed);

        const TrendPlot plot = series.Plot();
        const size_t exact = std::min(test.Limits.ExactPoints, run.size());
        ASSERT_EQ(plot.Points.size(), exact);
        ASSERT_LE(plot.Buckets.size(), test.Limits.MaxBuckets);
        EXPECT_EQ(series.Plotted(), static_cast<int64_t>(run.size()));
        const size_t folded = run.size() - exact;
        for (size_t i = 0; i < exact; ++i) {
            const TrendPoint& expected = run[folded + i];
            EXPECT_EQ(plot.Points[i].Time, expected.Time);
            EXPECT_EQ(plot.Points[i].Value, expected.Value);
            EXPECT_EQ(plot.Points[i].Failed, expected.Failed);
        }
        // Walk the folded readings in order: each bucket takes the next Count of them.
        size_t next = 0;
        for (const TrendBucket& bucket : plot.Buckets) {
            ASSERT_GT(bucket.Count, 0);
            const size_t end = next + static_cast<size_t>(bucket.Count);
            ASSERT_LE(end, folded);
            double minimum = run[next].Value;
            double maximum = run[next].Value;
            bool failed = false;
            for (size_t i = next; i < end; ++i) {
                minimum = std::min(minimum, run[i].Value);
                maximum = std::max(maximum, run[i].Value);
                failed = failed || run[i].Failed;
            }
            EXPECT_EQ(bucket.Start, run[next].Time);
            EXPECT_EQ(bucket.End, run[end - 1].Time);
            EXPECT_EQ(bucket.Minimum, minimum);
            EXPECT_EQ(bucket.Maximum, maximum);
            EXPECT_EQ(bucket.AnyFailed, failed);
            next = end;
        }
        EXPECT_EQ(next, folded);
    }
}

// A day at ten readings a second: memory stays flat, the envelope still shows the highest spike.
TEST(TrendSeries, LongRunKeepsTheEnvelopeWithinFixedSize)
{
    CTrendSeries series({ 1000, 64 });
    double highest = 0.0;
    for (int i = 0; i < 864000; ++i) {
        const double value = i == 123456 ? 1.0e9 : static_cast<double>(i % 10);
        highest = std::max(highest, value);
        series.AddValue(i * 0.1, value, i == 200000);
    }
    ASSERT_EQ(series.Points().size(), 1000U);
    ASSERT_LE(series.Buckets().size(), 64U);
    const auto& buckets = series.Buckets();
    const auto top = std::max_element(buckets.begin(), buckets.end(),
        [](const TrendBucket& a, const TrendBucket& b) { return a.Maximum < b.Maximum; });
    EXPECT_EQ(top->Maximum, highest);
    EXPECT_LE(top->Start, 123456 * 0.1);
    EXPECT_GE(top->End, 123456 * 0.1);
    EXPECT_EQ(std::count_if(buckets.begin(), buckets.end(), [](const TrendBucket& b) { return b.AnyFailed; }), 1);
}

TEST(TrendSeries, OnlyNumbersArePlotted)
{
    struct TextCase {
        std::string Value;
        bool Plotted;
        bool OverRange;
    };
    const std::vector<TextCase> cases = {
        { "1.23456E+00", true, false },
        { " -2.5E-03 ", true, false },
        { "OverRange", false, true },
        { "-----------", false, false },
        { "1,5", false, false }, // a comma is not a decimal separator in recorded texts
        { "nan", false, false },
        { "", false, false },
    };
    CTrendSeries series;
    int64_t plotted = 0, overRange = 0, notMeasured = 0;
    for (const TextCase& test : cases) {
        SCOPED_TRACE(test.Value);
        series.AddReading(1.0, test.Value, false);
        plotted += test.Plotted ? 1 : 0;
        overRange += test.OverRange ? 1 : 0;
        notMeasured += !test.Plotted && !test.OverRange ? 1 : 0;
        EXPECT_EQ(series.Plotted(), plotted);
        EXPECT_EQ(series.OverRange(), overRange);
        EXPECT_EQ(series.NotMeasured(), notMeasured);
        EXPECT_EQ(series.Points().size(), static_cast<size_t>(plotted));
    }
    EXPECT_EQ(series.Points().back().Value, -2.5e-3);
}

TEST(TrendSeries, ClearEmptiesTheRunButKeepsTheLimitLines)
{
    CTrendSeries series({ 10, 4 });
    series.SetUpperLimit(1.5);
    series.SetLowerLimit(0.5);
    for (int i = 0; i < 1000; ++i)
        series.AddValue(i, 1.0, true);
    series.AddReading(0.0, "OverRange", false);
    series.AddReading(0.0, "-----------", false);
    series.Clear();
    const TrendPlot plot = series.Plot();
    EXPECT_TRUE(plot.Points.empty());
    EXPECT_TRUE(plot.Buckets.empty());
    EXPECT_EQ(series.Plotted(), 0);
    EXPECT_EQ(series.OverRange(), 0);
    EXPECT_EQ(series.NotMeasured(), 0);
    EXPECT_EQ(series.PointsPerBucket(), 1);
    EXPECT_EQ(plot.Upper, 1.5);
    EXPECT_EQ(plot.Lower, 0.5);
    // Folding starts afresh: single-reading buckets again.
    for (int i = 0; i < 12; ++i)
        series.AddValue(i, i, false);
    ASSERT_EQ(series.Buckets().size(), 2U);
    EXPECT_EQ(series.Buckets()[0].Count, 1);
}

// The model splits rows into channels as the recorder does, marks failing readings by the
// judgement that decides (comparator on the front, channel judgement on the MUX) and agrees with
// its own statistics.
TEST(LiveViewModel, FeedsStatisticsAndOneSeriesPerChannel)
{
    CLiveViewModel model({ 4, 4 });
    model.SetLimits(2.0, std::nullopt);
    StepArrays front;
    front.Values[0] = "1.0E+00";
    front.Comps[0] = "HI";
    front.Judges[0] = "PASS"; // ignored without the MUX
    model.AddRow(0.0, front, 1, false, false);
    front.Values[0] = "OverRange";
    model.AddRow(0.5, front, 1, false, false);

    StepArrays scan;
    const std::vector<std::string> names = { "CH01", "CH02", "CH03" };
    for (size_t i = 0; i < names.size(); ++i) {
        scan.Names[i] = names[i];
        scan.Values[i] = std::to_string(i + 1) + ".0";
        scan.Judges[i] = i == 1 ? "FAIL" : "PASS";
        scan.Comps[i] = "HI"; // the comparator does not decide on the MUX
    }
    for (int row = 0; row < 10; ++row)
        model.AddRow(1.0 + row, scan, 3, true, true);

    EXPECT_EQ(model.ChannelNames(), (std::vector<std::string> { kFrontChannelName, "CH01", "CH02", "CH03" }));
    const CTrendSeries* frontSeries = model.Series(kFrontChannelName);
    ASSERT_NE(frontSeries, nullptr);
    EXPECT_EQ(frontSeries->Plotted(), 1);
    EXPECT_EQ(frontSeries->OverRange(), 1);
    EXPECT_TRUE(frontSeries->Points().front().Failed);
    EXPECT_EQ(frontSeries->Plot().Upper, 2.0);
    EXPECT_FALSE(frontSeries->Plot().Lower.has_value());
    for (size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const CTrendSeries* series = model.Series(names[i]);
        ASSERT_NE(series, nullptr);
        const TrendPlot plot = series->Plot();
        EXPECT_EQ(plot.Points.size(), 4U);
        EXPECT_EQ(plot.Buckets.size(), 3U); // six folded readings: 2 + 2 + 2 after one merge
        EXPECT_EQ(plot.Points.back().Value, static_cast<double>(i + 1));
        EXPECT_EQ(plot.Points.back().Failed, i == 1);
        EXPECT_EQ(plot.Buckets.front().AnyFailed, i == 1);
        EXPECT_EQ(plot.Upper, 2.0);
        EXPECT_EQ(model.Statistics().Channels()[i + 1].Numeric, series->Plotted());
    }
    model.Clear();
    EXPECT_TRUE(model.ChannelNames().empty());
    EXPECT_EQ(model.Series("CH01"), nullptr);
}
