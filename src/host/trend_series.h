#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

// The trend plot's data for one channel, bounded however long the run: the newest readings are
// kept exactly; older ones are folded into min/max buckets, and when the buckets are all used
// adjacent pairs merge, so a day-long run costs no more memory than a short one. The envelope of
// every bucket still shows each excursion of the run, and a failing reading keeps its bucket marked.
//
// "OverRange" and the dash runs of a channel that was not measured are not points: they are
// counted apart (any other text that is not a number counts as not measured too).

struct TrendPoint {
    double Time = 0.0; // seconds since Start
    double Value = 0.0;
    bool Failed = false;
};

struct TrendBucket {
    double Start = 0.0; // time of the first and the last reading folded in
    double End = 0.0;
    double Minimum = 0.0;
    double Maximum = 0.0;
    int64_t Count = 0;
    bool AnyFailed = false;
};

struct TrendLimits {
    size_t ExactPoints = 10000; // the newest readings kept as they are
    size_t MaxBuckets = 2000; // at least 2; folded readings never take more buckets than this
};

// What the plot draws: the buckets (oldest first), then the exact points, and the comparator's
// limit lines when they are known.
struct TrendPlot {
    std::vector<TrendBucket> Buckets;
    std::vector<TrendPoint> Points;
    std::optional<double> Upper;
    std::optional<double> Lower;
};

class CTrendSeries {
public:
    explicit CTrendSeries(TrendLimits limits = {});

    // A recorded value text; numbers only in the "C" numeric convention.
    void AddReading(double time, const std::string& value, bool failed);
    void AddValue(double time, double value, bool failed);
    // Empties the series at Start; the limit lines stay, they belong to the settings, not the run.
    void Clear();

    void SetUpperLimit(std::optional<double> upper) { m_upper = upper; }
    void SetLowerLimit(std::optional<double> lower) { m_lower = lower; }

    [[nodiscard]] TrendPlot Plot() const;
    [[nodiscard]] const std::deque<TrendPoint>& Points() const { return m_points; }
    [[nodiscard]] const std::vector<TrendBucket>& Buckets() const { return m_buckets; }
    [[nodiscard]] int64_t Plotted() const { return m_plotted; } // every point ever added since Clear
    [[nodiscard]] int64_t OverRange() const { return m_overRange; }
    [[nodiscard]] int64_t NotMeasured() const { return m_notMeasured; }
    [[nodiscard]] int64_t PointsPerBucket() const { return m_pointsPerBucket; }

private:
    void Fold(const TrendPoint& point);
    void MergePairs();

    TrendLimits m_limits;
    std::deque<TrendPoint> m_points;
    std::vector<TrendBucket> m_buckets;
    int64_t m_pointsPerBucket = 1;
    int64_t m_plotted = 0;
    int64_t m_overRange = 0;
    int64_t m_notMeasured = 0;
    std::optional<double> m_upper;
    std::optional<double> m_lower;
};
