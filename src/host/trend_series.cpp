#include "host/trend_series.h"

#include <algorithm>
#include <cmath>

#include "settings/numeric_locale.h"

namespace {

constexpr std::string_view kOverRangeText = "OverRange";

TrendBucket Merged(const TrendBucket& older, const TrendBucket& newer)
{
    return { older.Start, newer.End, std::min(older.Minimum, newer.Minimum), std::max(older.Maximum, newer.Maximum),
        older.Count + newer.Count, older.AnyFailed || newer.AnyFailed };
}

} // namespace

CTrendSeries::CTrendSeries(TrendLimits limits)
    : m_limits(limits)
{
    // Pairwise merging needs two buckets to halve.
    m_limits.MaxBuckets = std::max<size_t>(m_limits.MaxBuckets, 2);
    m_buckets.reserve(m_limits.MaxBuckets);
}

void CTrendSeries::AddReading(double time, const std::string& value, bool failed)
{
    if (value == kOverRangeText) {
        ++m_overRange;
        return;
    }
    double number = 0.0;
    if (!ParseDoubleC(value, number) || !std::isfinite(number)) {
        ++m_notMeasured;
        return;
    }
    AddValue(time, number, failed);
}

void CTrendSeries::AddValue(double time, double value, bool failed)
{
    ++m_plotted;
    m_points.push_back({ time, value, failed });
    if (m_points.size() <= m_limits.ExactPoints)
        return;
    Fold(m_points.front());
    m_points.pop_front();
}

void CTrendSeries::Fold(const TrendPoint& point)
{
    if (!m_buckets.empty() && m_buckets.back().Count < m_pointsPerBucket) {
        TrendBucket& bucket = m_buckets.back();
        bucket.End = point.Time;
        bucket.Minimum = std::min(bucket.Minimum, point.Value);
        bucket.Maximum = std::max(bucket.Maximum, point.Value);
        ++bucket.Count;
        bucket.AnyFailed = bucket.AnyFailed || point.Failed;
        return;
    }
    if (m_buckets.size() >= m_limits.MaxBuckets)
        MergePairs();
    m_buckets.push_back({ point.Time, point.Time, point.Value, point.Value, 1, point.Failed });
}

void CTrendSeries::MergePairs()
{
    // Only ever called with every bucket full, so each merged bucket is full at twice the size and
    // the buckets stay equally wide; an odd last bucket stays as it is and is filled up next.
    size_t kept = 0;
    for (size_t i = 0; i < m_buckets.size(); i += 2) {
        m_buckets[kept++] = i + 1 < m_buckets.size() ? Merged(m_buckets[i], m_buckets[i + 1]) : m_buckets[i];
    }
    m_buckets.resize(kept);
    m_pointsPerBucket *= 2;
}

void CTrendSeries::Clear()
{
    m_points.clear();
    m_buckets.clear();
    m_pointsPerBucket = 1;
    m_plotted = 0;
    m_overRange = 0;
    m_notMeasured = 0;
}

TrendPlot CTrendSeries::Plot() const
{
    return { m_buckets, { m_points.begin(), m_points.end() }, m_upper, m_lower };
}
