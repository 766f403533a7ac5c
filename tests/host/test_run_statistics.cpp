#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>
#include <vector>

#include "host/run_statistics.h"
#include "settings/numeric_locale.h"

namespace {

struct Reading {
    std::string Value;
    std::string Judgement;
};

struct StatisticsCase {
    const char* Label;
    bool ChannelJudgement;
    std::vector<Reading> Readings;
    int64_t Passed, Failed, Other, OverRange, NotMeasured;
    std::vector<double> Numbers; // the numeric readings, for the expected figures
};

// Two passes over the numbers: the plain definition the running update must agree with.
void ExpectFigures(const ChannelStatistics& channel, const std::vector<double>& numbers, double tolerance)
{
    ASSERT_EQ(channel.Numeric, static_cast<int64_t>(numbers.size()));
    if (numbers.empty())
        return;
    long double sum = 0.0L;
    for (const double number : numbers)
        sum += number;
    const long double mean = sum / static_cast<long double>(numbers.size());
    long double squares = 0.0L;
    for (const double number : numbers)
        squares += (number - mean) * (number - mean);
    EXPECT_EQ(channel.Minimum, *std::min_element(numbers.begin(), numbers.end()));
    EXPECT_EQ(channel.Maximum, *std::max_element(numbers.begin(), numbers.end()));
    EXPECT_NEAR(channel.Mean, static_cast<double>(mean), tolerance);
    EXPECT_EQ(channel.HasDeviation(), numbers.size() > 1);
    if (numbers.size() > 1) {
        EXPECT_NEAR(channel.StdDev(), std::sqrt(static_cast<double>(squares / (numbers.size() - 1))), tolerance);
    }
}

} // namespace

TEST(RunStatistics, CountsJudgementsAndKeepsNonNumbersApart)
{
    const std::vector<StatisticsCase> cases = {
        { "front comparator", false,
            { { "1.00000E+00", "IN" }, { "1.20000E+00", "Hi" }, { "8.00000E-01", "LO" }, { "9.90000E-01", "---" } }, 1,
            2, 1, 0, 0, { 1.0, 1.2, 0.8, 0.99 } },
        { "mux channel", true,
            { { "+1.0E+00", "PASS" }, { "2.5E+00", "FAIL" }, { "3.0E+00", "ERR" }, { "4.0E+00", "----" } }, 1, 1, 2,
            0, 0, { 1.0, 2.5, 3.0, 4.0 } },
        { "over range and not measured", true,
            { { "OverRange", "FAIL" }, { "-----------", "---" }, { "", "" }, { "garbage", "PASS" },
                { "5.0E-01", "PASS" } },
            2, 1, 2, 1, 3, { 0.5 } },
        { "one reading", false, { { "1.23457E-03", "IN" } }, 1, 0, 0, 0, 0, { 1.23457e-3 } },
        { "nothing numeric", false, { { "OverRange", "Hi" }, { "-----------", "---" } }, 0, 1, 1, 1, 1, {} },
        { "comparator words on the mux", true, { { "1.0", "IN" }, { "1.0", "HI" } }, 0, 0, 2, 0, 0, { 1.0, 1.0 } },
    };
    for (const StatisticsCase& test : cases) {
        SCOPED_TRACE(test.Label);
        CRunStatistics statistics;
        for (const Reading& reading : test.Readings)
            statistics.AddReading("CH7", reading.Value, reading.Judgement, test.ChannelJudgement);
        ASSERT_EQ(statistics.Channels().size(), 1U);
        const ChannelStatistics& channel = statistics.Channels().front();
        EXPECT_EQ(channel.Readings, static_cast<int64_t>(test.Readings.size()));
        EXPECT_EQ(channel.Passed, test.Passed);
        EXPECT_EQ(channel.Failed, test.Failed);
        EXPECT_EQ(channel.Other, test.Other);
        EXPECT_EQ(channel.OverRange, test.OverRange);
        EXPECT_EQ(channel.NotMeasured, test.NotMeasured);
        const int64_t judged = test.Passed + test.Failed;
        EXPECT_EQ(channel.HasYield(), judged > 0);
        if (judged > 0) {
            EXPECT_DOUBLE_EQ(channel.Yield(), static_cast<double>(test.Passed) / static_cast<double>(judged));
        }
        ExpectFigures(channel, test.Numbers, 1e-12);
    }
}

TEST(RunStatistics, RowsGoToTheirChannelsWithTheRightJudgement)
{
    StepArrays steps;
    steps.Values[0] = "1.0E+00";
    steps.Comps[0] = "Hi";
    steps.Judges[0] = "PASS";
    steps.Names[0] = "CH1";
    steps.Values[1] = "2.0E+00";
    steps.Comps[1] = "IN";
    steps.Judges[1] = "FAIL";
    steps.Names[1] = "CH2";
    steps.Values[2] = "3.0E+00"; // past the step count: never a reading

    CRunStatistics front, channel, scan;
    front.AddRow(steps, 3, false, false);
    channel.AddRow(steps, 2, true, false);
    for (int row = 0; row < 2; ++row)
        scan.AddRow(steps, 2, true, true);

    ASSERT_EQ(front.Channels().size(), 1U);
    EXPECT_EQ(front.Channels()[0].Name, kFrontChannelName);
    EXPECT_EQ(front.Channels()[0].Failed, 1); // the comparator judges the front terminals
    ASSERT_EQ(channel.Channels().size(), 1U);
    EXPECT_EQ(channel.Channels()[0].Name, "CH1");
    EXPECT_EQ(channel.Channels()[0].Passed, 1); // the channel judgement judges the MUX
    ASSERT_EQ(scan.Channels().size(), 2U);
    EXPECT_EQ(scan.Channels()[0].Name, "CH1");
    EXPECT_EQ(scan.Channels()[0].Passed, 2);
    EXPECT_EQ(scan.Channels()[1].Name, "CH2");
    EXPECT_EQ(scan.Channels()[1].Failed, 2);
    EXPECT_EQ(scan.Channels()[1].Mean, 2.0);

    EXPECT_EQ(scan.FormatCsv(),
        "Channel,Readings,Passed,Failed,Other,OverRange,NotMeasured,Yield%,Min,Max,Mean,StdDev\r\n"
        "CH1,2,2,0,0,0,0,100.00,1,1,1,0\r\n"
        "CH2,2,0,2,0,0,0,0.00,2,2,2,0\r\n");
    CRunStatistics empty;
    empty.AddReading("CH3", "OverRange", "FAIL", true);
    EXPECT_EQ(empty.FormatCsv().substr(empty.FormatCsv().find("\r\n") + 2), "CH3,1,0,1,0,1,0,0.00,,,,\r\n");
}

TEST(RunStatistics, StaysExactOnALargeOffset)
{
    // A million readings of 1 Mohm with noise in the last digits: the squares reach 1e18, where a
    // sum of squares loses everything below about 1e2 while the variance is below 1e-4.
    constexpr int kReadings = 1000000;
    CRunStatistics statistics;
    std::vector<double> numbers;
    numbers.reserve(kReadings);
    for (int i = 0; i < kReadings; ++i) {
        const int step = static_cast<int>((static_cast<int64_t>(i) * 7919) % 2048) - 1024; // exact in 16 decimals
        const double number = 1.0e6 + step / 65536.0;
        numbers.push_back(number);
        statistics.AddReading("CH1", FormatC("%.16f", number), "PASS", true);
    }
    ASSERT_EQ(statistics.Channels().size(), 1U);
    const ChannelStatistics& channel = statistics.Channels().front();
    ExpectFigures(channel, numbers, 1e-6); // a ten-thousandth of the spread
    EXPECT_GT(channel.StdDev(), 1e-4);
}
