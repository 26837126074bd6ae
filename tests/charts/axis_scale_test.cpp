// Axis scales: round ranges and steps, tick texts, and the thinning of category labels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "charts/axis_scale.h"

namespace zandor::charts {
namespace {

struct ScaleCase {
    double lo, hi;
    int maxIntervals;
    double minStep;
    double min, max, step;
    int decimals;
};

void PrintTo(const ScaleCase& c, std::ostream* os) { *os << c.lo << ".." << c.hi << " in " << c.maxIntervals; }

class NiceScaleTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(NiceScaleTest, CoversTheDataWithRoundTicks)
{
    const ScaleCase& c = GetParam();
    const ValueScale s = niceScale(c.lo, c.hi, c.maxIntervals, c.minStep);
    EXPECT_DOUBLE_EQ(s.min, c.min);
    EXPECT_DOUBLE_EQ(s.max, c.max);
    EXPECT_DOUBLE_EQ(s.step, c.step);
    EXPECT_EQ(s.decimals, c.decimals);
    ASSERT_FALSE(s.ticks.empty());
    EXPECT_DOUBLE_EQ(s.ticks.front(), c.min);
    EXPECT_NEAR(s.ticks.back(), c.max, c.step * 1e-9);
    EXPECT_LE(static_cast<int>(s.ticks.size()) - 1, std::max(1, c.maxIntervals));
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, NiceScaleTest,
    ::testing::Values(
        // A population total by year: 1.23 to 1.41 million in at most 8 intervals.
        ScaleCase{1234567, 1412345, 8, 0, 1200000, 1450000, 50000, 0},
        // Age-specific population from zero.
        ScaleCase{0, 18734, 10, 0, 0, 20000, 2000, 0},
        ScaleCase{0, 18734, 4, 0, 0, 20000, 5000, 0},
        // Pyramid shares, males negative.
        ScaleCase{-0.0093, 0.0089, 8, 0, -0.01, 0.01, 0.005, 3},
        // Death rates.
        ScaleCase{0.00031, 0.28, 6, 0, 0, 0.3, 0.05, 2},
        // Total fertility rate over the years.
        ScaleCase{1.42, 1.86, 5, 0, 1.4, 1.9, 0.1, 1},
        // A single value: from zero to it, or around zero.
        ScaleCase{5, 5, 5, 0, 0, 5, 1, 0},
        ScaleCase{-3, -3, 3, 0, -3, 0, 1, 0},
        ScaleCase{0, 0, 4, 0, 0, 1, 0.5, 1},
        // Row positions never get a step below 1.
        ScaleCase{0, 3, 10, 1, 0, 3, 1, 0},
        // Reversed bounds are put in order.
        ScaleCase{100, 0, 5, 0, 0, 100, 20, 0},
        // Stacked to 100 %.
        ScaleCase{0, 100, 10, 0, 0, 100, 10, 0}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(NiceScale, NonFiniteBoundsGiveZeroToOne)
{
    const ValueScale s = niceScale(std::numeric_limits<double>::quiet_NaN(), 3, 5);
    EXPECT_DOUBLE_EQ(s.min, 0);
    EXPECT_DOUBLE_EQ(s.max, 1);
}

// Values near the largest double: the scale stays finite with a bounded tick count (the
// count was once NaN and asked for an impossible vector), across zero with one interval too.
TEST(NiceScale, HugeAndTinyBoundsGiveFiniteTicks)
{
    const struct {
        double lo, hi;
        int intervals;
    } cases[] = {{0, 1.7e308, 10}, {-1.7e308, 1.7e308, 1}, {-1e300, 1e300, 1}, {5e-324, 1e-320, 5}, {-3, 4, 1}};
    for (const auto& c : cases) {
        const ValueScale s = niceScale(c.lo, c.hi, c.intervals);
        ASSERT_TRUE(std::isfinite(s.min) && std::isfinite(s.max) && s.step > 0) << c.lo << " " << c.hi;
        EXPECT_LE(s.ticks.size(), static_cast<std::size_t>(std::max(c.intervals, 2) + 1)) << c.lo << " " << c.hi;
        // Covered up to the scale's rounding tolerance (a billionth of a step).
        EXPECT_LE(s.min, std::max(c.lo, -kLargestChartValue) + s.step * 1e-9);
        EXPECT_GE(s.max, std::min(c.hi, kLargestChartValue) - s.step * 1e-9);
    }
    // Labels too wide for any round step take the largest, without overflowing.
    EXPECT_EQ(categoryLabelStep(1e-12, 100, 8), 1000000000);
}

struct TickCase {
    double value;
    int decimals;
    bool grouped, absolute;
    const char* text;
};

void PrintTo(const TickCase& c, std::ostream* os) { *os << c.text; }

class TickTextTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(TickTextTest, ReadsAsWritten)
{
    const TickCase& c = GetParam();
    EXPECT_EQ(formatTick(c.value, c.decimals, c.grouped, c.absolute).toStdString(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TickTextTest,
    ::testing::Values(TickCase{1200000, 0, true, false, "1,200,000"}, TickCase{-25000, 0, true, false, "-25,000"},
                      TickCase{999, 0, true, false, "999"}, TickCase{1000, 0, true, false, "1,000"},
                      TickCase{12345.5, 1, true, false, "12,345.5"}, TickCase{0.005, 3, false, false, "0.005"},
                      TickCase{-0.005, 3, false, true, "0.005"}, TickCase{-1e-17, 2, false, false, "0.00"},
                      TickCase{1.5, 1, false, false, "1.5"}, TickCase{-100, 0, false, false, "-100"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(MarkText, FourSignificantDigitsWithoutTrailingZeros)
{
    EXPECT_EQ(formatMark(1234567).toStdString(), "1,234,567");
    EXPECT_EQ(formatMark(9876.6).toStdString(), "9877");
    EXPECT_EQ(formatMark(192.822).toStdString(), "192.8");
    EXPECT_EQ(formatMark(80.0002).toStdString(), "80");
    EXPECT_EQ(formatMark(0.012345678).toStdString(), "0.01235");
    EXPECT_EQ(formatMark(-2.5).toStdString(), "-2.5");
    EXPECT_EQ(formatMark(-0.0).toStdString(), "0");
    EXPECT_EQ(formatMark(std::numeric_limits<double>::infinity()).toStdString(), "");
}

struct StepCase {
    double spacing, extent, gap;
    int step;
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << c.spacing << " apart, " << c.extent << " wide"; }

class CategoryStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(CategoryStepTest, LabelsDoNotTouch)
{
    const StepCase& c = GetParam();
    const int step = categoryLabelStep(c.spacing, c.extent, c.gap);
    EXPECT_EQ(step, c.step);
    EXPECT_GE(step * c.spacing, c.extent + c.gap);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CategoryStepTest,
    ::testing::Values(StepCase{40, 30, 8, 1},   // wide bars: every label
                      StepCase{7.2, 28, 8, 5},  // 101 ages over 730 pixels, "100" is 28 wide
                      StepCase{7.2, 16, 8, 5},  // two-digit labels still need 24 pixels
                      StepCase{25, 30, 8, 2},   // 30 years over 750 pixels, four-digit labels
                      StepCase{0.5, 30, 8, 100}, StepCase{3, 14, 2, 10}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(CategoryLabels, ConsecutiveYearsStartAtARoundNumber)
{
    std::vector<QString> years;
    for (int y = 2021; y <= 2050; ++y)
        years.push_back(QString::number(y));
    EXPECT_EQ(firstLabelledCategory(years, 5), 4);   // 2025
    EXPECT_EQ(firstLabelledCategory(years, 10), 9);  // 2030
    EXPECT_EQ(firstLabelledCategory(years, 1), 0);
    std::vector<QString> ages;
    for (int a = 0; a <= 100; ++a)
        ages.push_back(QString::number(a));
    EXPECT_EQ(firstLabelledCategory(ages, 10), 0);
    // Labels that are not consecutive whole numbers start at the first.
    EXPECT_EQ(firstLabelledCategory({"0", "4", "9", "14", "19"}, 2), 0);
    EXPECT_EQ(firstLabelledCategory({"a", "b", "c"}, 2), 0);
}

}  // namespace
}  // namespace zandor::charts
