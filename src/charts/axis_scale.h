// Axis scales: value axes that cover the data with round ticks (1, 2 or 5 times a power of ten),
// tick labels with as many decimals as the step needs, and the thinning of category labels
// (years, ages) so that neighbouring labels never overlap.
#pragma once

#include <QString>

#include <vector>

namespace zandor::charts {

struct ValueScale {
    double min = 0;
    double max = 1;
    double step = 1;
    int decimals = 0;          // decimals the tick labels need
    std::vector<double> ticks; // min, min + step, ..., max
};

// The largest magnitude a value axis covers; a chart of larger values is refused by the
// builders that read them (chart_builders.h).
inline constexpr double kLargestChartValue = 1e300;

// The scale with the smallest round step whose range [k·step, m·step] covers [lo, hi] in at
// most maxIntervals steps (at least 1), never with a step below minStep (0 = no limit).
// Equal bounds are widened so that the value sits inside the range; non-finite bounds give
// the range 0..1, bounds beyond kLargestChartValue are taken as that value.
ValueScale niceScale(double lo, double hi, int maxIntervals, double minStep = 0);

// Decimals needed to write every multiple of step exactly (0..12).
int decimalsForStep(double step);

// A tick label: fixed decimals, thousands separated by commas when the axis reaches 10,000
// (`grouped`), no "-0", and the magnitude only when `absolute` (a pyramid's value axis).
QString formatTick(double value, int decimals, bool grouped, bool absolute);

// Whether the labels of a scale are written with thousands separators.
bool scaleWantsGrouping(const ValueScale& scale);

// A value written for a mark: four significant digits (whole numbers in full, with
// thousands separated from 10,000), no exponent between 1e-6 and 1e15.
QString formatMark(double value);

// Category labels: every step-th label is written, with step the smallest of 1, 2, 5, 10,
// 20, 50, ... that leaves `gap` pixels between labels `extent` pixels wide (or high) whose
// centres lie `spacing` pixels apart.
int categoryLabelStep(double spacing, double extent, double gap);

// The first category to label: 0, or, when the labels are consecutive whole numbers (years,
// ages), the first whose number is a multiple of step, so that 1995, 2000, 2005 are shown
// rather than 1993, 1998, 2003.
int firstLabelledCategory(const std::vector<QString>& labels, int step);

}  // namespace zandor::charts
